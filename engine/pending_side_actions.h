#pragma once
#include <windows.h>

#include <cstdint>

#include "action_names.h"
#include "main_window_state.h"
#include "schedule_model.h"

// What the countdown and the executor call in the side actions, the mail jobs
// and the count window's painter. pending_side_actions.cpp does the least for
// the mail jobs until the real ones are linked in their place.


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

// --- Sound, applications, capture -------------------------------------------
// The countdown and the executor reach the side actions through this table, so
// that tests can record them instead; the program uses the real ones.
class SoundPlayer;
extern SoundPlayer* sharedSoundPlayer;
struct CountdownSideActions {
  SoundPlayer* (*createPlayer)(HWND owner);
  void (*destroyPlayer)(SoundPlayer* player);
  bool (*playerHasMedium)(const SoundPlayer* player);
  bool (*playerIsPlaying)(const SoundPlayer* player);
  void (*closePlayerMedium)(SoundPlayer* player);
  void (*applyPlayerMute)(SoundPlayer* player, bool muted);
  // PlaySoundFile: plays on sharedSoundPlayer, built in its control first when createFirst.
  bool (*playSoundFile)(HWND owner, const wchar_t* path, bool createFirst, int volume);
  // LaunchApplication: the due applications of that item; 0 when none is left.
  int (*launchApplication)(int row, int position, int elapsedSeconds);
  bool (*makeCaptureFileName)(const wchar_t* actionDisplayName, wchar_t* path, const wchar_t* folder,
                              int32_t format);
  bool (*captureScreen)(const wchar_t* path, int32_t format);
  // PaintCountWindow: the current form's painter for the count window, which
  // then moves the countdown dialog onto it.
  void (*paintCountWindow)(const wchar_t* label, const wchar_t* countdown);
};
const CountdownSideActions& SideActions();
// Replaces the table; null restores the real side actions. Tests only.
void SetCountdownSideActions(const CountdownSideActions* actions);
