#include "sound_preview.h"

#include <shlwapi.h>

#include <cwchar>

#include "shared/error_log.h"
#include "shared/sound_player.h"

bool SoundPreviewPlaying(const SoundPreview& preview) { return preview.player && preview.player->opened; }

std::wstring PlayerFailureText(const SoundPlayer& player, HRESULT fallback) {
  if (player.errorText && player.errorText[0]) return player.errorText;
  wchar_t* system = FetchSystemErrorText(static_cast<DWORD>(fallback));
  std::wstring text;
  if (system) {
    text = system;
    LocalFree(system);
  }
  if (text.empty()) {
    wchar_t code[32];
    swprintf(code, 32, L"エラー 0x%08lX", static_cast<unsigned long>(fallback));
    text = code;
  }
  return text;
}

std::wstring StartSoundPreview(SoundPreview& preview, HWND page, const wchar_t* path, int32_t volume) {
  if (!preview.player) preview.player = new SoundPlayer(page);
  SoundPlayer& player = *preview.player;
  if (!PathFileExistsW(path)) return std::wstring(L"ファイルが存在しません。\n") + path;
  if (!player.Create(page)) return PlayerFailureText(player, E_FAIL);
  if (player.opened) player.Close();
  if (!player.Open(path) || !player.SetVolume(volume) || !player.Play()) {
    const std::wstring error = PlayerFailureText(player, E_FAIL);
    if (player.player) player.Close();
    return error;
  }
  return L"";
}

void StopSoundPreview(SoundPreview& preview) {
  if (SoundPreviewPlaying(preview)) preview.player->Close();
}

void EndSoundPreview(SoundPreview& preview) {
  StopSoundPreview(preview);
  delete preview.player;
  preview.player = nullptr;
}

PreviewEvent OnSoundPreviewMessage(SoundPreview& preview, HWND page, UINT message, std::wstring* failure) {
  switch (message) {
    case kMsgSoundEnded:
      PostMessageW(page, kMsgClosePreviewLater, 0, 0);
      return PreviewEvent::Waiting;
    case kMsgClosePreviewLater:
      StopSoundPreview(preview);
      return PreviewEvent::Closed;
    case kMsgSoundFailed:
      if (!preview.player) return PreviewEvent::Waiting;
      *failure = PlayerFailureText(*preview.player, E_FAIL);
      StopSoundPreview(preview);
      return PreviewEvent::Failed;
    default:
      return PreviewEvent::None;
  }
}
