#pragma once
#include <windows.h>
#include <commctrl.h>

// Adds the extended style bits to the list view's own, then inserts the
// columns in order (a count of 0: one column of the first width, width only),
// then sets the font when one is given.
void SetupListViewColumns(DWORD extendedStyle, const int* widths, HWND listView, int count,
                          const wchar_t* const* texts, const int* formats, HFONT font);
// Inserts an item with only its text; returns the new index.
int InsertListViewItem(HWND listView, const wchar_t* text, int index);
void SetListViewItemText(HWND listView, const wchar_t* text, int item, int subItem);
// The first item of the mail page's address list with exactly that text, or -1.
int FindListViewItem(const wchar_t* text);
// The list FindListViewItem searches; the mail page sets it when it opens.
extern HWND addressListView;

// What a list view's notification says about the row the user works on: an
// item that became selected and focused is chosen; a click, double click,
// right click or right double click that leaves no row selected chooses none.
enum class ListChoice { Other, RowChosen, ClickOnNoRow };
// *row receives the chosen row for RowChosen.
ListChoice ReadListChoice(HWND listView, const NMHDR* header, int* row);
