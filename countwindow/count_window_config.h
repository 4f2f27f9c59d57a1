#pragma once
#include <windows.h>

#include <cstdint>

struct AppearanceDialogConfig;

// What the two programs do differently with the shared count window: file
// names, resource numbers and command ids. Each program copies its record into
// countWindowConfig at start-up and adds its countdown dialog's handle slot.
struct CountWindowConfig {
  const wchar_t* iniPath;             // ".\Scheduler.ini" or ".\sopora.ini"
  const wchar_t* appearanceFileName;  // "data_skd" or "data"
  int textBackgroundIds[6];           // RT_RCDATA PNGs, 84 x 18
  int typeImageIds[6];                // RT_RCDATA PNGs, 121 x 44
  int swatchStripId;                  // BITMAP, six 15 x 15 swatches
  int contextMenuId;
  int hideCommand;
  int topMostCommand;
  int fixCommand;
  int setHomeCommand;
  int appearanceCommand;
  int appearanceDialogId;
  HWND* frontWindow;                  // the countdown dialog lying over the count window
  DLGPROC appearanceDialogProc;       // null until the appearance dialog exists
  const AppearanceDialogConfig* appearanceDialog;  // its control ids and the program's fonts
};

extern const CountWindowConfig kSchedulerCountWindowConfig;
extern const CountWindowConfig kCountdownCountWindowConfig;
extern CountWindowConfig countWindowConfig;  // starts as the scheduler's

// The count window's handle and the first-creation flag are process globals of
// each program (the scheduler's live in its main window state).
extern HWND countWindow;
extern uint8_t countWindowCreated;
