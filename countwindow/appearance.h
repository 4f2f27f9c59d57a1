#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The count window's appearance: its form, the built-in image indices, the
// digit colours, the skin and its layout. One program-wide record.

enum CountWindowForm : int32_t { Normal = 0, Custom = 1, Skinned = 2 };

struct TextColor {
  int32_t reserved;  // not interpreted; 0 in a new record
  int32_t red;
  int32_t green;
  int32_t blue;
};

inline constexpr int kFontFaceChars = 100;
inline constexpr int kSkinNameChars = 260;
inline constexpr int kBuiltinImageCount = 6;
inline constexpr int kBuiltinWidth = 121;   // the type frame and the builtin window
inline constexpr int kBuiltinHeight = 44;
inline constexpr int kTextBackgroundWidth = 84;  // nominal size of a text-1 background
inline constexpr int kTextBackgroundHeight = 18;
inline constexpr int kDefaultSkinFontSize = 11;

struct SkinLayout {
  wchar_t fontFace[kFontFaceChars];
  int32_t fontSize;  // pixels
  uint8_t bold;
  int32_t align;     // 0 left, 1 centre, else right
  int32_t locationX;
  int32_t locationY;
  int32_t width;
  int32_t height;
  TextColor color;
};

// GDI+ bitmaps are kept as the flat API's opaque handle, so this header needs
// no GDI+ include.
using GdiplusBitmap = void*;

struct AppearanceState {
  int32_t form;
  int32_t textBackgroundIndex;
  int32_t typeIndex;
  uint8_t englishLabels;
  int32_t savedTypeNormal;
  int32_t savedBackgroundCustom;
  int32_t savedTypeCustom;
  TextColor savedColor;
  wchar_t skinName[kSkinNameChars];
  TextColor textColor;
  TextColor skinTextColor;
  GdiplusBitmap textBackgroundImage;
  GdiplusBitmap typeImage;
  GdiplusBitmap skinImage;
  SkinLayout skinLayout[2];  // [0] "Text1" (action label), [1] "Text2" (countdown)
};

extern AppearanceState appearance;

// The appearance file is 565 bytes; these say where each field lies.
struct AppearanceField {
  size_t offset;
  size_t size;
  size_t memberOffset;  // offset of the field in AppearanceState; version has none
  bool isVersion;
};
inline constexpr size_t kAppearanceFileSize = 565;
const std::vector<AppearanceField>& AppearanceFileLayout();

// Bytes of the file for `state` (version 1).
std::string WriteAppearanceBytes(const AppearanceState& state);
// Reads what `bytes` holds into `state`, field by field; a short input leaves
// the fields after its end as they were. Then clamps what a damaged or
// hand-made file could hold out of range, and takes the custom digit colour.
void ReadAppearanceBytes(const std::string& bytes, AppearanceState* state);
// Form 0-2, indices 0-5 (else 0), colours 0-255, the skin name terminated.
void SanitizeAppearance(AppearanceState* state);

// The program's appearance file ("data_skd" or "data", in the current folder).
void LoadAppearanceFile(HWND owner);
bool SaveAppearanceFile(HWND owner);

// Size of the count window in the current form: 121 x 44, or the skin image's.
SIZE CountWindowFormSize();
