#include "in_memory_dialog.h"

#include "dpi_scaling.h"
#include "main_window_state.h"

#include "main_window_state.h"

std::vector<WORD> BuildEmptyDialogTemplate(DWORD style, DWORD exStyle, const wchar_t* caption,
                                           short cx, short cy) {
  std::vector<WORD> words;
  auto push32 = [&words](DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
  };
  push32(style);
  push32(exStyle);
  words.push_back(0);  // no controls
  words.push_back(0);
  words.push_back(0);
  words.push_back(static_cast<WORD>(cx));
  words.push_back(static_cast<WORD>(cy));
  words.push_back(0);  // no menu
  words.push_back(0);  // standard class
  for (const wchar_t* p = caption; p && *p; ++p) words.push_back(static_cast<WORD>(*p));
  words.push_back(0);
  words.push_back(0);  // padding
  return words;
}

int ScreenDpiValue() { return screenDpi.dpiX > 0 ? screenDpi.dpiX : 96; }

namespace {
HFONT normalFont;
HFONT boldFont;

void MakeFonts() {
  if (normalFont) return;
  LOGFONTW lf{};
  if (!SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0)) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  }
  normalFont = CreateFontIndirectW(&lf);
  lf.lfWeight = FW_BOLD;
  boldFont = CreateFontIndirectW(&lf);
}
}  // namespace

HFONT DialogUiFont() {
  if (uiFont) return uiFont;
  MakeFonts();
  return normalFont;
}

HFONT DialogBoldFont() {
  if (uiBoldFont) return uiBoldFont;
  MakeFonts();
  return boldFont;
}

HWND CreateScaledControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                         DWORD exStyle, int id, int x, int y, int w, int h, int dpi, HFONT font) {
  HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style,
                                 ScaleForDpi(x, dpi), ScaleForDpi(y, dpi), ScaleForDpi(w, dpi),
                                 ScaleForDpi(h, dpi), parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

RECT CurrentWorkArea() {
  if (workArea.right > workArea.left && workArea.bottom > workArea.top) return workArea;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}
