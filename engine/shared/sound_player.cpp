// The control's interface and class ids are defined here, once.
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>
#include <initguid.h>
#include <wmp.h>

#include "sound_player.h"

#include <errors.h>
#include <shlwapi.h>
#include <wmpids.h>

#include <cwchar>

#include "error_log.h"
#include "media_host.h"

SoundPlayer* sharedSoundPlayer = nullptr;
uint8_t soundMuted = 0;

namespace {

const wchar_t kSoundErrorTitle[] = L"サウンド再生エラー";

HRESULT RealPutVolume(IWMPSettings* settings, LONG volume) { return settings->put_volume(volume); }
HRESULT RealPutMute(IWMPSettings* settings, VARIANT_BOOL mute) { return settings->put_mute(mute); }

const SoundSettingsCalls* settingsCalls = nullptr;
const SoundConnectionCalls* connectionCalls = nullptr;

// The host window runs it; the player destroys that window before it goes.
void CloseFailedMediumOf(void* player) { static_cast<SoundPlayer*>(player)->CloseFailedMedium(); }

template <typename T>
void ReleaseAndClear(T*& pointer) {
  if (pointer) {
    pointer->Release();
    pointer = nullptr;
  }
}

}  // namespace

void SetSoundSettingsCalls(const SoundSettingsCalls* calls) { settingsCalls = calls; }
void SetSoundConnectionCalls(const SoundConnectionCalls* calls) { connectionCalls = calls; }

// ---- CWMPEventDispatch -----------------------------------------------------

HRESULT CWMPEventDispatch::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID__WMPOCXEvents || iid == IID_IDispatch || iid == IID_IUnknown)
    *out = static_cast<_WMPOCXEvents*>(this);
  else if (iid == IID_IWMPEvents)
    *out = static_cast<IWMPEvents*>(this);
  else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

CWMPEventDispatch::~CWMPEventDispatch() {
  if (soundPlayer && soundPlayer->eventSink == this) soundPlayer->eventSink = nullptr;
}

ULONG CWMPEventDispatch::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG CWMPEventDispatch::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

void CWMPEventDispatch::PlayStateChange(LONG state) {
  if (soundPlayer) soundPlayer->OnPlayState(state);
}

void CWMPEventDispatch::StatusChange() {
  if (!soundPlayer || !soundPlayer->player) return;
  // Some controls leave the state untouched instead of failing.
  WMPPlayState state = wmppsUndefined;
  if (SUCCEEDED(soundPlayer->player->get_playState(&state))) soundPlayer->OnPlayState(state);
}

void CWMPEventDispatch::Error() {
  if (soundPlayer) soundPlayer->OnControlError();
}

namespace {

// Argument n (0 = first) of an event; the block holds them last first.
VARIANT EventArgument(const DISPPARAMS* params, UINT n, VARTYPE type) {
  VARIANT value;
  VariantInit(&value);
  if (n < params->cArgs) {
    VARIANT* source = &params->rgvarg[params->cArgs - 1 - n];
    if (V_VT(source) == (type | VT_BYREF) || V_VT(source) == type) {
      VariantCopyInd(&value, source);
    } else if (FAILED(VariantChangeType(&value, source, 0, type))) {
      VariantInit(&value);
    }
  }
  if (V_VT(&value) != type) {
    VariantClear(&value);
    V_VT(&value) = type;
    V_I8(&value) = 0;  // zeroes the whole payload, whatever the type
  }
  return value;
}

struct EventArguments {
  const DISPPARAMS* params;
  VARIANT values[4];
  UINT used = 0;
  explicit EventArguments(const DISPPARAMS* p) : params(p) {}
  ~EventArguments() {
    for (UINT i = 0; i < used; ++i) VariantClear(&values[i]);
  }
  EventArguments(const EventArguments&) = delete;
  EventArguments& operator=(const EventArguments&) = delete;
  VARIANT& Take(VARTYPE type) {
    values[used] = EventArgument(params, used, type);
    return values[used++];
  }
  LONG Long() { return V_I4(&Take(VT_I4)); }
  short Short() { return V_I2(&Take(VT_I2)); }
  double Double() { return V_R8(&Take(VT_R8)); }
  BSTR Bstr() { return V_BSTR(&Take(VT_BSTR)); }
  VARIANT_BOOL Bool() { return V_BOOL(&Take(VT_BOOL)); }
  IDispatch* Dispatch() { return V_DISPATCH(&Take(VT_DISPATCH)); }
};

}  // namespace

HRESULT CWMPEventDispatch::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                  EXCEPINFO*, UINT*) {
  if (!params) return E_POINTER;
  if (params->cNamedArgs) return DISP_E_NONAMEDARGS;
  EventArguments a(params);
  switch (id) {
    case DISPID_WMPCOREEVENT_OPENSTATECHANGE: OpenStateChange(a.Long()); break;
    case DISPID_WMPCOREEVENT_PLAYSTATECHANGE: PlayStateChange(a.Long()); break;
    case DISPID_WMPCOREEVENT_AUDIOLANGUAGECHANGE: AudioLanguageChange(a.Long()); break;
    case DISPID_WMPCOREEVENT_STATUSCHANGE: StatusChange(); break;
    case DISPID_WMPCOREEVENT_SCRIPTCOMMAND: { BSTR t = a.Bstr(); ScriptCommand(t, a.Bstr()); break; }
    case DISPID_WMPCOREEVENT_NEWSTREAM: NewStream(); break;
    case DISPID_WMPCOREEVENT_DISCONNECT: Disconnect(a.Long()); break;
    case DISPID_WMPCOREEVENT_BUFFERING: Buffering(a.Bool()); break;
    case DISPID_WMPCOREEVENT_ERROR: Error(); break;
    case DISPID_WMPCOREEVENT_WARNING: {
      const LONG w = a.Long();
      const LONG p = a.Long();
      Warning(w, p, a.Bstr());
      break;
    }
    case DISPID_WMPCOREEVENT_ENDOFSTREAM: EndOfStream(a.Long()); break;
    case DISPID_WMPCOREEVENT_POSITIONCHANGE: { const double o = a.Double(); PositionChange(o, a.Double()); break; }
    case DISPID_WMPCOREEVENT_MARKERHIT: MarkerHit(a.Long()); break;
    case DISPID_WMPCOREEVENT_DURATIONUNITCHANGE: DurationUnitChange(a.Long()); break;
    case DISPID_WMPCOREEVENT_CDROMMEDIACHANGE: CdromMediaChange(a.Long()); break;
    case DISPID_WMPCOREEVENT_PLAYLISTCHANGE: {
      IDispatch* list = a.Dispatch();
      PlaylistChange(list, static_cast<WMPPlaylistChangeEventType>(a.Long()));
      break;
    }
    case DISPID_WMPCOREEVENT_CURRENTPLAYLISTCHANGE:
      CurrentPlaylistChange(static_cast<WMPPlaylistChangeEventType>(a.Long()));
      break;
    case DISPID_WMPCOREEVENT_CURRENTPLAYLISTITEMAVAILABLE: CurrentPlaylistItemAvailable(a.Bstr()); break;
    case DISPID_WMPCOREEVENT_MEDIACHANGE: MediaChange(a.Dispatch()); break;
    case DISPID_WMPCOREEVENT_CURRENTMEDIAITEMAVAILABLE: CurrentMediaItemAvailable(a.Bstr()); break;
    case DISPID_WMPCOREEVENT_CURRENTITEMCHANGE: CurrentItemChange(a.Dispatch()); break;
    case DISPID_WMPCOREEVENT_MEDIACOLLECTIONCHANGE: MediaCollectionChange(); break;
    case DISPID_WMPCOREEVENT_MEDIACOLLECTIONATTRIBUTESTRINGADDED: {
      BSTR n = a.Bstr();
      MediaCollectionAttributeStringAdded(n, a.Bstr());
      break;
    }
    case DISPID_WMPCOREEVENT_MEDIACOLLECTIONATTRIBUTESTRINGREMOVED: {
      BSTR n = a.Bstr();
      MediaCollectionAttributeStringRemoved(n, a.Bstr());
      break;
    }
    case DISPID_WMPCOREEVENT_MEDIACOLLECTIONATTRIBUTESTRINGCHANGED: {
      BSTR n = a.Bstr();
      BSTR o = a.Bstr();
      MediaCollectionAttributeStringChanged(n, o, a.Bstr());
      break;
    }
    case DISPID_WMPCOREEVENT_PLAYLISTCOLLECTIONCHANGE: PlaylistCollectionChange(); break;
    case DISPID_WMPCOREEVENT_PLAYLISTCOLLECTIONPLAYLISTADDED: PlaylistCollectionPlaylistAdded(a.Bstr()); break;
    case DISPID_WMPCOREEVENT_PLAYLISTCOLLECTIONPLAYLISTREMOVED: PlaylistCollectionPlaylistRemoved(a.Bstr()); break;
    case DISPID_WMPCOREEVENT_PLAYLISTCOLLECTIONPLAYLISTSETASDELETED: {
      BSTR n = a.Bstr();
      PlaylistCollectionPlaylistSetAsDeleted(n, a.Bool());
      break;
    }
    case DISPID_WMPCOREEVENT_MODECHANGE: { BSTR n = a.Bstr(); ModeChange(n, a.Bool()); break; }
    case DISPID_WMPCOREEVENT_MEDIAERROR: MediaError(a.Dispatch()); break;
    case DISPID_WMPCOREEVENT_OPENPLAYLISTSWITCH: OpenPlaylistSwitch(a.Dispatch()); break;
    case DISPID_WMPCOREEVENT_DOMAINCHANGE: DomainChange(a.Bstr()); break;
    case DISPID_WMPOCXEVENT_SWITCHEDTOPLAYERAPPLICATION: SwitchedToPlayerApplication(); break;
    case DISPID_WMPOCXEVENT_SWITCHEDTOCONTROL: SwitchedToControl(); break;
    case DISPID_WMPOCXEVENT_PLAYERDOCKEDSTATECHANGE: PlayerDockedStateChange(); break;
    case DISPID_WMPOCXEVENT_PLAYERRECONNECT: PlayerReconnect(); break;
    case DISPID_WMPOCXEVENT_CLICK:
    case DISPID_WMPOCXEVENT_DOUBLECLICK:
    case DISPID_WMPOCXEVENT_MOUSEDOWN:
    case DISPID_WMPOCXEVENT_MOUSEMOVE:
    case DISPID_WMPOCXEVENT_MOUSEUP: {
      const short button = a.Short();
      const short shift = a.Short();
      const LONG x = a.Long();
      const LONG y = a.Long();
      if (id == DISPID_WMPOCXEVENT_CLICK) Click(button, shift, x, y);
      else if (id == DISPID_WMPOCXEVENT_DOUBLECLICK) DoubleClick(button, shift, x, y);
      else if (id == DISPID_WMPOCXEVENT_MOUSEDOWN) MouseDown(button, shift, x, y);
      else if (id == DISPID_WMPOCXEVENT_MOUSEMOVE) MouseMove(button, shift, x, y);
      else MouseUp(button, shift, x, y);
      break;
    }
    case DISPID_WMPOCXEVENT_KEYDOWN: { const short k = a.Short(); KeyDown(k, a.Short()); break; }
    case DISPID_WMPOCXEVENT_KEYPRESS: KeyPress(a.Short()); break;
    case DISPID_WMPOCXEVENT_KEYUP: { const short k = a.Short(); KeyUp(k, a.Short()); break; }
    default: break;
  }
  return DISP_E_MEMBERNOTFOUND;
}

// ---- SoundPlayer -----------------------------------------------------------

SoundPlayer::SoundPlayer(HWND ownerWindow) : owner(ownerWindow) {}

SoundPlayer::~SoundPlayer() {
  SysFreeString(errorText);
  errorText = nullptr;
  ReleaseControl();
  if (hostWindow && IsWindow(hostWindow)) DestroyWindow(hostWindow);
}

void SoundPlayer::ReleaseControl() {
  // The control may still hold the sink: it must never reach this player again.
  if (eventSink) eventSink->soundPlayer = nullptr;
  eventSink = nullptr;
  if (connectionPoint) {
    if (adviseCookie) connectionPoint->Unadvise(adviseCookie);
    adviseCookie = 0;
    ReleaseAndClear(connectionPoint);
  }
  ReleaseAndClear(controls);
  ReleaseAndClear(settings);
  if (player) {
    if (opened == 1) player->close();
    ReleaseAndClear(player);
  }
  opened = playing = 0;
}

void SoundPlayer::SetErrorText(const wchar_t* text) {
  SysFreeString(errorText);
  errorText = SysAllocString(text);
}

void SoundPlayer::SetErrorFromResult(HRESULT result) {
  wchar_t text[160] = L"";
  if (AMGetErrorTextW(result, text, 160) > 0 && text[0]) {
    SetErrorText(text);
    return;
  }
  // Never leave a failure without a text: the system's, else the code itself.
  wchar_t* system = FetchSystemErrorText(static_cast<DWORD>(result));
  if (system) {
    SetErrorText(system);
    LocalFree(system);
  } else {
    swprintf(text, 160, L"エラー 0x%08lX", static_cast<unsigned long>(result));
    SetErrorText(text);
  }
}

bool SoundPlayer::Create(HWND parent) {
  if (player && controls && settings) return true;  // never a second control
  ReleaseControl();  // what a failed first call left behind
  if (hostWindow && IsWindow(hostWindow)) DestroyWindow(hostWindow);
  hostWindow = CreateMediaHostWindow(parent);
  if (!hostWindow) {
    SetErrorText(L"ウィンドウの生成に失敗しました。#1");
    return false;
  }
  IUnknown* control = nullptr;
  HRESULT hr = CreateHostedControl(hostWindow, CLSID_WindowsMediaPlayer, &control);
  if (FAILED(hr)) {
    SetErrorFromResult(hr);
    return false;
  }
  hr = control->QueryInterface(IID_IWMPPlayer, reinterpret_cast<void**>(&player));
  control->Release();
  if (FAILED(hr)) {
    player = nullptr;
    SetErrorFromResult(hr);
    return false;
  }
  // Without the sink the end of a medium is never reported, and whoever
  // waits for it would wait forever: that is a failure.
  if (!ConnectEvents()) {
    ReleaseControl();
    return false;
  }
  if (FAILED(hr = player->get_controls(&controls)) || FAILED(hr = player->get_settings(&settings))) {
    SetErrorFromResult(hr);
    ReleaseControl();
    return false;
  }
  settings->put_enableErrorDialogs(VARIANT_FALSE);
  // Play starts the sound, after its volume and mute are set.
  settings->put_autoStart(VARIANT_FALSE);
  return true;
}

bool SoundPlayer::ConnectEvents() {
  if (!player || connectionPoint) {
    SetErrorFromResult(E_INVALIDARG);
    return false;
  }
  CWMPEventDispatch* sink = new CWMPEventDispatch;
  sink->soundPlayer = this;
  sink->AddRef();
  eventSink = sink;
  IConnectionPointContainer* container = nullptr;
  HRESULT hr = player->QueryInterface(IID_IConnectionPointContainer,
                                      reinterpret_cast<void**>(&container));
  if (SUCCEEDED(hr)) {
    hr = container->FindConnectionPoint(IID_IWMPEvents, &connectionPoint);
    if (FAILED(hr)) {
      connectionPoint = nullptr;
      hr = container->FindConnectionPoint(IID__WMPOCXEvents, &connectionPoint);
    }
    if (FAILED(hr)) connectionPoint = nullptr;
  }
  if (SUCCEEDED(hr)) {
    IUnknown* events = static_cast<IWMPEvents*>(sink);
    hr = connectionCalls && connectionCalls->advise ? connectionCalls->advise(connectionPoint, events, &adviseCookie)
                                                    : connectionPoint->Advise(events, &adviseCookie);
    if (FAILED(hr)) adviseCookie = 0;
  }
  if (FAILED(hr)) {
    SetErrorFromResult(hr);
    sink->soundPlayer = nullptr;
    eventSink = nullptr;
  }
  ReleaseAndClear(container);
  sink->Release();
  return SUCCEEDED(hr);
}

bool SoundPlayer::Open(const wchar_t* path) {
  if (!player) {
    SetErrorFromResult(E_INVALIDARG);
    return false;
  }
  // The control accepts a missing file and then fails inside play.
  if (!PathIsURLW(path) && !PathFileExistsW(path)) {
    SetErrorFromResult(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    return false;
  }
  BSTR url = SysAllocString(path);
  const HRESULT hr = player->put_URL(url);
  SysFreeString(url);
  if (FAILED(hr)) {
    SetErrorFromResult(hr);
    return false;
  }
  opened = 1;
  endReported = 0;
  ++mediumSerial;
  return true;
}

bool SoundPlayer::Play() {
  // Playing without an open medium crashes some controls.
  if (!player || !controls || opened != 1) {
    SetErrorFromResult(E_INVALIDARG);
    return false;
  }
  playing = 1;
  const HRESULT hr = controls->play();
  if (FAILED(hr)) {
    SetErrorFromResult(hr);
    return false;
  }
  return true;
}

bool SoundPlayer::SetMute(bool mute) {
  if (!settings) {
    SetErrorFromResult(E_INVALIDARG);
    return false;
  }
  const VARIANT_BOOL value = mute ? VARIANT_TRUE : VARIANT_FALSE;
  const HRESULT hr = settingsCalls && settingsCalls->putMute ? settingsCalls->putMute(settings, value)
                                                             : RealPutMute(settings, value);
  if (FAILED(hr)) {
    SetErrorFromResult(hr);
    return false;
  }
  return true;
}

bool SoundPlayer::SetVolume(int volume) {
  if (!settings) {
    SetErrorFromResult(E_INVALIDARG);
    return false;
  }
  const HRESULT hr = settingsCalls && settingsCalls->putVolume
                         ? settingsCalls->putVolume(settings, volume)
                         : RealPutVolume(settings, volume);
  if (FAILED(hr)) {
    SetErrorFromResult(hr);
    return false;
  }
  return true;
}

bool SoundPlayer::Close() {
  if (!player) {
    SetErrorFromResult(E_INVALIDARG);
    return false;
  }
  HRESULT hr = player->close();
  // A control that cannot close can still stop; the medium is over either way.
  if (FAILED(hr) && controls && SUCCEEDED(controls->stop())) hr = S_OK;
  if (FAILED(hr)) SetErrorFromResult(hr);
  playing = 0;
  opened = 0;
  return SUCCEEDED(hr);
}

void SoundPlayer::OnPlayState(LONG state) {
  if (state != wmppsMediaEnded || !owner || endReported) return;
  endReported = 1;
  SendMessageW(owner, kMsgSoundEnded, 0, 0);
}

void SoundPlayer::OnControlError() {
  SetErrorText(L"");
  bool described = false;
  IWMPError* queue = nullptr;
  IWMPErrorItem* item = nullptr;
  LONG count = 0;
  // A control may answer without a queue.
  if (player && SUCCEEDED(player->get_Error(&queue)) && queue &&
      SUCCEEDED(queue->get_errorCount(&count))) {
    if (count <= 0) {
      described = true;
    } else if (SUCCEEDED(queue->get_Item(0, &item)) && item) {
      BSTR description = nullptr;
      if (SUCCEEDED(item->get_errorDescription(&description))) {
        SysFreeString(errorText);
        errorText = description ? description : SysAllocString(L"");
        described = true;
      }
    }
  }
  ReleaseAndClear(item);
  ReleaseAndClear(queue);
  if (!described || !errorText || !errorText[0]) SetErrorText(L"エラー情報の取得に失敗。");
  // The medium will never end by itself: record why and close it, but not
  // inside the control's own event, which still works on that medium.
  AppendErrorLog(errorText, kSoundErrorTitle);
  if (!opened || failedMediumSerial == mediumSerial) return;
  failedMediumSerial = mediumSerial;
  if (!PostHostCall(hostWindow, CloseFailedMediumOf, this)) CloseFailedMedium();
}

void SoundPlayer::CloseFailedMedium() {
  const bool sameMedium = failedMediumSerial == mediumSerial;
  failedMediumSerial = 0;
  // A medium opened since the failure is not the failed one.
  if (!sameMedium || !opened) return;
  Close();
  // Posted: the owner may show the failure, which must not run inside the
  // control's own event.
  if (owner) PostMessageW(owner, kMsgSoundFailed, 0, 0);
}

// ---- PlaySoundFile -----------------------------------------------------------

bool PlaySoundFile(HWND owner, const wchar_t* path, bool createFirst, int volume) {
  if (!PathFileExistsW(path)) {
    wchar_t text[MAX_PATH + 32];
    swprintf(text, sizeof text / sizeof text[0], L"%ls\n%ls", L"ファイルが存在しません。", path);
    AppendErrorLog(text, kSoundErrorTitle);
    return false;
  }
  SoundPlayer* soundPlayer = sharedSoundPlayer;
  if (!soundPlayer) {
    AppendErrorLog(L"サウンドプレーヤーがありません。", kSoundErrorTitle);
    return false;
  }
  // A player whose first sound failed before its control was built builds it now.
  bool ok = (!createFirst && soundPlayer->player) || soundPlayer->Create(owner);
  if (ok) {
    if (soundPlayer->opened == 1) soundPlayer->Close();
    ok = soundPlayer->Open(path);
  }
  if (ok) {
    soundPlayer->SetVolume(volume);
    soundPlayer->SetMute(soundMuted != 0);
    ok = soundPlayer->Play();
  }
  if (!ok) {
    AppendErrorLog(soundPlayer->errorText ? soundPlayer->errorText : L"", kSoundErrorTitle);
    if (soundPlayer->player) soundPlayer->Close();
  }
  return ok;
}

SoundPlayer* NewSoundPlayer(HWND owner) { return new SoundPlayer(owner); }
void DeleteSoundPlayer(SoundPlayer* player) { delete player; }
bool SoundPlayerHasMedium(const SoundPlayer* player) { return player->opened != 0; }
bool SoundPlayerIsPlaying(const SoundPlayer* player) { return player->playing != 0; }
void CloseSoundPlayerMedium(SoundPlayer* player) { player->Close(); }
void ApplySoundPlayerMute(SoundPlayer* player, bool muted) { player->SetMute(muted); }
