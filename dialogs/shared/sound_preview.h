#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

class SoundPlayer;

// The preview of both programs' sound pages: one player, made on the first
// preview with the page as its owner and kept until the page goes.
struct SoundPreview {
  SoundPlayer* player;
};

// Posted by the page to itself when the medium has ended: the control cannot
// be closed from inside its own event.
inline constexpr UINT kMsgClosePreviewLater = WM_APP + 0x40;

bool SoundPreviewPlaying(const SoundPreview& preview);
// Plays the file at the volume. Returns the error text to show, or an empty
// text when it plays; after a failure nothing is left open.
std::wstring StartSoundPreview(SoundPreview& preview, HWND page, const wchar_t* path, int32_t volume);
void StopSoundPreview(SoundPreview& preview);
// Stops and destroys the player, for the page's WM_DESTROY.
void EndSoundPreview(SoundPreview& preview);
// The text of a player's failure; where the player gives none, the result's.
std::wstring PlayerFailureText(const SoundPlayer& player, HRESULT fallback);

// What the page procedure does with the player's messages: the end of the
// medium posts kMsgClosePreviewLater; that one stops the preview (Closed); a
// failure of the control stops it and gives its text (Failed).
enum class PreviewEvent { None, Waiting, Closed, Failed };
PreviewEvent OnSoundPreviewMessage(SoundPreview& preview, HWND page, UINT message, std::wstring* failure);
