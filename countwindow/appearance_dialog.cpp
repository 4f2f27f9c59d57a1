#include "appearance_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cwchar>

#include "control_subclasses.h"
#include "count_window.h"
#include "count_window_config.h"
#include "dpi_scaling.h"
#include "shared/utilities.h"
#include "skins.h"

const AppearanceDialogConfig kSchedulerAppearanceDialogIds = {
    1820, 1821, 1822, 1823, 1829, 1830, 1828, 1824, 1825, 1826, 1827, nullptr, nullptr, nullptr, nullptr};
const AppearanceDialogConfig kCountdownAppearanceDialogIds = {
    1117, 1121, 1122, 1123, 1127, 1128, 1135, 1124, 1125, 1126, 1134, nullptr, nullptr, nullptr, nullptr};

namespace {

constexpr int kDialogWidth = 207;
constexpr int kDialogHeight = 307;
// Drop-down combos are placed with room for their lists below the edit field.
constexpr int kComboListHeight = 200;
constexpr int kColorEditRed = 706;
constexpr int kColorEditGreen = 707;
constexpr int kColorEditBlue = 708;

const wchar_t* const kFormNames[] = {L"ノーマル", L"カスタム", L"オリジナル"};

struct AppearanceDialogState {
  const AppearanceDialogConfig* config;
  AppearanceWorkingSaved workingSaved;
  AppearanceSnapshot openSnapshot;
  wchar_t chosenSkin[kSkinNameChars];
  int skinListIndex;
  int skinCount;
  HBRUSH swatchBrush;
  HBRUSH frameBrush;
  HIMAGELIST swatchImages;
  CHOOSECOLORW colorDialog;
  bool swatchPressed;
};
AppearanceDialogState dialogState;
COLORREF customColors[16];
bool customColorsSet;

// The colour chooser's hook: the record it edits live and its value at opening.
TextColor* hookRecord;
TextColor hookRecordAtOpening;
bool hookMouseDown;

WNDPROC previousComboSubclassProc;
WNDPROC previousComboListSubclassProc;

const AppearanceDialogConfig& Config() { return *dialogState.config; }

HWND Front() { return countWindowConfig.frontWindow ? *countWindowConfig.frontWindow : nullptr; }

void SendFront(UINT message, LPARAM lParam) {
  if (HWND front = Front()) SendMessageW(front, message, 0, lParam);
}

void InvalidateFront() {
  if (HWND front = Front()) InvalidateRect(front, nullptr, TRUE);
}

bool SameColor(const TextColor& a, const TextColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

COLORREF ColorOf(const TextColor& color) { return RGB(color.red, color.green, color.blue); }

void RebuildSwatchBrush(const TextColor& color) {
  if (dialogState.swatchBrush) DeleteObject(dialogState.swatchBrush);
  dialogState.swatchBrush = CreateSolidBrush(ColorOf(color));
}

int Selection(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

// A stored index out of range would leave the combo without a selection.
void SelectImageIndex(HWND dialog, int id, int index) {
  if (index < 0 || index >= kBuiltinImageCount) index = 0;
  SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The swatch takes the mouse only where it is drawn and means something: in
// form Custom (elsewhere a click would store the wrong colour as the custom one).
bool SwatchActive(HWND dialog) {
  return appearance.form == Custom && Selection(dialog, Config().formComboId) == Custom;
}

bool InSwatch(LPARAM lParam) {
  const RECT swatch = AppearanceSwatchRect();
  const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return PtInRect(&swatch, at) != FALSE;
}

void RepaintSwatchArea(HWND dialog) {
  const RECT area = AppearanceSwatchRepaintRect();
  InvalidateRect(dialog, &area, TRUE);
}

// The controls of `form` are shown, those of the other forms hidden; the
// text-1 background and the colour are usable only in form Custom.
void EnableAppearanceControls(HWND dialog, int form) {
  const AppearanceDialogConfig& ids = Config();
  const bool builtin = form != Skinned;
  for (int id : {ids.typeLabelId, ids.typeComboId, ids.backgroundLabelId, ids.backgroundComboId, ids.colorLabelId})
    ShowWindow(GetDlgItem(dialog, id), builtin ? SW_SHOW : SW_HIDE);
  for (int id : {ids.skinComboId, ids.skinLabelId}) ShowWindow(GetDlgItem(dialog, id), builtin ? SW_HIDE : SW_SHOW);
  if (builtin)
    for (int id : {ids.backgroundLabelId, ids.backgroundComboId, ids.colorLabelId})
      EnableWindow(GetDlgItem(dialog, id), form == Custom);
  InvalidateFront();
}

void OnTypeChange(HWND dialog) {
  const int value = Selection(dialog, Config().typeComboId);
  if (value < 0 || value >= kBuiltinImageCount || value == appearance.typeIndex) return;
  LoadTypeImage(value);
  if (appearance.form == Normal) {
    // In form Normal the background follows the type.
    appearance.textBackgroundIndex = value;
    LoadTextBackgroundImage(value);
    SelectImageIndex(dialog, Config().backgroundComboId, value);
  }
  if (appearance.typeIndex != -1) {
    if (appearance.form == Normal) dialogState.workingSaved.savedTypeNormal = value;
    if (appearance.form == Custom) dialogState.workingSaved.savedTypeCustom = value;
  }
  appearance.typeIndex = value;
  SendFront(0x8002, 0);
}

void OnBackgroundChange(HWND dialog) {
  const int value = Selection(dialog, Config().backgroundComboId);
  if (value < 0 || value >= kBuiltinImageCount || value == appearance.textBackgroundIndex) return;
  LoadTextBackgroundImage(value);
  if (appearance.textBackgroundIndex != -1) dialogState.workingSaved.savedBackgroundCustom = value;
  appearance.textBackgroundIndex = value;
  SendFront(0x8002, 0);
}

bool TrySkin(HWND dialog, int position) {
  bool loaded = false;
  SendMessageW(dialog, kMsgAppearanceTrySkin, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&loaded));
  return loaded;
}

void OnTrySkin(HWND dialog, int position, bool* result) {
  *result = false;
  if (dialogState.skinCount == 0 || position < 0) return;
  HWND combo = GetDlgItem(dialog, Config().skinComboId);
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
  if (length == CB_ERR || length >= kSkinNameChars) return;
  wchar_t name[kSkinNameChars] = L"";
  if (SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(name)) == CB_ERR)
    return;
  if (!LoadSkin(name, dialog)) return;
  CopyText(dialogState.chosenSkin, kSkinNameChars, name);
  appearance.form = Skinned;
  *result = true;
}

void FinishFormChange(HWND dialog) {
  SendFront(0x8000, 1);
  SendFront(0x8002, 1);
  SendMessageW(dialog, kMsgAppearanceRepaintSwatch, 0, 0);
}

void OnFormChange(HWND dialog) {
  const AppearanceDialogConfig& ids = Config();
  const int chosen = Selection(dialog, ids.formComboId);
  if (chosen < Normal || chosen > Skinned) return;
  // The controls follow the combo, also back to the form kept after a skin failed.
  EnableAppearanceControls(dialog, chosen);
  const int from = appearance.form;
  if (chosen == from) {
    SendMessageW(dialog, kMsgAppearanceRepaintSwatch, 0, 0);
    return;
  }
  if (chosen == Skinned) {
    SendDlgItemMessageW(dialog, ids.skinComboId, CB_SETCURSEL, static_cast<WPARAM>(dialogState.skinListIndex), 0);
    if (!TrySkin(dialog, dialogState.skinListIndex)) {
      SendMessageW(dialog, kMsgAppearanceRepaintSwatch, 0, 0);
      return;
    }
    FinishFormChange(dialog);
    return;
  }
  AppearanceWorkingSaved& saved = dialogState.workingSaved;
  if (from == Custom) saved.savedColor = appearance.textColor;
  appearance.form = chosen;
  if (chosen == Normal) {
    appearance.textColor.red = appearance.textColor.green = appearance.textColor.blue = 0;
    InvalidateFront();
    appearance.typeIndex = -1;  // forces the reload
    SelectImageIndex(dialog, ids.typeComboId, saved.savedTypeNormal);
    SelectImageIndex(dialog, ids.backgroundComboId, saved.savedTypeNormal);
    OnTypeChange(dialog);
  } else {
    appearance.textColor = saved.savedColor;
    InvalidateFront();
    if (from == Normal) appearance.typeIndex = -1;
    appearance.textBackgroundIndex = -1;
    SelectImageIndex(dialog, ids.typeComboId, saved.savedTypeCustom);
    SelectImageIndex(dialog, ids.backgroundComboId, saved.savedBackgroundCustom);
    OnTypeChange(dialog);
    OnBackgroundChange(dialog);
  }
  RebuildSwatchBrush(appearance.textColor);
  FinishFormChange(dialog);
}

void OnSkinChange(HWND dialog) {
  const int position = Selection(dialog, Config().skinComboId);
  if (position < 0) return;
  dialogState.skinListIndex = position;
  if (!TrySkin(dialog, position)) return;
  // The form is Skinned now, whatever the form combo showed.
  SendDlgItemMessageW(dialog, Config().formComboId, CB_SETCURSEL, Skinned, 0);
  EnableAppearanceControls(dialog, Skinned);
  FinishFormChange(dialog);
}

void RepaintForColorRecord() {
  if (appearance.form == Skinned)
    SendFront(0x8002, 0);
  else
    InvalidateFront();
}

void ReadColorEdits(HWND chooser) {
  if (!hookRecord) return;
  TextColor edited = *hookRecord;
  GetEditInt(&edited.red, GetDlgItem(chooser, kColorEditRed));
  GetEditInt(&edited.green, GetDlgItem(chooser, kColorEditGreen));
  GetEditInt(&edited.blue, GetDlgItem(chooser, kColorEditBlue));
  if (SameColor(edited, *hookRecord)) return;
  *hookRecord = edited;
  RepaintForColorRecord();
}

void OnSwatchButtonUp(HWND dialog, LPARAM lParam) {
  const bool pressed = dialogState.swatchPressed;
  dialogState.swatchPressed = false;
  if (!pressed || !SwatchActive(dialog)) return;
  if (InSwatch(lParam)) {
    // The colour comes from the hook's live edits, not from the chooser's result.
    dialogState.colorDialog.rgbResult = ColorOf(appearance.textColor);
    ChooseColorW(&dialogState.colorDialog);
  }
  RebuildSwatchBrush(appearance.textColor);
  const RECT swatch = AppearanceSwatchRect();
  InvalidateRect(dialog, &swatch, TRUE);
  UpdateWindow(dialog);
  dialogState.workingSaved.savedColor = appearance.textColor;
  SendFront(0x8002, 0);
}

void Close(HWND dialog) {
  if (dialogState.swatchBrush) DeleteObject(dialogState.swatchBrush);
  if (dialogState.frameBrush) DeleteObject(dialogState.frameBrush);
  dialogState.swatchBrush = dialogState.frameBrush = nullptr;
  EndDialog(dialog, 1);
}

void OnOk(HWND dialog) {
  StoreSavedValues(dialogState.workingSaved, &appearance);
  CopyText(appearance.skinName, kSkinNameChars, dialogState.chosenSkin);
  SaveAppearanceFile(dialog);
  SendMessageW(dialog, kMsgAppearanceClose, 0, 0);
}

void OnCancel(HWND dialog) {
  const AppearanceSnapshot& snapshot = dialogState.openSnapshot;
  appearance.form = snapshot.form;
  appearance.textColor = snapshot.textColor;
  appearance.skinTextColor = snapshot.skinTextColor;
  appearance.englishLabels = snapshot.englishLabels;
  StoreSavedValues(snapshot.saved, &appearance);
  CopyText(appearance.skinName, kSkinNameChars, snapshot.skinName);
  if (appearance.typeIndex != snapshot.typeIndex) {
    appearance.typeIndex = snapshot.typeIndex;
    LoadTypeImage(appearance.typeIndex);
  }
  if (appearance.textBackgroundIndex != snapshot.textBackgroundIndex) {
    appearance.textBackgroundIndex = snapshot.textBackgroundIndex;
    LoadTextBackgroundImage(appearance.textBackgroundIndex);
  }
  if (appearance.form == Skinned && wcscmp(dialogState.chosenSkin, appearance.skinName) != 0 &&
      !LoadSkin(appearance.skinName, dialog))
    appearance.form = Normal;
  InvalidateFront();
  SendFront(0x8000, 1);
  SendFront(0x8002, 1);
  SendMessageW(dialog, kMsgAppearanceClose, 0, 0);
}

void SetFonts(HWND dialog) {
  HFONT font = Config().font ? *Config().font : nullptr;
  if (!font) return;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

HWND ComboEdit(HWND combo) {
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(combo, &info) ? info.hwndItem : nullptr;
}

void SubclassAppearanceCombos(HWND dialog) {
  const AppearanceDialogConfig& ids = Config();
  for (int id : {ids.formComboId, ids.typeComboId, ids.skinComboId}) {
    HWND combo = GetDlgItem(dialog, id);
    if (!combo) continue;
    InstallSubclass(combo, ComboClickDropDownProc, &previousComboClickDropDownProc);
    if (HWND edit = ComboEdit(combo)) InstallSubclass(edit, ReadOnlyComboEditProc, &previousReadOnlyComboEditProc);
  }
  HWND extended = GetDlgItem(dialog, ids.backgroundComboId);
  HWND inner = reinterpret_cast<HWND>(SendMessageW(extended, CBEM_GETCOMBOCONTROL, 0, 0));
  if (inner) {
    InstallSubclass(inner, ComboSubclassProc, &previousComboSubclassProc);
  }
  HWND edit = reinterpret_cast<HWND>(SendMessageW(extended, CBEM_GETEDITCONTROL, 0, 0));
  if (edit) {
    InstallSubclass(edit, ComboListSubclassProc, &previousComboListSubclassProc);
  }
}

void FillAppearanceControls(HWND dialog) {
  const AppearanceDialogConfig& ids = Config();
  for (const wchar_t* name : kFormNames)
    SendDlgItemMessageW(dialog, ids.formComboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  for (int i = 1; i <= kBuiltinImageCount; ++i) {
    wchar_t name[16];
    _snwprintf(name, 16, L"タイプ%d", i);
    name[15] = L'\0';
    SendDlgItemMessageW(dialog, ids.typeComboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  HWND skinCombo = GetDlgItem(dialog, ids.skinComboId);
  if (ids.skinChoiceAllowed && !ids.skinChoiceAllowed()) {
    EnableWindow(skinCombo, FALSE);  // no folders are scanned
  } else {
    const SkinFolderList list = ListSkinFolders();
    for (const std::wstring& name : list.names)
      SendMessageW(skinCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    dialogState.skinCount = static_cast<int>(list.names.size());
    dialogState.skinListIndex = list.selected;
    if (!list.anySubfolder) EnableWindow(skinCombo, FALSE);
  }
  SubclassAppearanceCombos(dialog);
  SendDlgItemMessageW(dialog, ids.formComboId, CB_SETCURSEL, static_cast<WPARAM>(appearance.form), 0);
  SelectImageIndex(dialog, ids.typeComboId, appearance.typeIndex);
  SendMessageW(skinCombo, CB_SETCURSEL, static_cast<WPARAM>(dialogState.skinListIndex), 0);

  HWND extended = GetDlgItem(dialog, ids.backgroundComboId);
  dialogState.swatchImages = ImageList_LoadImageW(GetModuleHandleW(nullptr),
                                                  MAKEINTRESOURCEW(countWindowConfig.swatchStripId), 15, 0,
                                                  CLR_NONE, IMAGE_BITMAP, LR_CREATEDIBSECTION);
  SendMessageW(extended, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(dialogState.swatchImages));
  for (int i = 0; i < kBuiltinImageCount; ++i) {
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = i;
    item.iImage = item.iSelectedImage = i;
    SendMessageW(extended, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  SelectImageIndex(dialog, ids.backgroundComboId, appearance.textBackgroundIndex);
}

void LayoutAppearanceDialog(HWND dialog) {
  const AppearanceDialogConfig& ids = Config();
  RECT work = {0, 0, 0, 0};
  if (ids.workArea)
    work = *ids.workArea;
  else
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const SIZE size = {ScaleX(kDialogWidth), ScaleY(kDialogHeight)};
  RECT count = {};
  HWND beside = countWindow ? countWindow : Front();
  POINT at;
  if (beside && GetWindowRect(beside, &count))
    at = PlaceBesideCountWindow(count, work, size);
  else
    at = CenterOnWorkArea(work, size.cx, size.cy);
  MoveWindow(dialog, at.x, at.y, size.cx, size.cy, FALSE);

  struct Place {
    int id, x, y, width, height;
  };
  const Place places[] = {
      {ids.formLabelId, 12, 15, 32, 18},
      {ids.formComboId, 62, 12, 114, kComboListHeight},
      {ids.typeLabelId, 12, 66, 38, 18},
      {ids.typeComboId, 102, 63, 74, kComboListHeight},
      {ids.skinLabelId, 12, 66, 38, 18},
      {ids.skinComboId, 102, 63, 74, kComboListHeight},
      {ids.backgroundLabelId, 12, 101, 87, 18},
      {ids.backgroundComboId, 137, 95, 39, kComboListHeight},
      {ids.colorLabelId, 12, 130, 99, 18},
      {ids.englishCheckId, 15, 183, 171, 22},
      {IDOK, 11, 225, 85, 36},
      {IDCANCEL, 102, 225, 85, 36},
  };
  for (const Place& place : places) PlaceControl(dialog, place.id, place.x, place.y, place.width, place.height);
  ShowWindow(GetDlgItem(dialog, ids.hiddenColorLabelId), SW_HIDE);
}

void OnInitDialog(HWND dialog) {
  dialogState.config = countWindowConfig.appearanceDialog;
  countWindowSettings.appearanceDialog = dialog;
  dialogState.openSnapshot = TakeAppearanceSnapshot(appearance);
  dialogState.workingSaved = SavedValuesOf(appearance);
  CopyText(dialogState.chosenSkin, kSkinNameChars, appearance.skinName);
  dialogState.skinListIndex = dialogState.skinCount = 0;
  dialogState.swatchPressed = false;
  if (!customColorsSet) {
    for (COLORREF& color : customColors) color = RGB(255, 255, 255);
    customColorsSet = true;
  }
  CHOOSECOLORW& chooser = dialogState.colorDialog;
  chooser = CHOOSECOLORW{};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = dialog;
  chooser.lpCustColors = customColors;
  chooser.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_ANYCOLOR;
  chooser.lpfnHook = ColorDialogHookProc;

  SetFonts(dialog);
  FillAppearanceControls(dialog);
  CheckDlgButton(dialog, Config().englishCheckId, appearance.englishLabels ? BST_CHECKED : BST_UNCHECKED);
  TextColor black = {};
  RebuildSwatchBrush(appearance.form == Custom ? appearance.savedColor : black);
  dialogState.frameBrush = CreateSolidBrush(RGB(127, 127, 127));
  LayoutAppearanceDialog(dialog);
  EnableAppearanceControls(dialog, appearance.form);
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  if (Selection(dialog, Config().formComboId) != Skinned) {
    const RECT swatch = AppearanceSwatchRect();
    if (dialogState.swatchBrush) FillRect(dc, &swatch, dialogState.swatchBrush);
    if (dialogState.frameBrush) FrameRect(dc, &swatch, dialogState.frameBrush);
  }
  HPEN pen = Config().separatorPen ? *Config().separatorPen : nullptr;
  HPEN ownPen = pen ? nullptr : CreatePen(PS_SOLID, 1, RGB(180, 180, 180));
  HGDIOBJ previous = SelectObject(dc, pen ? pen : ownPen);
  for (int y : {51, 167}) {
    MoveToEx(dc, ScaleX(12), ScaleY(y), nullptr);
    LineTo(dc, ScaleX(182), ScaleY(y));
  }
  SelectObject(dc, previous);
  if (ownPen) DeleteObject(ownPen);
  EndPaint(dialog, &paint);
}

void OnCommand(HWND dialog, int id, int code) {
  const AppearanceDialogConfig& ids = Config();
  if (id == IDOK) {
    OnOk(dialog);
  } else if (id == IDCANCEL) {
    OnCancel(dialog);
  } else if (id == ids.formComboId && code == CBN_SELCHANGE) {
    OnFormChange(dialog);
  } else if (id == ids.typeComboId && code == CBN_SELCHANGE) {
    OnTypeChange(dialog);
  } else if (id == ids.backgroundComboId && code == CBN_SELCHANGE) {
    OnBackgroundChange(dialog);
  } else if (id == ids.backgroundComboId && code == CBN_CLOSEUP) {
    SetFocus(GetDlgItem(dialog, ids.englishCheckId));
  } else if (id == ids.englishCheckId && code == BN_CLICKED) {
    appearance.englishLabels = IsDlgButtonChecked(dialog, ids.englishCheckId) == BST_CHECKED;
    SendFront(0x8002, 1);
  } else if (id == ids.skinComboId && code == CBN_SELCHANGE) {
    OnSkinChange(dialog);
  }
}

}  // namespace

// Inner combo of the ComboBoxEx: a press opens the list, no context menu.
LRESULT CALLBACK ComboSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      SendMessageW(window, CB_SHOWDROPDOWN, TRUE, 0);
      return 0;
    case WM_RBUTTONUP:
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return 0;
    default:
      return previousComboSubclassProc ? CallWindowProcW(previousComboSubclassProc, window, message, wParam, lParam)
                                       : DefWindowProcW(window, message, wParam, lParam);
  }
}

// Edit part of the ComboBoxEx: shows the image only, cannot be typed into.
LRESULT CALLBACK ComboListSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      SendMessageW(GetParent(window), CB_SHOWDROPDOWN, TRUE, 0);
      return 0;
    case WM_RBUTTONUP:
    case WM_SETFOCUS:
    case WM_CHAR:
      return 0;
    default:
      if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return previousComboListSubclassProc
                 ? CallWindowProcW(previousComboListSubclassProc, window, message, wParam, lParam)
                 : DefWindowProcW(window, message, wParam, lParam);
  }
}

AppearanceWorkingSaved SavedValuesOf(const AppearanceState& state) {
  return {state.savedTypeNormal, state.savedBackgroundCustom, state.savedTypeCustom, state.savedColor};
}

void StoreSavedValues(const AppearanceWorkingSaved& saved, AppearanceState* state) {
  state->savedTypeNormal = saved.savedTypeNormal;
  state->savedBackgroundCustom = saved.savedBackgroundCustom;
  state->savedTypeCustom = saved.savedTypeCustom;
  state->savedColor = saved.savedColor;
}

AppearanceSnapshot TakeAppearanceSnapshot(const AppearanceState& state) {
  AppearanceSnapshot snapshot = {};
  snapshot.form = state.form;
  snapshot.textColor = state.textColor;
  snapshot.skinTextColor = state.skinTextColor;
  snapshot.englishLabels = state.englishLabels;
  snapshot.textBackgroundIndex = state.textBackgroundIndex;
  snapshot.typeIndex = state.typeIndex;
  snapshot.saved = SavedValuesOf(state);
  CopyText(snapshot.skinName, kSkinNameChars, state.skinName);
  return snapshot;
}

POINT PlaceBesideCountWindow(const RECT& count, const RECT& work, SIZE dialog) {
  // The work area's middle: a zero-size window centred on it.
  const POINT middle = CenterOnWorkArea(work, 0, 0);
  const bool leftHalf = count.left < middle.x;
  const bool upperHalf = count.top < middle.y;
  POINT at;
  at.x = leftHalf ? count.right + 3 : count.left - 3 - dialog.cx;
  at.y = count.top + ((count.bottom - count.top) - dialog.cy) / 2;
  if (upperHalf && at.y < work.top) at.y = work.top;
  if (!upperHalf && at.y + dialog.cy > work.bottom) at.y = work.bottom - dialog.cy;
  return at;
}

RECT AppearanceSwatchRectAt(int dpiX, int dpiY) {
  return {ScaleForDpi(139, dpiX), ScaleForDpi(129, dpiY), ScaleForDpi(172, dpiX), ScaleForDpi(148, dpiY)};
}

RECT AppearanceSwatchRepaintRectAt(int dpiX, int dpiY) {
  return {ScaleForDpi(139, dpiX), ScaleForDpi(63, dpiY), ScaleForDpi(172, dpiX), ScaleForDpi(148, dpiY)};
}

RECT AppearanceSwatchRect() { return AppearanceSwatchRectAt(screenDpi.dpiX, screenDpi.dpiY); }

RECT AppearanceSwatchRepaintRect() { return AppearanceSwatchRepaintRectAt(screenDpi.dpiX, screenDpi.dpiY); }

void InstallAppearanceDialog(const AppearanceDialogConfig* config) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  countWindowConfig.appearanceDialog = config;
  countWindowConfig.appearanceDialogProc = AppearanceDialogProc;
}

INT_PTR CALLBACK AppearanceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG && !dialogState.config) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      if (!countWindowConfig.appearanceDialog) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case kMsgAppearanceClose:
      Close(dialog);
      return TRUE;
    case kMsgAppearanceRepaintSwatch:
      RepaintSwatchArea(dialog);
      return TRUE;
    case kMsgAppearanceTrySkin:
      OnTrySkin(dialog, static_cast<int>(wParam), reinterpret_cast<bool*>(lParam));
      return TRUE;
    case WM_MOUSEMOVE:
      if (SwatchActive(dialog) && InSwatch(lParam)) SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    case WM_LBUTTONDOWN:
      dialogState.swatchPressed = SwatchActive(dialog) && InSwatch(lParam);
      return TRUE;
    case WM_LBUTTONUP:
      OnSwatchButtonUp(dialog, lParam);
      return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) PlaceCountWindowBehind(Front());
      return FALSE;
    case WM_PAINT:
      OnPaint(dialog);
      return TRUE;
    case WM_DESTROY:
      countWindowSettings.appearanceDialog = nullptr;
      if (dialogState.swatchImages) ImageList_Destroy(dialogState.swatchImages);
      dialogState.swatchImages = nullptr;
      if (dialogState.swatchBrush) DeleteObject(dialogState.swatchBrush);
      if (dialogState.frameBrush) DeleteObject(dialogState.frameBrush);
      dialogState.swatchBrush = dialogState.frameBrush = nullptr;
      dialogState.config = nullptr;
      return TRUE;
    default:
      return FALSE;
  }
}

UINT_PTR CALLBACK ColorDialogHookProc(HWND chooser, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      hookRecord = appearance.form == Skinned ? &appearance.skinTextColor : &appearance.textColor;
      hookRecordAtOpening = *hookRecord;
      hookMouseDown = false;
      break;
    case WM_LBUTTONDOWN:
      hookMouseDown = true;
      break;
    case WM_LBUTTONUP:
      hookMouseDown = false;
      ReadColorEdits(chooser);
      break;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (HIWORD(wParam) == EN_CHANGE && !hookMouseDown &&
          (id == kColorEditRed || id == kColorEditGreen || id == kColorEditBlue)) {
        ReadColorEdits(chooser);
      } else if (id == IDCANCEL && hookRecord && !SameColor(*hookRecord, hookRecordAtOpening)) {
        *hookRecord = hookRecordAtOpening;
        RepaintForColorRecord();
      }
      break;
    }
    default:
      break;
  }
  return 0;
}
