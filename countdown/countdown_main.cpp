// Process entry of Sopora, the countdown program.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include "shared/error_log.h"
#include "shared/program_paths.h"
#include "timer_main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, kTimerMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    MessageBoxW(nullptr, L"すでに起動しています", L"", MB_OK);
    if (mutex) {
      ReleaseMutex(mutex);
      CloseHandle(mutex);
    }
    return 0;
  }
  SetErrorLogFileName(kCountdownErrorLogName);
  // The profile folder lies beside the program.
  InitProgramPaths();

  ULONG_PTR gdiplusToken = 0;
  const Gdiplus::GdiplusStartupInput gdiplusInput;
  Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
  LoadStringW(instance, 103, timerWindowTitle, 100);
  LoadStringW(instance, 109, timerClassName, 100);
  TimerRegisterWindowClasses(instance);
  if (!TimerCreateMainWindow(instance, showCommand)) {
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return 0;
  }
  CoInitialize(nullptr);
  const int exitCode = TimerRunMessageLoop();
  Gdiplus::GdiplusShutdown(gdiplusToken);
  CoUninitialize();
  return exitCode;
}
