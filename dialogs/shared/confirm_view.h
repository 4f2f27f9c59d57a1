#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The read-only settings confirmation of both programs: two pages ("終了前"
// and "復帰後") of texts, and the applications started after the resume as
// icons whose details show in a child pane on hover. What differs between the
// programs (resources, control ids, layout, where the texts come from) is a
// ConfirmViewConfig.

inline constexpr int kMaxConfirmApps = 10;

struct ConfirmApp {
  std::wstring path;
  std::wstring arguments;
  int32_t delay;  // seconds after the resume
};

// The texts of one page; a text whose control id in the config is 0 is not shown.
struct ConfirmPageTexts {
  std::wstring dateLine;
  std::wstring soundTiming;
  std::wstring soundPath;
  std::wstring mail;
  std::wstring capture;       // "終了前" only
  std::wstring bringToFront;  // "終了前" only
};

// What one opening shows, made by the program from its model.
struct ConfirmContent {
  bool hasAfterPage;  // "復帰後" can be chosen and the detail pane exists
  ConfirmPageTexts pages[2];
  std::vector<ConfirmApp> apps;  // at most kMaxConfirmApps
};

// The applications of a slot table: from the first while the delay is not -1,
// at most ten.
std::vector<ConfirmApp> ListedApps(const wchar_t (*paths)[260], const wchar_t (*arguments)[256],
                                   const int32_t* delays);

// "終了%d秒前" / "復帰%d秒後" for page 0 / 1.
std::wstring SoundTimingText(int page, int32_t seconds);

// The three values of the detail pane for one application.
struct AppDetailTexts {
  std::wstring path;
  std::wstring arguments;  // "なし" when empty
  std::wstring timing;     // "復帰してから%d秒後に起動"
};
AppDetailTexts DetailTextsFor(const ConfirmApp& app);

// Cell i (41 x 41 at 96 DPI): x 6 + (i mod 5) x 41, the first five at
// rowTops[0], the others at rowTops[1]; scaled.
RECT AppCellRect(int index, const int (&rowTops)[2]);
// The cell under the point, or -1.
int AppCellAt(const RECT* cells, int count, POINT point);

// One control's 96-DPI rectangle.
struct ConfirmControlBox {
  int id;
  int x, y, width, height;
};

// A separator line at 96 DPI on one page (-1: both).
struct ConfirmSeparator {
  int page;
  int y, x0, x1;
};

// The child pane with an application's details: the six texts (three labels,
// each followed by its value) at x 9 with these widths.
struct AppDetailConfig {
  int dialogResource;
  int ids[6];
  int x, y, width, height;
  int textY[6];
};
inline constexpr int kAppDetailTextWidths[6] = {80, 288, 116, 228, 68, 161};

struct ConfirmViewConfig {
  int dialogResource;
  int fallbackIconResource;  // 32 x 32, for applications whose file is missing
  int width, height;         // 96 DPI, centred on the work area
  int closeButtonY;          // "閉じる" (id 1), 100 x 30, centred
  const ConfirmControlBox* layout;
  int layoutCount;
  int beforeRadio, afterRadio;
  int dateLine, soundTiming, soundPath, mail, capture, bringToFront;  // 0: none
  const int* beforeOnly;  // the "その他" group, hidden on "復帰後"
  int beforeOnlyCount;
  int appsHeading, noApps;  // shown on "復帰後" only; noApps when no application is listed
  const int* boldIds;
  int boldCount;
  int appRowTops[2];
  const ConfirmSeparator* separators;
  int separatorCount;
  int repaintBottom;  // a page switch repaints down to this y (96 DPI)
  AppDetailConfig detail;
  // false: nothing to show (no countdown runs); the dialog then closes at once.
  bool (*loadContent)(HWND dialog, ConfirmContent* content);
  HWND* openDialog;    // the program's handle of the open dialog
  HFONT* font;         // may hold null: the dialog's own font
  HFONT* boldFont;     // may hold null: made from the dialog's font, weight 700
  HPEN* separatorPen;  // may hold null
  const RECT* workArea;  // null or empty: the desktop's
  // true: each press of a page's radio button reads the content again, so the
  // dialog shows the settings as they are at that press.
  bool reloadOnPageChoice;
};

// The state of the open dialog (one at a time per program).
struct ConfirmViewState {
  const ConfirmViewConfig* config;
  ConfirmContent content;
  bool showingAfter;
  int hoveredApp;  // -1 none
  HICON fallbackIcon;
  HICON icons[kMaxConfirmApps];
  bool shellIcons[kMaxConfirmApps];  // taken from the shell, destroyed on close
  RECT cells[kMaxConfirmApps];
  int iconCount;
  HWND detailPane;
  HFONT ownBoldFont;
  bool trackingLeave;
};
// The open dialog's state, or null.
const ConfirmViewState* OpenConfirmViewState();

// The shell's icon of a file and its release; tests count them.
struct AppIconCalls {
  HICON (*takeFileIcon)(const wchar_t* path);  // SHGetFileInfoW with SHGFI_ICON
  BOOL(WINAPI* destroyIcon)(HICON icon);
};
extern AppIconCalls appIconCalls;
AppIconCalls RealAppIconCalls();

// The procedure both programs use; the config comes in lParam of
// WM_INITDIALOG. Unhandled messages return FALSE.
INT_PTR CALLBACK ConfirmViewDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The detail pane's procedure: lParam of WM_INITDIALOG its AppDetailConfig,
// fonts from the parent's state.
INT_PTR CALLBACK AppDetailDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Labels bold, values normal.
void SetAppDetailFonts(HWND pane, const AppDetailConfig& detail, HFONT font, HFONT boldFont);

// Creates the dialog modeless without owner and shows it; null when there is
// nothing to show.
HWND CreateConfirmView(const ConfirmViewConfig& config, DLGPROC proc = ConfirmViewDlgProc);

// Private message 0x8001 to the dialog: wParam 0 / 1 puts that page's date line.
inline constexpr UINT kMsgShowDateLine = 0x8001;
