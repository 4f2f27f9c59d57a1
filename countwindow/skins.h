#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "appearance.h"
#include "image_header.h"

// Built-in images from the program's resources and skin folders
// skin\<name>\data.ini with their PNG image.

// A PNG resource decoded into a bitmap that owns its pixels (the resource
// memory is gone when this returns), or null.
GdiplusBitmap LoadPngResource(HMODULE module, HRSRC resource);
// The largest image a skin may have: the virtual screen, as a count window
// larger than every monitor is no use.
SIZE LargestSkinImage();

// Why an image file gave no bitmap, and the size its header declares.
struct ImageLoad {
  enum Problem { None, Unreadable, LargerThanScreen, FileTooLarge } problem = None;
  ImageHeader header = {};
};
// A PNG, BMP, GIF or JPEG file decoded into a bitmap that owns its pixels and
// keeps no lock on the file; null, with the reason, when its header cannot be
// read, declares more than LargestSkinImage (then nothing is decoded), or the
// decoder fails.
GdiplusBitmap LoadImageFileCopy(const wchar_t* path, ImageLoad* load);
void DeleteGdiplusBitmap(GdiplusBitmap* bitmap);
SIZE GdiplusBitmapSize(GdiplusBitmap bitmap);  // 0 x 0 for none

// For index 0-5: the previous image is freed and the image becomes the
// resource's bitmap (none when missing). Another index changes nothing.
void LoadTextBackgroundImage(int index);
void LoadTypeImage(int index);
// At start-up after the appearance file: both built-in images, and the skin in
// form Skinned (falling back to Normal 0/0 when it cannot be loaded).
void LoadCountWindowImages(HWND owner);

// One text of a data.ini: the section's keys read with their widths.
SkinLayout ReadSkinLayout(const wchar_t* iniPath, const wchar_t* section);
// A skin's folder name, and an image name in its data.ini, name one entry of
// their folder: no separator, drive, "..", wildcard or device name.
bool IsPlainSkinName(const wchar_t* name);
// Loads skin\<name>\data.ini and its image. On failure reports over `owner`
// and keeps the previous image and layout.
bool LoadSkin(const wchar_t* name, HWND owner);

struct SkinFolderList {
  std::vector<std::wstring> names;  // usable skins, in file-system order
  bool anySubfolder = false;        // some subfolder exists at all
  int selected = 0;                 // position of skinName in form Skinned
};
SkinFolderList ListSkinFolders();

// The joined parts when they fit MAX_PATH with their terminator, else empty.
std::wstring JoinPath(std::initializer_list<const wchar_t*> parts);
