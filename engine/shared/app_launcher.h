#pragma once
#include <windows.h>

#include <cstdint>

#include "schedule_model.h"

// The after-resume applications of one list: ten slots in list order, used
// slots first in ascending delay, -1 marking an empty slot. The scheduler
// points it at a schedule item, the countdown program at its settings.
struct ApplicationList {
  const wchar_t (*paths)[kPathChars];
  const wchar_t (*arguments)[kCommandChars];
  const int32_t* delays;
  const uint8_t* minimized;
};

// Whether a delay read from a stored file can stand: -1 marks an empty slot,
// a delay of 0 or more starts at that second; anything below -1 is damage.
inline bool IsStoredAppDelay(int32_t delay) { return delay >= -1; }

// One call a second since the resume: starts every slot from *cursor on whose
// delay has come, in list order, and leaves *cursor on the first slot still
// waiting. Returns 0 when the slot under the cursor is empty or the cursor is
// past the last slot (nothing more to start), else 1. A failure to start is
// logged under "アプリ起動エラー(<name>)" and the next slots are still tried.
int LaunchApplicationList(const ApplicationList& list, int elapsedSeconds, int32_t* cursor);

// The command line an application gets: its path in quotes, then a blank and
// its arguments when there are any, so its own argv[1] is the first argument.
void BuildApplicationCommandLine(const wchar_t* path, const wchar_t* arguments, wchar_t* out,
                                 size_t outCount);

// "<Startup folder>\<program base name>.lnk"; false without a Startup folder.
bool GetStartupShortcutPath(wchar_t* path, size_t pathCount);
// Tests keep the shortcut in a folder of their own; null or empty is the
// user's Startup folder again.
void SetStartupFolderOverride(const wchar_t* folder);

// Writes (or replaces) the Startup shortcut to this executable, working folder
// its own folder, arguments "start:<profile>" in quotes. False when the
// shortcut could not be written.
bool CreateStartupShortcut(const wchar_t* profileName);
// Deletes the shortcut; a missing one is no error.
void RemoveStartupShortcut();
