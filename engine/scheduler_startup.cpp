// Process entry of SoporaScheduler.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <cstdint>

#include "action_executor.h"
#include "mail_jobs.h"
#include "main_window.h"
#include "main_window_state.h"
#include "schedule_model.h"
#include "shared/error_log.h"
#include "smtp_session.h"
#include "startup_settings.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, L"MultiplexStartingPreventionTest2");
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    MessageBoxW(nullptr, L"すでに起動しています", L"", MB_OK);
    if (mutex) {
      ReleaseMutex(mutex);
      CloseHandle(mutex);
    }
    return 0;
  }
  SetErrorLogFileName(kSchedulerErrorLogName);

  ULONG_PTR gdiplusToken = 0;
  const Gdiplus::GdiplusStartupInput gdiplusInput;
  Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

  if (ParseStartArgument(GetCommandLineW(), startProfileName) == StartArgument::TooLong)
    MessageBoxW(nullptr, kStartNameTooLongText, L"", MB_OK | MB_ICONWARNING);

  LoadStringW(instance, 103, windowTitle, 100);
  LoadStringW(instance, 109, className, 100);
  RegisterWindowClasses(instance);

  HWND window = CreateWindowExW(0, className, windowTitle, WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!window) {
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return 0;
  }
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  PrepareTrustAnchorsInBackground();

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(109));
  CoInitialize(nullptr);

  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (mainDialog && accelerators && TranslateAcceleratorW(mainDialog, accelerators, &msg)) continue;
    if (mainDialog && IsDialogMessageW(mainDialog, &msg)) continue;
    // The confirmation is modeless too: Esc must reach it.
    if (confirmDialog && IsDialogMessageW(confirmDialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  EndEveryMailJob(LogMailCutOff);  // a quit posted by anything else still waits for the workers
  Gdiplus::GdiplusShutdown(gdiplusToken);
  CoUninitialize();
  return static_cast<int>(msg.wParam);
}
