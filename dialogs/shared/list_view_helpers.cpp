#include "list_view_helpers.h"

#include <commctrl.h>

HWND addressListView;

void SetupListViewColumns(DWORD extendedStyle, const int* widths, HWND listView, int count,
                          const wchar_t* const* texts, const int* formats, HFONT font) {
  const DWORD current = static_cast<DWORD>(SendMessageW(listView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  SendMessageW(listView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(current | extendedStyle));
  if (count == 0) {
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = widths[0];
    SendMessageW(listView, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  } else {
    for (int i = 0; i < count; ++i) {
      LVCOLUMNW column{};
      column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
      column.fmt = formats[i];
      column.cx = widths[i];
      column.pszText = const_cast<wchar_t*>(texts[i]);
      SendMessageW(listView, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
  }
  if (font) SendMessageW(listView, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int InsertListViewItem(HWND listView, const wchar_t* text, int index) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(text);
  return static_cast<int>(SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetListViewItemText(HWND listView, const wchar_t* text, int item, int subItem) {
  LVITEMW cell{};
  cell.mask = LVIF_TEXT;
  cell.iItem = item;
  cell.iSubItem = subItem;
  cell.pszText = const_cast<wchar_t*>(text);
  SendMessageW(listView, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell));
}

int FindListViewItem(const wchar_t* text) {
  if (!addressListView) return -1;
  LVFINDINFOW find{};
  find.flags = LVFI_STRING;
  find.psz = text;
  return static_cast<int>(
      SendMessageW(addressListView, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

ListChoice ReadListChoice(HWND listView, const NMHDR* header, int* row) {
  switch (header->code) {
    case LVN_ITEMCHANGED: {
      const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
      const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
      if (change->iItem < 0 || !(change->uChanged & LVIF_STATE) || (change->uNewState & both) != both)
        return ListChoice::Other;
      *row = change->iItem;
      return ListChoice::RowChosen;
    }
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
    case NM_RDBLCLK:
      return ListView_GetNextItem(listView, -1, LVNI_SELECTED) < 0 ? ListChoice::ClickOnNoRow : ListChoice::Other;
    default:
      return ListChoice::Other;
  }
}
