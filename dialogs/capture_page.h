#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "schedule_model.h"

// Page "キャプチャー" of the settings sheet: which items capture the screen
// before their action, and the profile's image format and folder.
INT_PTR CALLBACK CapturePageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
const DLGTEMPLATE* CapturePageTemplate();

inline constexpr wchar_t kCaptureFolderTooLong[] = L"イメージ保存先のパスが長すぎます。";
inline constexpr wchar_t kCaptureFolderTooShort[] = L"イメージ保存先のパスが短すぎます。";

// The message that refuses a folder text of `length` characters, or null.
// captureFolder holds 219 characters, so a longer text is always refused;
// a capturing item needs a folder of at least 4 characters.
const wchar_t* CaptureFolderRefusal(size_t length, bool anyItemCaptures);

// Sets the working flag of every listed item of rows 0 to rowCount - 1 whose
// action matches the kind (ActionMatchesKind); returns how many changed.
int SetCaptureForKind(uint8_t (&working)[kRowCount][kSlotCount], const ScheduleTable& table,
                      const OrderTable& order, int rowCount, int kind, uint8_t flag);
