#include "appearance.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "count_window_config.h"
#include "shared/error_log.h"
#include "shared/file_replace.h"

AppearanceState appearance;

namespace {

#define APPEARANCE_FIELD(member) \
  AppearanceField{0, sizeof(AppearanceState::member), offsetof(AppearanceState, member), false}

// The file order; offsets follow from the sizes (no padding).
std::vector<AppearanceField> BuildLayout() {
  std::vector<AppearanceField> fields = {
      AppearanceField{0, 4, 0, true},
      APPEARANCE_FIELD(form),
      APPEARANCE_FIELD(textBackgroundIndex),
      APPEARANCE_FIELD(typeIndex),
      APPEARANCE_FIELD(englishLabels),
      APPEARANCE_FIELD(savedTypeNormal),
      APPEARANCE_FIELD(savedBackgroundCustom),
      APPEARANCE_FIELD(savedTypeCustom),
      APPEARANCE_FIELD(savedColor),
      APPEARANCE_FIELD(skinName),
  };
  size_t offset = 0;
  for (AppearanceField& field : fields) {
    field.offset = offset;
    offset += field.size;
  }
  return fields;
}

#undef APPEARANCE_FIELD

int32_t ClampIndex(int32_t value, int32_t last) { return value >= 0 && value <= last ? value : 0; }

void ClampColor(TextColor* color) {
  for (int32_t* part : {&color->red, &color->green, &color->blue}) {
    if (*part < 0) *part = 0;
    if (*part > 255) *part = 255;
  }
}

}  // namespace

const std::vector<AppearanceField>& AppearanceFileLayout() {
  static const std::vector<AppearanceField> layout = BuildLayout();
  return layout;
}

std::string WriteAppearanceBytes(const AppearanceState& state) {
  std::string bytes(kAppearanceFileSize, '\0');
  const int32_t version = 1;
  const char* record = reinterpret_cast<const char*>(&state);
  for (const AppearanceField& field : AppearanceFileLayout()) {
    const void* source = field.isVersion ? static_cast<const void*>(&version)
                                         : static_cast<const void*>(record + field.memberOffset);
    std::memcpy(&bytes[field.offset], source, field.size);
  }
  return bytes;
}

void SanitizeAppearance(AppearanceState* state) {
  state->form = ClampIndex(state->form, Skinned);
  state->textBackgroundIndex = ClampIndex(state->textBackgroundIndex, kBuiltinImageCount - 1);
  state->typeIndex = ClampIndex(state->typeIndex, kBuiltinImageCount - 1);
  state->savedTypeNormal = ClampIndex(state->savedTypeNormal, kBuiltinImageCount - 1);
  state->savedBackgroundCustom = ClampIndex(state->savedBackgroundCustom, kBuiltinImageCount - 1);
  state->savedTypeCustom = ClampIndex(state->savedTypeCustom, kBuiltinImageCount - 1);
  state->englishLabels = state->englishLabels != 0;
  ClampColor(&state->savedColor);
  ClampColor(&state->textColor);
  state->skinName[kSkinNameChars - 1] = L'\0';
}

void ReadAppearanceBytes(const std::string& bytes, AppearanceState* state) {
  char* record = reinterpret_cast<char*>(state);
  for (const AppearanceField& field : AppearanceFileLayout()) {
    if (field.isVersion) continue;  // written as 1, never checked
    if (field.offset >= bytes.size()) break;
    // A field cut by the end of the file takes the bytes that are there.
    size_t available = bytes.size() - field.offset;
    std::memcpy(record + field.memberOffset, bytes.data() + field.offset,
                available < field.size ? available : field.size);
  }
  SanitizeAppearance(state);
  if (state->form == Custom) state->textColor = state->savedColor;
}

void LoadAppearanceFile(HWND owner) {
  FILE* file = nullptr;
  errno_t error = _wfopen_s(&file, countWindowConfig.appearanceFileName, L"rb");
  if (error != 0 || file == nullptr) {
    if (error == ENOENT) return;
    wchar_t* text = FetchSystemErrorText(GetLastError());
    MessageBoxW(owner, text ? text : L"", L"data_skdファイルのオープンに失敗", MB_ICONERROR);
    if (text) LocalFree(text);
    return;
  }
  std::string bytes(kAppearanceFileSize, '\0');
  size_t got = fread(&bytes[0], 1, bytes.size(), file);
  fclose(file);
  bytes.resize(got);
  ReadAppearanceBytes(bytes, &appearance);
}

bool SaveAppearanceFile(HWND owner) {
  // The old file stays whole until the new one is written and closed.
  const std::wstring path = countWindowConfig.appearanceFileName;
  const std::wstring tempPath = path + L".tmp";
  const std::string bytes = WriteAppearanceBytes(appearance);
  DWORD error = 0;
  if (!ReplaceFileWithBytes(path.c_str(), tempPath.c_str(), bytes.data(), bytes.size(), &error)) {
    MessageBoxW(owner, L"データ保存用ファイルのオープンに失敗。", L"エラー", MB_ICONERROR);
    return false;
  }
  return true;
}
