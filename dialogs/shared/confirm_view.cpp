#include "confirm_view.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>

#include "dpi_scaling.h"

namespace {

ConfirmViewState view;

HICON TakeShellFileIcon(const wchar_t* path) {
  SHFILEINFOW info{};
  if (!SHGetFileInfoW(path, 0, &info, sizeof info, SHGFI_ICON)) return nullptr;
  return info.hIcon;
}

std::wstring Format(const wchar_t* format, int value) {
  wchar_t text[64];
  _snwprintf(text, 64, format, value);
  text[63] = L'\0';
  return text;
}

void SetFont(HWND window, int id, HFONT font) {
  if (font && id) SendDlgItemMessageW(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void SetText(HWND dialog, int id, const std::wstring& text) {
  if (id) SetDlgItemTextW(dialog, id, text.c_str());
}

void Show(HWND dialog, int id, bool shown) {
  if (id) ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

HFONT NormalFont(HWND dialog) {
  const ConfirmViewConfig& config = *view.config;
  if (config.font && *config.font) return *config.font;
  return reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
}

HFONT BoldFont(HWND dialog) {
  const ConfirmViewConfig& config = *view.config;
  if (config.boldFont && *config.boldFont) return *config.boldFont;
  if (!view.ownBoldFont) {
    LOGFONTW lf{};
    HFONT base = NormalFont(dialog);
    if (!base || !GetObjectW(base, sizeof lf, &lf)) GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    view.ownBoldFont = CreateFontIndirectW(&lf);
  }
  return view.ownBoldFont;
}

void SetFonts(HWND dialog) {
  const ConfirmViewConfig& config = *view.config;
  // The configured normal font, where there is one, goes to every control first.
  if (config.font && *config.font) {
    for (int i = 0; i < config.layoutCount; ++i) SetFont(dialog, config.layout[i].id, *config.font);
    SetFont(dialog, IDOK, *config.font);
  }
  HFONT bold = BoldFont(dialog);
  for (int i = 0; i < config.boldCount; ++i) SetFont(dialog, config.boldIds[i], bold);
}

void Layout(HWND dialog) {
  const ConfirmViewConfig& config = *view.config;
  RECT area = config.workArea ? *config.workArea : RECT{};
  if (area.right <= area.left) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  PlaceDialog(dialog, area, config.width, config.height);
  for (int i = 0; i < config.layoutCount; ++i) {
    const ConfirmControlBox& box = config.layout[i];
    PlaceControl(dialog, box.id, box.x, box.y, box.width, box.height);
  }
  PlaceControl(dialog, IDOK, config.width / 2 - 50, config.closeButtonY, 100, 30);
}

void HideDetails() {
  if (view.detailPane) ShowWindow(view.detailPane, SW_HIDE);
  view.hoveredApp = -1;
}

void FillPage(HWND dialog, int page) {
  const ConfirmViewConfig& config = *view.config;
  const ConfirmPageTexts& texts = view.content.pages[page];
  SetText(dialog, config.soundTiming, texts.soundTiming);
  SetText(dialog, config.soundPath, texts.soundPath);
  SetText(dialog, config.mail, texts.mail);
  if (page == 0) {
    SetText(dialog, config.capture, texts.capture);
    SetText(dialog, config.bringToFront, texts.bringToFront);
  }
  for (int i = 0; i < config.beforeOnlyCount; ++i) Show(dialog, config.beforeOnly[i], page == 0);
  Show(dialog, config.appsHeading, page == 1);
  Show(dialog, config.noApps, page == 1 && view.content.apps.empty());
}

void TakeIcons() {
  const int count = static_cast<int>(view.content.apps.size());
  for (int i = 0; i < count && i < kMaxConfirmApps; ++i) {
    const wchar_t* path = view.content.apps[i].path.c_str();
    HICON icon = PathFileExistsW(path) ? appIconCalls.takeFileIcon(path) : nullptr;
    view.shellIcons[i] = icon != nullptr;
    view.icons[i] = icon ? icon : view.fallbackIcon;
    view.cells[i] = AppCellRect(i, view.config->appRowTops);
    view.iconCount = i + 1;
  }
}

void ReleaseShellIcons() {
  for (int i = 0; i < view.iconCount; ++i) {
    if (view.shellIcons[i] && view.icons[i]) appIconCalls.destroyIcon(view.icons[i]);
    view.icons[i] = nullptr;
    view.shellIcons[i] = false;
  }
  view.iconCount = 0;
}

void ReleaseIcons() {
  ReleaseShellIcons();
  if (view.fallbackIcon) appIconCalls.destroyIcon(view.fallbackIcon);
  view.fallbackIcon = nullptr;
}

void OnInitDialog(HWND dialog, const ConfirmViewConfig* config) {
  view.config = config;
  view.content = ConfirmContent{};
  view.showingAfter = false;
  view.hoveredApp = -1;
  for (int i = 0; i < kMaxConfirmApps; ++i) {
    view.icons[i] = nullptr;
    view.shellIcons[i] = false;
    view.cells[i] = RECT{};
  }
  view.iconCount = 0;
  view.detailPane = nullptr;
  view.ownBoldFont = nullptr;
  view.trackingLeave = false;
  if (config->openDialog) *config->openDialog = dialog;
  view.fallbackIcon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(config->fallbackIconResource), IMAGE_ICON, 32, 32, 0));

  if (!config->loadContent || !config->loadContent(dialog, &view.content)) {
    DestroyWindow(dialog);
    return;
  }
  if (view.content.apps.size() > kMaxConfirmApps) view.content.apps.resize(kMaxConfirmApps);
  if (view.content.hasAfterPage) {
    // The controls under the pane must not paint over it.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SetWindowLongPtrW(child, GWL_STYLE, GetWindowLongPtrW(child, GWL_STYLE) | WS_CLIPSIBLINGS);
    view.detailPane = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(config->detail.dialogResource),
                                         dialog, AppDetailDlgProc, reinterpret_cast<LPARAM>(&config->detail));
  }
  SetFonts(dialog);
  Layout(dialog);
  FillPage(dialog, 0);
  CheckRadioButton(dialog, config->beforeRadio, config->afterRadio, config->beforeRadio);
  if (view.content.hasAfterPage) TakeIcons();
  else EnableWindow(GetDlgItem(dialog, config->afterRadio), FALSE);
  SendMessageW(dialog, kMsgShowDateLine, 0, 0);
}

// Reads the content again; the detail pane and the "復帰後" button stay as the
// opening made them.
void ReloadContent(HWND dialog) {
  ConfirmContent content;
  if (!view.config->loadContent || !view.config->loadContent(dialog, &content)) return;
  if (content.apps.size() > kMaxConfirmApps) content.apps.resize(kMaxConfirmApps);
  content.hasAfterPage = view.content.hasAfterPage;
  ReleaseShellIcons();
  view.content = content;
  if (view.content.hasAfterPage) TakeIcons();
}

void OnPageChosen(HWND dialog, bool after) {
  if (after && !view.content.hasAfterPage) return;
  if (view.config->reloadOnPageChoice) ReloadContent(dialog);
  view.showingAfter = after;
  CheckRadioButton(dialog, view.config->beforeRadio, view.config->afterRadio,
                   after ? view.config->afterRadio : view.config->beforeRadio);
  HideDetails();
  FillPage(dialog, after ? 1 : 0);
  SendMessageW(dialog, kMsgShowDateLine, after ? 1 : 0, 0);
  RECT client;
  GetClientRect(dialog, &client);
  client.bottom = ScaleY(view.config->repaintBottom);
  InvalidateRect(dialog, &client, TRUE);
}

void OnPaint(HWND dialog) {
  const ConfirmViewConfig& config = *view.config;
  const int page = view.showingAfter ? 1 : 0;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  HPEN pen = config.separatorPen ? *config.separatorPen : nullptr;
  HGDIOBJ previous = SelectObject(dc, pen ? pen : GetStockObject(BLACK_PEN));
  for (int i = 0; i < config.separatorCount; ++i) {
    const ConfirmSeparator& line = config.separators[i];
    if (line.page != -1 && line.page != page) continue;
    MoveToEx(dc, ScaleX(line.x0), ScaleY(line.y), nullptr);
    LineTo(dc, ScaleX(line.x1), ScaleY(line.y));
  }
  SelectObject(dc, previous);
  if (page == 1) {
    for (int i = 0; i < view.iconCount; ++i)
      if (view.icons[i])
        DrawIconEx(dc, view.cells[i].left + ScaleX(3), view.cells[i].top + ScaleY(3), view.icons[i], 32, 32, 0,
                   nullptr, DI_NORMAL);
  }
  EndPaint(dialog, &paint);
}

void OnMouseMove(HWND dialog, POINT point) {
  if (!view.showingAfter || view.iconCount == 0 || !view.detailPane) return;
  if (!view.trackingLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, dialog, 0};
    view.trackingLeave = TrackMouseEvent(&track) != FALSE;
  }
  const int index = AppCellAt(view.cells, view.iconCount, point);
  if (index >= 0 && index != view.hoveredApp) {
    const AppDetailTexts texts = DetailTextsFor(view.content.apps[index]);
    const AppDetailConfig& detail = view.config->detail;
    SetDlgItemTextW(view.detailPane, detail.ids[1], texts.path.c_str());
    SetDlgItemTextW(view.detailPane, detail.ids[3], texts.arguments.c_str());
    SetDlgItemTextW(view.detailPane, detail.ids[5], texts.timing.c_str());
    // Child windows are made below their siblings: the pane must lie on top.
    SetWindowPos(view.detailPane, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    view.hoveredApp = index;
  } else if (index < 0 && view.hoveredApp >= 0) {
    HideDetails();
  }
}

void OnDestroy(HWND dialog) {
  ReleaseIcons();
  if (view.ownBoldFont) DeleteObject(view.ownBoldFont);
  view.ownBoldFont = nullptr;
  view.detailPane = nullptr;
  view.hoveredApp = -1;
  if (view.config && view.config->openDialog && *view.config->openDialog == dialog) *view.config->openDialog = nullptr;
  view.config = nullptr;
}

}  // namespace

AppIconCalls RealAppIconCalls() { return AppIconCalls{TakeShellFileIcon, DestroyIcon}; }
AppIconCalls appIconCalls = RealAppIconCalls();

std::vector<ConfirmApp> ListedApps(const wchar_t (*paths)[260], const wchar_t (*arguments)[256],
                                   const int32_t* delays) {
  std::vector<ConfirmApp> apps;
  for (int i = 0; i < kMaxConfirmApps && delays[i] != -1; ++i) {
    ConfirmApp app;
    app.path.assign(paths[i], wcsnlen(paths[i], 260));
    app.arguments.assign(arguments[i], wcsnlen(arguments[i], 256));
    app.delay = delays[i];
    apps.push_back(app);
  }
  return apps;
}

std::wstring SoundTimingText(int page, int32_t seconds) {
  return Format(page == 0 ? L"終了%d秒前" : L"復帰%d秒後", seconds);
}

AppDetailTexts DetailTextsFor(const ConfirmApp& app) {
  AppDetailTexts texts;
  texts.path = app.path;
  texts.arguments = app.arguments.empty() ? L"なし" : app.arguments;
  texts.timing = Format(L"復帰してから%d秒後に起動", app.delay);
  return texts;
}

RECT AppCellRect(int index, const int (&rowTops)[2]) {
  const int x = 6 + (index % 5) * 41;
  const int y = index < 5 ? rowTops[0] : rowTops[1];
  return RECT{ScaleX(x), ScaleY(y), ScaleX(x + 41), ScaleY(y + 41)};
}

int AppCellAt(const RECT* cells, int count, POINT point) {
  for (int i = 0; i < count; ++i)
    if (PtInRect(&cells[i], point)) return i;
  return -1;
}

const ConfirmViewState* OpenConfirmViewState() { return view.config ? &view : nullptr; }

void SetAppDetailFonts(HWND pane, const AppDetailConfig& detail, HFONT font, HFONT boldFont) {
  for (int i = 0; i < 6; ++i) SetFont(pane, detail.ids[i], i % 2 == 0 ? boldFont : font);
}

INT_PTR CALLBACK AppDetailDlgProc(HWND pane, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  const AppDetailConfig& detail = *reinterpret_cast<const AppDetailConfig*>(lParam);
  HWND parent = GetParent(pane);
  if (view.config) SetAppDetailFonts(pane, detail, NormalFont(parent), BoldFont(parent));
  MoveWindow(pane, ScaleX(detail.x), ScaleY(detail.y), ScaleX(detail.width), ScaleY(detail.height), FALSE);
  for (int i = 0; i < 6; ++i) PlaceControl(pane, detail.ids[i], 9, detail.textY[i], kAppDetailTextWidths[i], 18);
  return TRUE;
}

INT_PTR CALLBACK ConfirmViewDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog, reinterpret_cast<const ConfirmViewConfig*>(lParam));
      return TRUE;
    case kMsgShowDateLine:
      if (view.config && wParam <= 1) SetText(dialog, view.config->dateLine, view.content.pages[wParam].dateLine);
      return TRUE;
    case WM_COMMAND: {
      if (!view.config) return FALSE;
      const int id = LOWORD(wParam);
      if (id == IDOK || id == IDCANCEL) {
        DestroyWindow(dialog);
        return TRUE;
      }
      if ((id == view.config->beforeRadio || id == view.config->afterRadio) && HIWORD(wParam) == BN_CLICKED) {
        OnPageChosen(dialog, id == view.config->afterRadio);
        return TRUE;
      }
      return FALSE;
    }
    case WM_PAINT:
      if (!view.config) return FALSE;
      OnPaint(dialog);
      return TRUE;
    case WM_MOUSEMOVE:
      if (view.config) OnMouseMove(dialog, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      return TRUE;
    case WM_MOUSELEAVE:
      view.trackingLeave = false;
      if (view.config && view.hoveredApp >= 0) HideDetails();
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

HWND CreateConfirmView(const ConfirmViewConfig& config, DLGPROC proc) {
  // One at a time: the state is the program's only one.
  if (config.openDialog && *config.openDialog && IsWindow(*config.openDialog)) {
    SetWindowPos(*config.openDialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return *config.openDialog;
  }
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(config.dialogResource), nullptr, proc,
                                   reinterpret_cast<LPARAM>(&config));
  if (!dialog || !IsWindow(dialog)) return nullptr;
  ShowWindow(dialog, SW_SHOW);
  return dialog;
}
