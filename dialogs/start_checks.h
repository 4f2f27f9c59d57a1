#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "schedule_model.h"

// The checks the start button runs before a countdown begins, on the model
// handed in, so that tests can run them without the dialog.

// Leading entries of an OrderTable row that name a slot (0-19), up to the
// first -1; a value out of range from a foreign file ends the row too.
int RowLength(const OrderTable& order, int row);

struct ItemRef {
  int row;
  int slot;
};

// Items in schedule order: rows 0 to rows-1, each in OrderTable order.
std::vector<ItemRef> ScheduleWalk(int32_t mode, const OrderTable& order);

using FileExistsCall = bool (*)(const wchar_t* path);
bool FileExistsOnDisk(const wchar_t* path);  // PathFileExistsW

struct StartCheckResult {
  std::wstring refusal;  // empty when the blocking checks passed
  std::vector<std::wstring> missingApps;    // distinct, in schedule order
  std::vector<std::wstring> missingSounds;  // distinct, in schedule order
};

// Steps 1-5 of the start: items present, resume items, the last action
// still ahead (DateMode), missing applications and sounds. nowOle is the
// local time as an OLE date; standbyName the display name of Standby.
StartCheckResult CheckScheduleStart(int32_t mode, const ScheduleTable& table,
                                    const OrderTable& order, const ProfileSettings& settings,
                                    double nowOle, FileExistsCall exists,
                                    const wchar_t* standbyName);

inline constexpr const wchar_t* kMissingAppsFirstLine =
    L"アプリ起動で設定されている以下のファイルの存在が確認できませんでした。\n";
inline constexpr const wchar_t* kMissingSoundsFirstLine =
    L"サウンドで設定されている以下のファイルの存在が確認できませんでした。\n";
// At most this many paths are listed; the rest are counted, so that the
// question's buttons stay on the screen.
inline constexpr size_t kMissingPathsShown = 20;

// The Yes/No question for a list of missing files.
std::wstring MissingFilesQuestion(const wchar_t* firstLine, const std::vector<std::wstring>& paths);
