#pragma once
#include <windows.h>

// Page "全般" of the settings sheet: the profile's general settings with the
// lock password. It also shapes the sheet and creates the action list above
// the tabs.
INT_PTR CALLBACK GeneralPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The page's in-memory template (the controls are made in code).
const DLGTEMPLATE* GeneralPageTemplate();

// Set when "パスワードを変更する" was pressed since the page opened.
extern bool passwordChangeRequested;

// 40 lower-case hex digits and a NUL: a digest some password opens.
bool IsLockDigest(const char* digest);
// The minutes of edit 1813 when its text is a whole number from 1 to 60, else 0.
int BringToFrontMinutes(const wchar_t* text);
