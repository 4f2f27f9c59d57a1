#include "skins.h"

#include <cwchar>
#include <string>

#include "count_window_config.h"
#include "gdiplus_flat.h"
#include "shared/profile_names.h"
#include "shared/program_paths.h"
#include "shared/utilities.h"

namespace {

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Enough of a file for the header of a PNG, a BMP, and of most JPEGs and GIFs.
constexpr size_t kHeaderBytes = 64 * 1024;

bool FitsSkinImage(uint32_t width, uint32_t height) {
  const SIZE largest = LargestSkinImage();
  return width <= static_cast<uint32_t>(largest.cx) && height <= static_cast<uint32_t>(largest.cy);
}

// A bitmap with pixels of its own, drawn from `source`.
GpBitmap* CopyToOwnBitmap(GpBitmap* source) {
  UINT width = 0, height = 0;
  if (GdipGetImageWidth(source, &width) != Gdiplus::Ok ||
      GdipGetImageHeight(source, &height) != Gdiplus::Ok || width == 0 || height == 0)
    return nullptr;
  // The decoder's own idea of the size gets the same bound as the header's.
  if (!FitsSkinImage(width, height)) return nullptr;
  GpBitmap* copy = nullptr;
  if (GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0,
                                PixelFormat32bppPARGB, nullptr, &copy) != Gdiplus::Ok)
    return nullptr;
  GpGraphics* graphics = nullptr;
  bool drawn = false;
  if (GdipGetImageGraphicsContext(copy, &graphics) == Gdiplus::Ok) {
    GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
    drawn = GdipDrawImageRectI(graphics, source, 0, 0, static_cast<INT>(width),
                               static_cast<INT>(height)) == Gdiplus::Ok;
    GdipDeleteGraphics(graphics);
  }
  if (!drawn) {
    GdipDisposeImage(copy);
    return nullptr;
  }
  return copy;
}

// Decodes image bytes whose header says they fit on the screen. The decoder
// sizes its buffers from the header alone, so a header claiming a huge image
// costs gigabytes before any check after decoding could refuse it.
GpBitmap* DecodeImageBytes(const void* bytes, size_t size, ImageLoad* load) {
  load->problem = ImageLoad::Unreadable;
  if (!ReadImageHeader(static_cast<const unsigned char*>(bytes), size, &load->header)) return nullptr;
  if (!FitsSkinImage(load->header.width, load->header.height)) {
    load->problem = ImageLoad::LargerThanScreen;
    return nullptr;
  }
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  GpBitmap* result = nullptr;
  if (void* target = GlobalLock(block)) {
    memcpy(target, bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (SUCCEEDED(CreateStreamOnHGlobal(block, FALSE, &stream))) {
      GpBitmap* decoded = nullptr;
      if (GdipCreateBitmapFromStream(stream, &decoded) == Gdiplus::Ok && decoded) {
        // The decoded bitmap may still read from the stream: keep a copy only.
        result = CopyToOwnBitmap(decoded);
      }
      if (decoded) GdipDisposeImage(decoded);
      stream->Release();
    }
  }
  GlobalFree(block);
  if (result) load->problem = ImageLoad::None;
  return result;
}

void ReportSkinProblem(HWND owner, const std::wstring& subject, const wchar_t* what) {
  std::wstring text = subject + what;
  MessageBoxW(owner, text.c_str(), L"Pngファイル読み込みエラー", MB_OK);
}

// data.ini keys of one text, in reading order, with their read widths.
struct SkinKey {
  const wchar_t* key;
  int width;
  const wchar_t* defaultText;
  void (*store)(SkinLayout*, int);
};

const SkinKey kSkinKeys[] = {
    {L"FontSize", 2, L"11", [](SkinLayout* l, int v) { l->fontSize = v > 0 ? v : kDefaultSkinFontSize; }},
    {L"Bold", 1, L"0", [](SkinLayout* l, int v) { l->bold = v != 0; }},
    {L"Align", 1, L"0", [](SkinLayout* l, int v) { l->align = v; }},
    {L"LocationX", 4, L"0", [](SkinLayout* l, int v) { l->locationX = v; }},
    {L"LocationY", 4, L"0", [](SkinLayout* l, int v) { l->locationY = v; }},
    {L"Width", 4, L"0", [](SkinLayout* l, int v) { l->width = v; }},
    {L"Height", 4, L"0", [](SkinLayout* l, int v) { l->height = v; }},
    {L"ColorR", 3, L"0", [](SkinLayout* l, int v) { l->color.red = v < 0 ? 0 : v > 255 ? 255 : v; }},
    {L"ColorG", 3, L"0", [](SkinLayout* l, int v) { l->color.green = v < 0 ? 0 : v > 255 ? 255 : v; }},
    {L"ColorB", 3, L"0", [](SkinLayout* l, int v) { l->color.blue = v < 0 ? 0 : v > 255 ? 255 : v; }},
};

}  // namespace

std::wstring JoinPath(std::initializer_list<const wchar_t*> parts) {
  std::wstring path;
  for (const wchar_t* part : parts) path += part;
  if (path.size() >= MAX_PATH) return std::wstring();
  return path;
}

void DeleteGdiplusBitmap(GdiplusBitmap* bitmap) {
  if (*bitmap) GdipDisposeImage(AsGpBitmap(*bitmap));
  *bitmap = nullptr;
}

SIZE GdiplusBitmapSize(GdiplusBitmap bitmap) {
  SIZE size = {0, 0};
  UINT width = 0, height = 0;
  if (bitmap && GdipGetImageWidth(AsGpBitmap(bitmap), &width) == Gdiplus::Ok &&
      GdipGetImageHeight(AsGpBitmap(bitmap), &height) == Gdiplus::Ok) {
    size.cx = static_cast<LONG>(width);
    size.cy = static_cast<LONG>(height);
  }
  return size;
}

SIZE LargestSkinImage() {
  SIZE largest = {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  // Without a desktop to ask, the built-in images must still load.
  if (largest.cx <= 0 || largest.cy <= 0) largest = {1280, 1024};
  return largest;
}

GdiplusBitmap LoadPngResource(HMODULE module, HRSRC resource) {
  DWORD size = SizeofResource(module, resource);
  if (size == 0) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return nullptr;
  ImageLoad load;
  return DecodeImageBytes(bytes, size, &load);
}

GdiplusBitmap LoadImageFileCopy(const wchar_t* path, ImageLoad* load) {
  load->problem = ImageLoad::Unreadable;
  load->header = ImageHeader{};
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER length = {};
  if (!GetFileSizeEx(file, &length) || length.QuadPart <= 0) {
    CloseHandle(file);
    return nullptr;
  }
  const ULONGLONG fileSize = static_cast<ULONGLONG>(length.QuadPart);
  // No image that fits the screen needs more than 8 bytes a pixel (16-bit RGBA
  // stored raw) and some room for metadata; a larger file is not read whole.
  const SIZE largest = LargestSkinImage();
  const ULONGLONG limit = static_cast<ULONGLONG>(largest.cx) * largest.cy * 8 + (1u << 20);
  // The header alone refuses an oversized image before the rest is read.
  std::string bytes(static_cast<size_t>(fileSize < kHeaderBytes ? fileSize : kHeaderBytes), '\0');
  DWORD got = 0;
  bool read = ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
              got == bytes.size();
  ImageHeader early = {};
  if (read && ReadImageHeader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &early) &&
      !FitsSkinImage(early.width, early.height)) {
    load->header = early;
    load->problem = ImageLoad::LargerThanScreen;
    read = false;
  } else if (read && fileSize > limit) {
    load->problem = ImageLoad::FileTooLarge;
    read = false;
  } else if (read && fileSize > bytes.size()) {
    const size_t start = bytes.size();
    bytes.resize(static_cast<size_t>(fileSize));
    read = ReadFile(file, &bytes[start], static_cast<DWORD>(fileSize - start), &got, nullptr) &&
           got == fileSize - start;
  }
  CloseHandle(file);
  if (!read) return nullptr;
  return DecodeImageBytes(bytes.data(), bytes.size(), load);
}

namespace {

GdiplusBitmap LoadBuiltinImage(const int (&ids)[6], int index) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(ids[index]), MAKEINTRESOURCEW(10));
  return resource ? LoadPngResource(module, resource) : nullptr;
}

}  // namespace

void LoadTextBackgroundImage(int index) {
  if (index < 0 || index >= kBuiltinImageCount) return;
  DeleteGdiplusBitmap(&appearance.textBackgroundImage);
  appearance.textBackgroundImage = LoadBuiltinImage(countWindowConfig.textBackgroundIds, index);
}

void LoadTypeImage(int index) {
  if (index < 0 || index >= kBuiltinImageCount) return;
  DeleteGdiplusBitmap(&appearance.typeImage);
  appearance.typeImage = LoadBuiltinImage(countWindowConfig.typeImageIds, index);
}

void LoadCountWindowImages(HWND owner) {
  DeleteGdiplusBitmap(&appearance.textBackgroundImage);
  DeleteGdiplusBitmap(&appearance.typeImage);
  LoadTextBackgroundImage(appearance.textBackgroundIndex);
  LoadTypeImage(appearance.typeIndex);
  if (appearance.form != Skinned) return;
  if (LoadSkin(appearance.skinName, owner)) return;
  appearance.form = Normal;
  appearance.typeIndex = 0;
  appearance.textBackgroundIndex = 0;
  DeleteGdiplusBitmap(&appearance.textBackgroundImage);
  DeleteGdiplusBitmap(&appearance.typeImage);
  LoadTextBackgroundImage(0);
  LoadTypeImage(0);
}

SkinLayout ReadSkinLayout(const wchar_t* iniPath, const wchar_t* section) {
  SkinLayout layout = {};
  GetPrivateProfileStringW(section, L"Font", L"Meiryo UI", layout.fontFace, kFontFaceChars, iniPath);
  layout.fontFace[kFontFaceChars - 1] = L'\0';
  for (const SkinKey& key : kSkinKeys) {
    wchar_t text[8] = L"";
    GetPrivateProfileStringW(section, key.key, key.defaultText, text,
                             static_cast<DWORD>(key.width + 1), iniPath);
    key.store(&layout, _wtoi(text));
  }
  return layout;
}

bool IsPlainSkinName(const wchar_t* name) {
  // The rule of a profile's name: exactly one ordinary entry of its folder.
  return IsValidProfileName(name);
}

bool LoadSkin(const wchar_t* name, HWND owner) {
  if (!IsPlainSkinName(name)) {
    ReportSkinProblem(owner, L"スキン名「" + std::wstring(name) + L"」", L"は使用できません。");
    return false;
  }
  std::wstring iniPath = JoinPath({skinFolder, name, L"\\data.ini"});
  if (iniPath.empty() || !IsFile(iniPath)) {
    ReportSkinProblem(owner, std::wstring(skinFolder) + name + L"\\data.ini", L"が存在しません。");
    return false;
  }
  wchar_t imageName[MAX_PATH] = L"";
  GetPrivateProfileStringW(L"skin", L"Image", L"", imageName, MAX_PATH, iniPath.c_str());
  if (imageName[0] == L'\0') {
    ReportSkinProblem(owner, iniPath + L"の[skin] Image", L"が存在しません。");
    return false;
  }
  if (!IsPlainSkinName(imageName)) {
    ReportSkinProblem(owner, iniPath + L"の[skin] Image「" + imageName + L"」",
                      L"は使用できません。");
    return false;
  }
  std::wstring imagePath = JoinPath({skinFolder, name, L"\\", imageName});
  if (imagePath.empty() || !IsFile(imagePath)) {
    ReportSkinProblem(owner, imageName, L"が存在しません。");
    return false;
  }
  ImageLoad load;
  GdiplusBitmap image = LoadImageFileCopy(imagePath.c_str(), &load);
  if (!image) {
    std::wstring subject = imageName;
    if (load.problem == ImageLoad::LargerThanScreen) {
      subject += L"(" + std::to_wstring(load.header.width) + L" x " +
                 std::to_wstring(load.header.height) + L")";
    }
    ReportSkinProblem(owner, subject,
                      load.problem == ImageLoad::LargerThanScreen ? L"は画面より大きいため読み込めません。"
                      : load.problem == ImageLoad::FileTooLarge   ? L"はファイルが大きすぎるため読み込めません。"
                                                                  : L"を画像として読み込めません。");
    return false;
  }
  DeleteGdiplusBitmap(&appearance.skinImage);
  appearance.skinImage = image;
  appearance.skinLayout[0] = ReadSkinLayout(iniPath.c_str(), L"Text1");
  appearance.skinLayout[1] = ReadSkinLayout(iniPath.c_str(), L"Text2");
  return true;
}

SkinFolderList ListSkinFolders() {
  SkinFolderList list;
  std::wstring pattern = JoinPath({skinFolder, L"*"});
  std::vector<std::wstring> folders;
  if (pattern.empty() || !ListSubfolders(&folders, pattern.c_str())) return list;
  list.anySubfolder = !folders.empty();
  for (const std::wstring& folder : folders) {
    if (!IsPlainSkinName(folder.c_str())) continue;  // LoadSkin would refuse it
    std::wstring ini = JoinPath({programFolder, L"skin\\", folder.c_str(), L"\\data.ini"});
    if (ini.empty() || !IsFile(ini)) continue;
    if (appearance.form == Skinned && folder == appearance.skinName)
      list.selected = static_cast<int>(list.names.size());
    list.names.push_back(folder);
  }
  return list;
}

SIZE CountWindowFormSize() {
  if (appearance.form == Skinned && appearance.skinImage) return GdiplusBitmapSize(appearance.skinImage);
  SIZE size = {kBuiltinWidth, kBuiltinHeight};
  return size;
}
