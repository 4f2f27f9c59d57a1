#include "ui_setup.h"

#include <cwchar>
#include <initializer_list>

#include "program_paths.h"

RECT workArea;
HDC screenDC;
HPEN separatorPen;
HFONT uiFont;
HFONT uiBoldFont;
HFONT uiUnderlineFont;
HFONT meiryoUi16Font;
bool meiryoAvailable;
bool meiryoUiAvailable;
wchar_t defaultCaptureFolder[MAX_PATH];

void InitCommonUi(const CommonUiSetup& setup) {
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  INITCOMMONCONTROLSEX controls{sizeof controls, setup.commonControlClasses};
  InitCommonControlsEx(&controls);
  if (!screenDC) screenDC = GetDC(nullptr);
  if (!separatorPen) separatorPen = CreatePen(PS_SOLID, 1, RGB(180, 180, 180));
  if (!setup.findProgramPaths) return;
  InitProgramPaths();
  swprintf(defaultCaptureFolder, MAX_PATH, L"%lsss", programFolder);
}

int CALLBACK FontEnumProc(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM) {
  // The full name of an ENUMLOGFONTEXW follows its LOGFONTW.
  const wchar_t* fullName = reinterpret_cast<const ENUMLOGFONTEXW*>(font)->elfFullName;
  if (wcscmp(fullName, L"メイリオ") == 0 || wcscmp(fullName, L"Meiryo") == 0) meiryoAvailable = true;
  if (wcscmp(fullName, L"Meiryo UI") == 0) meiryoUiAvailable = true;
  return 1;
}

void CreateUiFonts(HWND window, bool withUnderline) {
  HDC dc = GetDC(window);
  for (const wchar_t* family : {L"Meiryo", L"Meiryo UI"}) {
    LOGFONTW query{};
    query.lfCharSet = 0;
    lstrcpynW(query.lfFaceName, family, LF_FACESIZE);
    EnumFontFamiliesExW(dc, &query, reinterpret_cast<FONTENUMPROCW>(FontEnumProc), 0, 0);
  }
  ReleaseDC(window, dc);

  LOGFONTW iconTitle{};
  SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof iconTitle, &iconTitle, 0);
  uiFont = CreateFontIndirectW(&iconTitle);
  LOGFONTW bold = iconTitle;
  bold.lfWeight = FW_BOLD;
  uiBoldFont = CreateFontIndirectW(&bold);
  if (withUnderline) {
    LOGFONTW underline = iconTitle;
    underline.lfWeight = FW_NORMAL;
    underline.lfUnderline = TRUE;
    uiUnderlineFont = CreateFontIndirectW(&underline);
  }
  meiryoUi16Font = nullptr;
  if (meiryoUiAvailable) {
    LOGFONTW meiryoUi{};
    meiryoUi.lfHeight = 16;
    meiryoUi.lfWeight = FW_NORMAL;
    meiryoUi.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(meiryoUi.lfFaceName, L"Meiryo UI", LF_FACESIZE);
    meiryoUi16Font = CreateFontIndirectW(&meiryoUi);
  }
}

namespace {

BOOL CALLBACK SetControlFont(HWND control, LPARAM font) {
  SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

}  // namespace

void ApplyFontToControls(HWND dialog, HFONT font) {
  if (font) EnumChildWindows(dialog, SetControlFont, reinterpret_cast<LPARAM>(font));
}
