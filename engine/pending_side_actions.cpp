#include "pending_side_actions.h"

#include "private_messages.h"


HWND mailProgressDialog;
SoundPlayer* sharedSoundPlayer;

// No mail goes out; the owner still gets its completion.
unsigned __stdcall MailSendThreadProc(void* param) {
  MailJob* job = static_cast<MailJob*>(param);
  PostMessageW(job->owner, kMsgMailDone, static_cast<WPARAM>(job->closeMode), 0);
  return 0;
}

INT_PTR RunMailProgressDialog(MailJob*) { return 1; }
HWND CreateMailProgressDialog(MailJob*) { return nullptr; }

SoundPlayer* CreateSoundPlayer(HWND) { return nullptr; }
void DestroySoundPlayer(SoundPlayer*) {}
bool SoundPlayerHasMedium(const SoundPlayer*) { return false; }
bool SoundPlayerIsPlaying(const SoundPlayer*) { return false; }
void CloseSoundPlayerMedium(SoundPlayer*) {}
void ApplySoundPlayerMute(SoundPlayer*, bool) {}
bool PlaySoundFile(HWND, const wchar_t*, int32_t, bool) { return false; }

bool LaunchApplication(int32_t, int32_t, int32_t) { return false; }

void MakeCaptureFileName(wchar_t* path, size_t pathCount, const wchar_t*, const wchar_t*, int32_t) {
  if (pathCount) path[0] = L'\0';
}
bool CaptureScreen(const wchar_t*, int32_t) { return true; }

int32_t CurrentCountWindowForm() { return 0; }
COLORREF CountWindowTextColor() { return RGB(0, 0, 0); }
SIZE CountWindowSkinSize() { return SIZE{121, 44}; }
void PaintCountWindowBuiltin(HWND, const wchar_t*, const wchar_t*) {}
void PaintCountWindowSkin(HWND, const wchar_t*, const wchar_t*) {}
