#include "skins.h"

#include <cwchar>

#include "count_window_config.h"
#include "gdiplus_flat.h"
#include "shared/program_paths.h"
#include "shared/utilities.h"

namespace {

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A bitmap with pixels of its own, drawn from `source`.
GpBitmap* CopyToOwnBitmap(GpBitmap* source) {
  UINT width = 0, height = 0;
  if (GdipGetImageWidth(source, &width) != Gdiplus::Ok ||
      GdipGetImageHeight(source, &height) != Gdiplus::Ok || width == 0 || height == 0)
    return nullptr;
  // Nothing larger than the whole desktop can be a count window.
  UINT maxWidth = static_cast<UINT>(GetSystemMetrics(SM_CXVIRTUALSCREEN));
  UINT maxHeight = static_cast<UINT>(GetSystemMetrics(SM_CYVIRTUALSCREEN));
  if (maxWidth < 1280) maxWidth = 1280;
  if (maxHeight < 1024) maxHeight = 1024;
  if (width > maxWidth || height > maxHeight) return nullptr;
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

GdiplusBitmap LoadPngResource(HMODULE module, HRSRC resource) {
  DWORD size = SizeofResource(module, resource);
  if (size == 0) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return nullptr;
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
  return result;
}

GdiplusBitmap LoadImageFileCopy(const wchar_t* path) {
  GpBitmap* decoded = nullptr;
  GpStatus status = GdipCreateBitmapFromFile(path, &decoded);
  GpBitmap* result = nullptr;
  if (status == Gdiplus::Ok && decoded) result = CopyToOwnBitmap(decoded);
  if (decoded) GdipDisposeImage(decoded);
  return result;
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

bool LoadSkin(const wchar_t* name, HWND owner) {
  std::wstring iniPath = JoinPath({skinFolder, name, L"\\data.ini"});
  if (iniPath.empty() || !IsFile(iniPath)) {
    ReportSkinProblem(owner, std::wstring(skinFolder) + name + L"\\data.ini", L"が存在しません。");
    return false;
  }
  wchar_t imageName[MAX_PATH] = L"";
  GetPrivateProfileStringW(L"skin", L"Image", L"", imageName, MAX_PATH, iniPath.c_str());
  std::wstring imagePath = JoinPath({skinFolder, name, L"\\", imageName});
  if (imagePath.empty() || imageName[0] == L'\0' || !IsFile(imagePath)) {
    ReportSkinProblem(owner, imageName, L"が存在しません。");
    return false;
  }
  GdiplusBitmap image = LoadImageFileCopy(imagePath.c_str());
  if (!image) {
    ReportSkinProblem(owner, imageName, L"を画像として読み込めません。");
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
