#pragma once
#include <windows.h>

#include "appearance.h"

// The appearance dialog of the count window, one piece for both programs: the
// form, the built-in type and text-1 background, the digit colour, English
// action names and the skin, each previewed at once on the running count
// window. What differs between the programs is an AppearanceDialogConfig.

struct AppearanceDialogConfig {
  int formLabelId;         // "形態"
  int formComboId;
  int typeComboId;
  int typeLabelId;         // "タイプ"
  int skinComboId;
  int skinLabelId;         // "背景"
  int backgroundComboId;   // ComboBoxEx of the six text-1 backgrounds
  int backgroundLabelId;   // "テキスト1背景"
  int colorLabelId;        // "テキスト2カラー"
  int hiddenColorLabelId;  // "カラー", never shown
  int englishCheckId;      // "終了オプションを英語表記"
  HFONT* font;             // the program's UI font, may hold null
  HPEN* separatorPen;      // the program's grey pen, may hold null
  const RECT* workArea;
  // Whether skins may be chosen now; null means always. The countdown program
  // refuses them while it watches the processor.
  bool (*skinChoiceAllowed)();
};

extern const AppearanceDialogConfig kSchedulerAppearanceDialogIds;  // ids only; the program adds the rest
extern const AppearanceDialogConfig kCountdownAppearanceDialogIds;

// Makes the count window's appearance command open this dialog with `config`
// (which must outlive the program's count windows).
void InstallAppearanceDialog(const AppearanceDialogConfig* config);

INT_PTR CALLBACK AppearanceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
UINT_PTR CALLBACK ColorDialogHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The text-1 background's ComboBoxEx: its inner combo opens the list on a
// press; its edit part shows the image only and takes no typing or focus.
LRESULT CALLBACK ComboSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboListSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Own messages of the dialog.
inline constexpr UINT kMsgAppearanceClose = 0x8000;
inline constexpr UINT kMsgAppearanceRepaintSwatch = 0x8001;
inline constexpr UINT kMsgAppearanceTrySkin = 0x800A;  // wParam skin combo position, lParam bool* result

// --- The dialog's logic, apart from its controls --------------------------

// What the dialog keeps while it is open.
struct AppearanceWorkingSaved {
  int32_t savedTypeNormal;
  int32_t savedBackgroundCustom;
  int32_t savedTypeCustom;
  TextColor savedColor;
};
struct AppearanceSnapshot {
  int32_t form;
  TextColor textColor;
  TextColor skinTextColor;
  uint8_t englishLabels;
  int32_t textBackgroundIndex;
  int32_t typeIndex;
  AppearanceWorkingSaved saved;
  wchar_t skinName[kSkinNameChars];
};
AppearanceSnapshot TakeAppearanceSnapshot(const AppearanceState& state);
AppearanceWorkingSaved SavedValuesOf(const AppearanceState& state);
void StoreSavedValues(const AppearanceWorkingSaved& saved, AppearanceState* state);

// Where the dialog goes beside the count window, towards the middle of the
// work area: 3 pixels right of it on the left half, 3 pixels left of it on the
// right half; centred on it vertically and kept inside the work area's top
// (upper half) or bottom (lower half).
POINT PlaceBesideCountWindow(const RECT& countWindowRect, const RECT& workArea, SIZE dialogSize);

// The swatch of the digit colour and the area repainted with it, in the
// dialog's client pixels, scaled like the controls.
RECT AppearanceSwatchRect();
RECT AppearanceSwatchRepaintRect();
RECT AppearanceSwatchRectAt(int dpiX, int dpiY);
RECT AppearanceSwatchRepaintRectAt(int dpiX, int dpiY);
