#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "profile_list.h"
#include "timer_profile.h"

// Dialog 136 "プロファイル": the countdown program's saved profiles with their
// mode and action; save, load, delete and the default profile that the
// program loads at start-up.
inline constexpr int kTimerProfileDialogId = 136;
inline constexpr int kTimerProfileListId = 3010;
inline constexpr int kTimerProfileListLabelId = 1603;
inline constexpr int kTimerProfileLoadedLabelId = 1602;
inline constexpr int kTimerProfileLoadButtonId = 1691;
inline constexpr int kTimerProfileDeleteButtonId = 1692;
inline constexpr int kTimerProfileNameLabelId = 1600;
inline constexpr int kTimerProfileNameEditId = 1680;
inline constexpr int kTimerProfileSaveButtonId = 1690;
inline constexpr int kTimerDefaultProfileLabelId = 1601;
inline constexpr int kTimerDefaultProfileComboId = 1685;
inline constexpr UINT_PTR kTimerLoadLabelTimerId = 1;

inline constexpr size_t kTimerProfileNameMaxLength = kTimerProfileNameChars - 1;

inline constexpr const wchar_t* kTimerNoDefaultProfileText = L"なし";
inline constexpr const wchar_t* kTimerEmptyNameText = L"プロファイル名を入力して下さい。";
inline constexpr const wchar_t* kTimerNameTooLongText = L"プロファイル名は31文字以内で入力して下さい。";
inline constexpr const wchar_t* kTimerOverwriteQuestionText = L"同じ名前のプロファイルがあります。上書きしますか？";
inline constexpr const wchar_t* kTimerDeleteFailedText = L"プロファイルを削除できませんでした。";

// The texts after the name in a file's row: the mode's and the action's
// display names, each empty when the stored value is out of range.
std::vector<std::wstring> TimerProfileRowTexts(const uint8_t* head, size_t size);
// How the dialog lists the profile folder: names of at most 31 characters, a
// row for each file holding at least the head.
extern const ProfileListRules timerProfileListRules;

// Modal over the settings dialog; 1 when a profile was loaded while it was
// open (the caller then applies it), else 0.
INT_PTR TimerRunProfileDialog(HWND settingsDialog);
INT_PTR CALLBACK TimerProfileDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
