#include "feature_switches_dialog.h"

#include <initializer_list>

#include "dpi_scaling.h"
#include "main_window_state.h"
#include "private_messages.h"

const ScheduleItem* switchesItem;
const ScheduleItem* switchesWakeItem;

namespace {

struct ControlBox {
  int id;
  int x, y, width, height;
};

constexpr ControlBox kLayout[] = {
    {2006, 12, 9, 44, 18},   {2000, 25, 30, 111, 22}, {2001, 25, 55, 87, 22},
    {2002, 25, 80, 171, 22}, {2007, 12, 110, 44, 18}, {2003, 25, 131, 111, 22},
    {2004, 25, 156, 87, 22}, {2005, 25, 181, 87, 22}, {IDOK, 12, 218, 90, 30},
    {IDCANCEL, 110, 218, 90, 30},
};

void SetFont(HWND dialog, int id, HFONT font) {
  if (font) SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void OnInitDialog(HWND dialog) {
  featureDialog = dialog;
  switchesItem = nullptr;
  switchesWakeItem = nullptr;
  // The countdown dialog answers at once with kMsgItemsToShow.
  if (CountdownDialogExists())
    SendMessageW(countdownDialog, kMsgAskItems, 0, reinterpret_cast<LPARAM>(dialog));

  SetFont(dialog, 2006, uiBoldFont);
  SetFont(dialog, 2007, uiBoldFont);
  for (int i = 0; i < kFeatureSwitchCount; ++i) SetFont(dialog, kFirstFeatureCheckBox + i, uiFont);
  SetFont(dialog, IDOK, uiFont);
  SetFont(dialog, IDCANCEL, uiFont);

  PlaceDialog(dialog, workArea, 219, 290);
  for (const ControlBox& box : kLayout) PlaceControl(dialog, box.id, box.x, box.y, box.width, box.height);

  const FeatureSwitchView view = ComputeFeatureSwitchView(switchesItem, switchesWakeItem, featureOff);
  for (int i = 0; i < kFeatureSwitchCount; ++i) {
    const int id = kFirstFeatureCheckBox + i;
    EnableWindow(GetDlgItem(dialog, id), view.enabled[i]);
    CheckDlgButton(dialog, id, view.checked[i] ? BST_CHECKED : BST_UNCHECKED);
  }
  EnableWindow(GetDlgItem(dialog, 2007), view.afterResumeGroupEnabled);
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  HGDIOBJ previous = SelectObject(dc, separatorPen ? separatorPen : GetStockObject(BLACK_PEN));
  for (int y : {18, 119}) {
    MoveToEx(dc, ScaleX(62), ScaleY(y), nullptr);
    LineTo(dc, ScaleX(194), ScaleY(y));
  }
  SelectObject(dc, previous);
  EndPaint(dialog, &paint);
}

void OnOk(HWND dialog) {
  bool checked[kFeatureSwitchCount];
  for (int i = 0; i < kFeatureSwitchCount; ++i)
    checked[i] = IsDlgButtonChecked(dialog, kFirstFeatureCheckBox + i) == BST_CHECKED;
  ApplyFeatureSwitchChecks(checked, featureOff);
  DestroyWindow(dialog);
}

}  // namespace

FeatureSwitchView ComputeFeatureSwitchView(const ScheduleItem* item, const ScheduleItem* wakeItem,
                                           const uint8_t* switches) {
  FeatureSwitchView view{};
  if (item) {
    view.enabled[0] = item->soundIndex != 0;
    view.enabled[1] = item->mailTo != 0;
    view.enabled[2] = item->captureEnabled != 0;
  }
  if (wakeItem) {
    view.enabled[3] = wakeItem->soundIndex != 0;
    view.enabled[4] = wakeItem->mailTo != 0;
    view.enabled[5] = wakeItem->appDelays[0] != -1;
    view.afterResumeGroupEnabled = true;
  }
  for (int i = 0; i < kFeatureSwitchCount; ++i) view.checked[i] = view.enabled[i] && switches[i] == 0;
  return view;
}

void ApplyFeatureSwitchChecks(const bool* checked, uint8_t* switches) {
  for (int i = 0; i < kFeatureSwitchCount; ++i) switches[i] = checked[i] ? 0 : 1;
}

INT_PTR CALLBACK FeatureSwitchDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case kMsgItemsToShow:
      switchesItem = reinterpret_cast<const ScheduleItem*>(wParam);
      switchesWakeItem = reinterpret_cast<const ScheduleItem*>(lParam);
      return TRUE;
    case WM_PAINT:
      OnPaint(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        OnOk(dialog);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(dialog);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      if (featureDialog == dialog) featureDialog = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

HWND OpenFeatureSwitchDialog() {
  HWND dialog =
      CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(181), nullptr, FeatureSwitchDlgProc, 0);
  // The template is not visible by itself.
  if (dialog) ShowWindow(dialog, SW_SHOW);
  return dialog;
}
