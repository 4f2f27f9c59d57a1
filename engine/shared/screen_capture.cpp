#include "screen_capture.h"

#include <csetjmp>
#include <cstdio>
#include <cwchar>

#include "clock.h"
#include "weekday_names.h"

// libjpeg's headers expect FILE and size_t to be declared first.
#include <jpeglib.h>

const BmpFieldLayout kBmpHeaderLayout[16] = {
    {BmpField::Type, 0, 2},         {BmpField::FileSize, 2, 4},
    {BmpField::Reserved1, 6, 2},    {BmpField::Reserved2, 8, 2},
    {BmpField::PixelOffset, 10, 4}, {BmpField::HeaderSize, 14, 4},
    {BmpField::Width, 18, 4},       {BmpField::Height, 22, 4},
    {BmpField::Planes, 26, 2},      {BmpField::BitCount, 28, 2},
    {BmpField::Compression, 30, 4}, {BmpField::ImageSize, 34, 4},
    {BmpField::XResolution, 38, 4}, {BmpField::YResolution, 42, 4},
    {BmpField::ColorsUsed, 46, 4},  {BmpField::ColorsImportant, 50, 4},
};

BmpHeaderValues MakeBmpHeaderValues(int32_t width, int32_t height) {
  const uint32_t imageSize = BmpRowStride(width) * static_cast<uint32_t>(height);
  BmpHeaderValues h{};
  auto set = [&h](BmpField f, uint32_t v) { h.values[static_cast<int>(f)] = v; };
  set(BmpField::Type, 0x4D42);
  set(BmpField::FileSize, imageSize + kBmpHeaderSize);
  set(BmpField::PixelOffset, kBmpHeaderSize);
  set(BmpField::HeaderSize, sizeof(BITMAPINFOHEADER));
  set(BmpField::Width, static_cast<uint32_t>(width));
  set(BmpField::Height, static_cast<uint32_t>(height));
  set(BmpField::Planes, 1);
  set(BmpField::BitCount, 24);
  set(BmpField::Compression, BI_RGB);
  set(BmpField::ImageSize, imageSize);
  return h;
}

void WriteBmpHeader(const BmpHeaderValues& header, uint8_t out[kBmpHeaderSize]) {
  for (const BmpFieldLayout& f : kBmpHeaderLayout) {
    const uint32_t v = header.values[static_cast<int>(f.field)];
    for (int i = 0; i < f.width; ++i) out[f.offset + i] = static_cast<uint8_t>(v >> (8 * i));
  }
}

BmpHeaderValues ReadBmpHeader(const uint8_t in[kBmpHeaderSize]) {
  BmpHeaderValues header{};
  for (const BmpFieldLayout& f : kBmpHeaderLayout) {
    uint32_t v = 0;
    for (int i = 0; i < f.width; ++i) v |= static_cast<uint32_t>(in[f.offset + i]) << (8 * i);
    header.values[static_cast<int>(f.field)] = v;
  }
  return header;
}

bool MakeCaptureFileName(const wchar_t* actionDisplayName, wchar_t* path, const wchar_t* folder,
                         int32_t format) {
  SYSTEMTIME now;
  GetClockLocalTime(&now);
  const wchar_t* weekday = weekdayNames[now.wDayOfWeek <= 6 ? now.wDayOfWeek : 0];
  const int n = swprintf(path, MAX_PATH, L"%ls\\%d年%02d月%02d日(%ls)_%02d時%02d分%02d秒(%ls).%ls",
                         folder, now.wYear, now.wMonth, now.wDay, weekday, now.wHour, now.wMinute,
                         now.wSecond, actionDisplayName, format == kCaptureJpeg ? L"jpg" : L"bmp");
  if (n < 0 || n >= MAX_PATH) {
    path[MAX_PATH - 1] = L'\0';
    return false;
  }
  return true;
}

namespace {

BITMAPINFOHEADER MakeInfoHeader(LONG width, LONG height) {
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // positive: bottom-up
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = BmpRowStride(width) * static_cast<DWORD>(height);
  return info;
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool WriteBmpFile(const wchar_t* path, const BITMAPINFOHEADER& info, const void* bits) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  uint8_t header[kBmpHeaderSize];
  WriteBmpHeader(MakeBmpHeaderValues(info.biWidth, info.biHeight), header);
  // The info header part of the table is the same record as `info`.
  bool ok = WriteAll(file, header, sizeof header) && WriteAll(file, bits, info.biSizeImage);
  if (!CloseHandle(file)) ok = false;
  if (!ok) DeleteFileW(path);
  return ok;
}

// libjpeg reports a fatal error here; control goes back to the writer.
struct JpegErrorTrap {
  jpeg_error_mgr manager;
  jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info) {
  JpegErrorTrap* trap = reinterpret_cast<JpegErrorTrap*>(info->err);
  longjmp(trap->jump, 1);
}

void JpegSilentMessage(j_common_ptr) {}

// Compresses bottom-up BGR rows into an open file, top row first, one row a
// call; libjpeg takes the rows in the bitmap's own byte order. Only plain data
// lives in this frame, so the jump back from libjpeg skips no destructor.
bool CompressRows(FILE* file, uint8_t* pixels, int width, int height, uint32_t stride) {
  jpeg_compress_struct cinfo;
  JpegErrorTrap trap;
  cinfo.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = JpegErrorExit;
  trap.manager.output_message = JpegSilentMessage;
  if (setjmp(trap.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  for (int n = 0; n < height; ++n) {
    JSAMPROW rows[1] = {pixels + static_cast<size_t>(height - 1 - n) * stride};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

bool SaveBitmapAsJpeg(const wchar_t* path, HBITMAP bitmap) {
  BITMAP record;
  if (!bitmap || GetObjectW(bitmap, sizeof record, &record) != sizeof record ||
      record.bmWidth <= 0 || record.bmHeight <= 0)
    return false;
  const int width = record.bmWidth;
  const int height = record.bmHeight;
  BITMAPINFOHEADER info = MakeInfoHeader(width, height);

  FILE* file = _wfopen(path, L"wb");
  if (!file) return false;

  // A 24-bit bottom-up section is read in place; any other bitmap is copied
  // out in that form first.
  uint8_t* pixels = nullptr;
  uint8_t* copy = nullptr;
  DIBSECTION section;
  if (GetObjectW(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBits &&
      section.dsBmih.biBitCount == 24 && section.dsBmih.biCompression == BI_RGB &&
      section.dsBmih.biHeight > 0) {
    pixels = static_cast<uint8_t*>(section.dsBm.bmBits);
  } else {
    copy = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, info.biSizeImage));
    HDC screen = copy ? GetDC(nullptr) : nullptr;
    HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
    if (memory) {
      BITMAPINFO bmi{};
      bmi.bmiHeader = info;
      if (GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), copy, &bmi, DIB_RGB_COLORS) ==
          height)
        pixels = copy;
      DeleteDC(memory);
    }
    if (screen) ReleaseDC(nullptr, screen);
  }
  bool ok = pixels && CompressRows(file, pixels, width, height, BmpRowStride(width));
  if (fclose(file) != 0) ok = false;
  if (!ok) DeleteFileW(path);
  if (copy) HeapFree(GetProcessHeap(), 0, copy);
  return ok;
}

bool CaptureScreen(const wchar_t* path, int32_t format) {
  SetThreadExecutionState(ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);

  POINT cursor{};
  GetCursorPos(&cursor);
  MONITORINFOEXW monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
  const LONG width = monitor.rcMonitor.right - monitor.rcMonitor.left;
  const LONG height = monitor.rcMonitor.bottom - monitor.rcMonitor.top;
  if (width <= 0 || height <= 0) return false;

  HDC screen = CreateDCW(L"DISPLAY", monitor.szDevice, nullptr, nullptr);
  if (!screen) return false;
  BITMAPINFO bmi{};
  bmi.bmiHeader = MakeInfoHeader(width, height);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = section && bits ? CreateCompatibleDC(screen) : nullptr;
  bool ok = false;
  if (memory) {
    HGDIOBJ old = SelectObject(memory, section);
    if (old && BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY)) {
      GdiFlush();
      if (format == kCaptureJpeg) {
        ok = SaveBitmapAsJpeg(path, section);
      } else {
        ok = WriteBmpFile(path, bmi.bmiHeader, bits);
      }
    }
    if (old) SelectObject(memory, old);
    DeleteDC(memory);
  }
  if (section) DeleteObject(section);
  DeleteDC(screen);
  return ok;
}
