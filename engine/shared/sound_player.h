#pragma once
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>
#include <wmp.h>

#include <cstdint>

// Plays one sound file at a time through the Windows Media Player control,
// hosted in a hidden child window, and tells the owner window by 0x8032 when
// the medium has ended. COM must be initialised (apartment) on the calling
// thread; every call and every event runs on that thread.

inline constexpr UINT kMsgSoundEnded = WM_APP + 0x32;
// Sent to the owner after the control failed on an open medium, which it has
// then closed; errorText says why.
inline constexpr UINT kMsgSoundFailed = WM_APP + 0x33;

class SoundPlayer;

// Event sink for the control: IWMPEvents when the control offers it, else the
// same events through the dispatch interface _WMPOCXEvents.
// COM interfaces have no virtual destructor; the object deletes itself in Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CWMPEventDispatch : public IWMPEvents, public _WMPOCXEvents {
 public:
  CWMPEventDispatch() = default;
  SoundPlayer* soundPlayer = nullptr;  // not counted: the player outlives its connection

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IWMPEvents
  void STDMETHODCALLTYPE OpenStateChange(LONG) override {}
  void STDMETHODCALLTYPE PlayStateChange(LONG state) override;
  void STDMETHODCALLTYPE AudioLanguageChange(LONG) override {}
  void STDMETHODCALLTYPE StatusChange() override;
  void STDMETHODCALLTYPE ScriptCommand(BSTR, BSTR) override {}
  void STDMETHODCALLTYPE NewStream() override {}
  void STDMETHODCALLTYPE Disconnect(LONG) override {}
  void STDMETHODCALLTYPE Buffering(VARIANT_BOOL) override {}
  void STDMETHODCALLTYPE Error() override;
  void STDMETHODCALLTYPE Warning(LONG, LONG, BSTR) override {}
  void STDMETHODCALLTYPE EndOfStream(LONG) override {}
  void STDMETHODCALLTYPE PositionChange(double, double) override {}
  void STDMETHODCALLTYPE MarkerHit(LONG) override {}
  void STDMETHODCALLTYPE DurationUnitChange(LONG) override {}
  void STDMETHODCALLTYPE CdromMediaChange(LONG) override {}
  void STDMETHODCALLTYPE PlaylistChange(IDispatch*, WMPPlaylistChangeEventType) override {}
  void STDMETHODCALLTYPE CurrentPlaylistChange(WMPPlaylistChangeEventType) override {}
  void STDMETHODCALLTYPE CurrentPlaylistItemAvailable(BSTR) override {}
  void STDMETHODCALLTYPE MediaChange(IDispatch*) override {}
  void STDMETHODCALLTYPE CurrentMediaItemAvailable(BSTR) override {}
  void STDMETHODCALLTYPE CurrentItemChange(IDispatch*) override {}
  void STDMETHODCALLTYPE MediaCollectionChange() override {}
  void STDMETHODCALLTYPE MediaCollectionAttributeStringAdded(BSTR, BSTR) override {}
  void STDMETHODCALLTYPE MediaCollectionAttributeStringRemoved(BSTR, BSTR) override {}
  void STDMETHODCALLTYPE MediaCollectionAttributeStringChanged(BSTR, BSTR, BSTR) override {}
  void STDMETHODCALLTYPE PlaylistCollectionChange() override {}
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistAdded(BSTR) override {}
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistRemoved(BSTR) override {}
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistSetAsDeleted(BSTR, VARIANT_BOOL) override {}
  void STDMETHODCALLTYPE ModeChange(BSTR, VARIANT_BOOL) override {}
  void STDMETHODCALLTYPE MediaError(IDispatch*) override {}
  void STDMETHODCALLTYPE OpenPlaylistSwitch(IDispatch*) override {}
  void STDMETHODCALLTYPE DomainChange(BSTR) override {}
  void STDMETHODCALLTYPE SwitchedToPlayerApplication() override {}
  void STDMETHODCALLTYPE SwitchedToControl() override {}
  void STDMETHODCALLTYPE PlayerDockedStateChange() override {}
  void STDMETHODCALLTYPE PlayerReconnect() override {}
  void STDMETHODCALLTYPE Click(short, short, LONG, LONG) override {}
  void STDMETHODCALLTYPE DoubleClick(short, short, LONG, LONG) override {}
  void STDMETHODCALLTYPE KeyDown(short, short) override {}
  void STDMETHODCALLTYPE KeyPress(short) override {}
  void STDMETHODCALLTYPE KeyUp(short, short) override {}
  void STDMETHODCALLTYPE MouseDown(short, short, LONG, LONG) override {}
  void STDMETHODCALLTYPE MouseMove(short, short, LONG, LONG) override {}
  void STDMETHODCALLTYPE MouseUp(short, short, LONG, LONG) override {}

  // IDispatch (for _WMPOCXEvents)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

  // Tells the player it is gone, so the player never writes to it again.
  virtual ~CWMPEventDispatch();

 private:
  LONG references_ = 0;
};

#pragma GCC diagnostic pop

class SoundPlayer {
 public:
  explicit SoundPlayer(HWND ownerWindow);
  ~SoundPlayer();
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // Builds the control in a hidden child window of `parent`; once, first.
  bool Create(HWND parent);
  bool ConnectEvents();
  bool Open(const wchar_t* path);
  bool Play();
  bool SetMute(bool mute);
  bool SetVolume(int volume);
  // Ends the medium. Where the control cannot close, it is stopped; either
  // way the player counts as closed afterwards.
  bool Close();

  // Called by the event sink.
  void OnPlayState(LONG state);
  void OnControlError();
  // Closes a medium the control failed on, once its event has returned.
  void CloseFailedMedium();

  IConnectionPoint* connectionPoint = nullptr;
  IWMPControls* controls = nullptr;
  IWMPSettings* settings = nullptr;
  DWORD adviseCookie = 0;
  HWND owner;
  IWMPPlayer* player = nullptr;
  BSTR errorText = nullptr;  // text of the last failure
  uint8_t playing = 0;
  uint8_t opened = 0;
  HWND hostWindow = nullptr;
  uint8_t endReported = 0;  // 0x8032 already sent for the medium now open
  uint32_t mediumSerial = 0;       // counts the media opened
  uint32_t failedMediumSerial = 0;  // the medium whose failure waits to be closed; 0 none
  // Not counted: the connection holds the sink; either side clears the link
  // when it goes first.
  CWMPEventDispatch* eventSink = nullptr;

 private:
  void ReleaseControl();
  void SetErrorText(const wchar_t* text);
  void SetErrorFromResult(HRESULT result);
};

// The calls that set the control's volume and mute, so tests can see them
// (the control under Wine has no mute). Null entries, or a null table, use
// the control itself.
struct SoundSettingsCalls {
  HRESULT (*putVolume)(IWMPSettings* settings, LONG volume);
  HRESULT (*putMute)(IWMPSettings* settings, VARIANT_BOOL mute);
};
void SetSoundSettingsCalls(const SoundSettingsCalls* calls);

// The Advise that connects the event sink, so tests can refuse it. Null, or a
// null entry, uses the connection point itself.
struct SoundConnectionCalls {
  HRESULT (*advise)(IConnectionPoint* point, IUnknown* sink, DWORD* cookie);
};
void SetSoundConnectionCalls(const SoundConnectionCalls* calls);

// The program's one player for the countdown's sounds and the mute flag that
// every new sound starts with.
extern SoundPlayer* sharedSoundPlayer;
extern uint8_t soundMuted;

// Plays a file on sharedSoundPlayer (created in its control first when
// createFirst), cutting off a sound still open. Failures go to the error log
// under "サウンド再生エラー"; nothing is shown. True when playing started.
bool PlaySoundFile(HWND owner, const wchar_t* path, bool createFirst, int volume);

// A player's calls as plain functions, for the countdowns' tables of side
// actions that tests replace.
SoundPlayer* NewSoundPlayer(HWND owner);
void DeleteSoundPlayer(SoundPlayer* player);
bool SoundPlayerHasMedium(const SoundPlayer* player);
bool SoundPlayerIsPlaying(const SoundPlayer* player);
void CloseSoundPlayerMedium(SoundPlayer* player);
void ApplySoundPlayerMute(SoundPlayer* player, bool muted);
