#pragma once
#include <windows.h>

#include <cstdint>

#include "schedule_model.h"

// Dialog 181 "機能の有効/無効": switches off single side actions of the item due
// next, for the next run only.

inline constexpr int kFeatureSwitchCount = 6;
inline constexpr int kFirstFeatureCheckBox = 2000;

extern const ScheduleItem* switchesItem;
extern const ScheduleItem* switchesWakeItem;

// What each check box shows: enabled when its side action is configured,
// checked when enabled and its switch is 0.
struct FeatureSwitchView {
  bool enabled[kFeatureSwitchCount];
  bool checked[kFeatureSwitchCount];
  bool afterResumeGroupEnabled;
};
FeatureSwitchView ComputeFeatureSwitchView(const ScheduleItem* item, const ScheduleItem* wakeItem,
                                           const uint8_t* switches);
// OK: a switch is 1 exactly when its box is not checked.
void ApplyFeatureSwitchChecks(const bool* checked, uint8_t* switches);

INT_PTR CALLBACK FeatureSwitchDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Creates dialog 181 modeless without owner (featureDialog).
HWND OpenFeatureSwitchDialog();
