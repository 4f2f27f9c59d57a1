#pragma once
#include <windows.h>

#include <cstdint>

#include "action_names.h"
#include "main_window_state.h"
#include "schedule_model.h"

// What the countdown and the executor call in the side actions, the mail jobs
// and the count window. pending_side_actions.cpp does the least for each until
// the real pieces are linked in their place.


// --- Mail jobs --------------------------------------------------------------
struct MailSession;

// What a mail worker thread gets; it lives with its owner, not with the thread.
struct MailJob {
  HWND owner;            // receives 0x8005 (sent) and 0x8007 (posted)
  int32_t closeMode;     // 0: progress dialog modal, 1: modeless
  MailSession* session;  // set by the worker while its session lives
  ScheduleItem* item;
  HANDLE thread;
  int32_t afterResume;   // 0: texts before the action, 1: after the resume
};

// Thread procedure of a scheduled mail (started with _beginthreadex).
unsigned __stdcall MailSendThreadProc(void* job);
// Dialog 148 "メール送信": modal before the action, modeless after the resume.
INT_PTR RunMailProgressDialog(MailJob* job);
HWND CreateMailProgressDialog(MailJob* job);
// Dialog 148 while it is open, else null.
extern HWND mailProgressDialog;

// --- Sound player ------------------------------------------------------------
struct SoundPlayer;
extern SoundPlayer* sharedSoundPlayer;

SoundPlayer* CreateSoundPlayer(HWND owner);
void DestroySoundPlayer(SoundPlayer* player);
bool SoundPlayerHasMedium(const SoundPlayer* player);
bool SoundPlayerIsPlaying(const SoundPlayer* player);
void CloseSoundPlayerMedium(SoundPlayer* player);
void ApplySoundPlayerMute(SoundPlayer* player, bool muted);
// Plays one sound of the list through sharedSoundPlayer; createdNow tells that
// the player was created for this call.
bool PlaySoundFile(HWND owner, const wchar_t* path, int32_t volume, bool createdNow);

// --- Applications and capture ------------------------------------------------
// Starts the after-resume applications of the item that are due at
// elapsedSeconds, advancing appLaunchCursor; false when none is left.
bool LaunchApplication(int32_t row, int32_t pos, int32_t elapsedSeconds);

void MakeCaptureFileName(wchar_t* path, size_t pathCount, const wchar_t* actionName,
                         const wchar_t* folder, int32_t format);
bool CaptureScreen(const wchar_t* path, int32_t format);

// --- Count window --------------------------------------------------------------
inline constexpr int kCountFormSkinned = 2;
int32_t CurrentCountWindowForm();
COLORREF CountWindowTextColor();
SIZE CountWindowSkinSize();
void PaintCountWindowBuiltin(HWND window, const wchar_t* countdownText, const wchar_t* label);
void PaintCountWindowSkin(HWND window, const wchar_t* countdownText, const wchar_t* label);
