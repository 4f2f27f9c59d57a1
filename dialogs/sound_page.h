#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "schedule_model.h"
#include "sound_list_model.h"

class SoundPlayer;

// Page " サウンド" of the settings sheet: the sound each item plays with its
// lead time, and the profile's sound list with a preview. The list is edited
// in a copy and both reach the profile and the items only on OK.
INT_PTR CALLBACK SoundPageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
const DLGTEMPLATE* SoundPageTemplate();

inline constexpr int kSoundCombo = 1700;
inline constexpr int kSoundChoiceLabel = 1709;
inline constexpr int kSoundTimingLabel = 1711;
inline constexpr int kSoundTitleLabel = 1707;
inline constexpr int kSoundSecondsEdit = 1712;
inline constexpr int kSoundListEditButton = 1714;
inline constexpr int kSoundPlainSetButton = 1720;
inline constexpr int kSoundSplitSetButton = 1722;
inline constexpr int kSoundListViewId = 3012;
inline constexpr int kSoundPreviewButton = 1715;
inline constexpr int kSoundRemoveButton = 1716;
inline constexpr int kSoundPathEdit = 1713;
inline constexpr int kSoundBrowseButton = 1717;
inline constexpr int kSoundVolumeBar = 1721;
inline constexpr int kSoundVolumeLabel = 1706;
inline constexpr int kSoundAddButton = 1718;
inline constexpr int kSoundBackButton = 1719;
inline constexpr int kMaxSoundLead = 9999;

inline constexpr wchar_t kSoundListFull[] = L"これ以上追加できません。";
inline constexpr wchar_t kSoundFileMissing[] = L"ファイルが存在しません。";

// The page's copy of the profile's sound list, and its store on OK.
SoundListModel CopySoundList(const SoundList& stored);
void StoreSoundList(const SoundListModel& model, SoundList& stored);

// The sheet's sound choices of rows 0 to rowCount - 1, by number (0 none,
// n the sound at list position n - 1).
bool SoundNumberInUse(int rowCount, int32_t number);
// After the sound of that number left the list: its items have no sound and
// later numbers move down by one.
void ForgetSoundNumber(int rowCount, int32_t number);
// Gives every item of the kind (ActionMatchesKind) the sound and lead time.
void SetSoundForKind(int rowCount, int kind, int32_t number, int32_t lead);
// Writes the choices into the items' soundIndex and soundSeconds.
void StoreSoundChoices(int rowCount);

// "終了30秒前" for a power item, "復帰30秒後" for a WakeOnly item.
std::wstring SoundTimingText(bool wakeOnly, int32_t lead);
// The action list's sound cell.
std::wstring SoundCellText(bool wakeOnly, int32_t number, int32_t lead);

// The player the page previews with, or null; for tests that watch it.
SoundPlayer* SoundPagePreviewPlayer();
