#include <windows.h>
#include <objbase.h>
#include <errors.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message_box_catcher.h"
#include "shared/sound_player.h"
#include "temp_folder.h"
#include "wait.h"
#include "wav_fixture.h"

namespace {

using testing_support::CaughtMessageBoxes;
using testing_support::PumpMessagesUntil;
using testing_support::ReadBytes;
using testing_support::TempFolderTest;
using testing_support::WriteBytes;
using testing_support::MakeWav;

int endedMessages = 0;
int failedMessages = 0;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgSoundEnded) {
    ++endedMessages;
    return 0;
  }
  if (message == kMsgSoundFailed) {
    ++failedMessages;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring ErrorLogText() {
  const std::string bytes = ReadBytes(L"Scheduler_error.txt");
  if (bytes.size() < 2) return L"";
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
}

size_t CountOf(const std::wstring& text, const std::wstring& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// What the player asked of the volume and mute calls.
std::vector<LONG> volumes;
std::vector<VARIANT_BOOL> mutes;
HRESULT RecordVolume(IWMPSettings* settings, LONG volume) {
  volumes.push_back(volume);
  return settings->put_volume(volume);
}
HRESULT RecordMute(IWMPSettings*, VARIANT_BOOL mute) {
  mutes.push_back(mute);
  return S_OK;
}
const SoundSettingsCalls kRecorder{RecordVolume, RecordMute};

class SoundPlayerTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SoundOwner";
    RegisterClassW(&wc);
    owner_ = CreateWindowExW(0, L"SoundOwner", nullptr, WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(owner_);
    endedMessages = 0;
    failedMessages = 0;
    volumes.clear();
    mutes.clear();
    soundMuted = 0;
  }
  void TearDown() override {
    SetSoundSettingsCalls(nullptr);
    SetSoundConnectionCalls(nullptr);
    delete sharedSoundPlayer;
    sharedSoundPlayer = nullptr;
    soundMuted = 0;
    if (owner_) DestroyWindow(owner_);
    CoUninitialize();
    TempFolderTest::TearDown();
  }

  std::wstring Fixture(const std::wstring& name, const std::string& bytes) {
    const std::wstring path = temp_.Path(name);
    EXPECT_TRUE(WriteBytes(path, bytes));
    return path;
  }

  HWND owner_ = nullptr;
};

TEST_F(SoundPlayerTest, PlaysToTheEndAndTellsTheOwnerOnce) {
  const std::wstring wav = Fixture(L"tone.wav", MakeWav(300));
  sharedSoundPlayer = new SoundPlayer(owner_);
  ASSERT_TRUE(PlaySoundFile(owner_, wav.c_str(), true, 50));
  EXPECT_EQ(1, sharedSoundPlayer->opened);
  EXPECT_EQ(1, sharedSoundPlayer->playing);
  PumpMessagesUntil([] { return endedMessages > 0; });
  EXPECT_EQ(1, endedMessages);
  // Later events of the same medium say nothing more (they follow the end
  // within moments; a second message would come within this second).
  PumpMessagesUntil([] { return endedMessages > 1; }, 1000);
  EXPECT_EQ(1, endedMessages);
  EXPECT_TRUE(sharedSoundPlayer->Close());
  EXPECT_EQ(0, sharedSoundPlayer->opened);
  EXPECT_EQ(0, sharedSoundPlayer->playing);
  EXPECT_EQ(L"", ErrorLogText());
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(SoundPlayerTest, SecondSoundCutsOffTheFirst) {
  const std::wstring longWav = Fixture(L"long.wav", MakeWav(5000));
  const std::wstring shortWav = Fixture(L"short.wav", MakeWav(200));
  sharedSoundPlayer = new SoundPlayer(owner_);
  ASSERT_TRUE(PlaySoundFile(owner_, longWav.c_str(), true, 50));
  ASSERT_TRUE(PlaySoundFile(owner_, shortWav.c_str(), false, 50));
  EXPECT_EQ(1, sharedSoundPlayer->opened);
  PumpMessagesUntil([] { return endedMessages > 0; });
  EXPECT_EQ(1, endedMessages);
  BSTR url = nullptr;
  ASSERT_TRUE(SUCCEEDED(sharedSoundPlayer->player->get_URL(&url)));
  EXPECT_NE(nullptr, wcsstr(url, L"short.wav"));
  SysFreeString(url);
}

TEST_F(SoundPlayerTest, MissingFileIsLoggedAndNothingPlays) {
  sharedSoundPlayer = new SoundPlayer(owner_);
  const std::wstring gone = temp_.Path(L"gone.wav");
  EXPECT_FALSE(PlaySoundFile(owner_, gone.c_str(), true, 50));
  const std::wstring log = ErrorLogText();
  EXPECT_EQ(1u, CountOf(log, L"■サウンド再生エラー"));
  EXPECT_NE(std::wstring::npos, log.find(L"ファイルが存在しません。\r\n" + gone));
  // Not even created: the file was checked first.
  EXPECT_EQ(nullptr, sharedSoundPlayer->player);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(SoundPlayerTest, AMissingFirstSoundDoesNotSilenceTheNextOne) {
  const std::wstring wav = Fixture(L"tone.wav", MakeWav(200));
  sharedSoundPlayer = new SoundPlayer(owner_);
  EXPECT_FALSE(PlaySoundFile(owner_, temp_.Path(L"gone.wav").c_str(), true, 50));
  // The next call did not create the player, yet it must still play.
  ASSERT_TRUE(PlaySoundFile(owner_, wav.c_str(), false, 50));
  EXPECT_EQ(1, sharedSoundPlayer->playing);
  EXPECT_EQ(1u, CountOf(ErrorLogText(), L"■サウンド再生エラー"));
}

TEST_F(SoundPlayerTest, UnplayableFileIsLoggedWithoutACrash) {
  const std::wstring bad = Fixture(L"bad.wav", std::string(2000, '\x5a'));
  sharedSoundPlayer = new SoundPlayer(owner_);
  PlaySoundFile(owner_, bad.c_str(), true, 50);
  PumpMessagesUntil([] { return CountOf(ErrorLogText(), L"■サウンド再生エラー") > 0; });
  EXPECT_EQ(1u, CountOf(ErrorLogText(), L"■サウンド再生エラー"));
  PumpMessagesUntil([] { return sharedSoundPlayer->opened == 0; });
  EXPECT_EQ(0, sharedSoundPlayer->opened);
  EXPECT_EQ(0, sharedSoundPlayer->playing);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
  // The player still plays a good file afterwards.
  const std::wstring wav = Fixture(L"tone.wav", MakeWav(200));
  EXPECT_TRUE(PlaySoundFile(owner_, wav.c_str(), false, 50));
}

TEST_F(SoundPlayerTest, NewSoundsTakeTheVolumeAndTheMuteFlag) {
  const std::wstring wav = Fixture(L"tone.wav", MakeWav(200));
  SetSoundSettingsCalls(&kRecorder);
  sharedSoundPlayer = new SoundPlayer(owner_);
  soundMuted = 1;
  ASSERT_TRUE(PlaySoundFile(owner_, wav.c_str(), true, 37));
  soundMuted = 0;
  ASSERT_TRUE(PlaySoundFile(owner_, wav.c_str(), false, 100));
  EXPECT_EQ((std::vector<LONG>{37, 100}), volumes);
  EXPECT_EQ((std::vector<VARIANT_BOOL>{VARIANT_TRUE, VARIANT_FALSE}), mutes);
}

TEST_F(SoundPlayerTest, PlayWithoutAControlFailsAndLeavesTheFlag) {
  SoundPlayer player(owner_);
  EXPECT_FALSE(player.Create(nullptr));  // a child window needs a parent
  EXPECT_STREQ(L"ウィンドウの生成に失敗しました。#1", player.errorText);
  EXPECT_FALSE(player.Play());
  EXPECT_EQ(0, player.playing);
  ASSERT_NE(nullptr, player.errorText);
  wchar_t expected[160] = L"";
  AMGetErrorTextW(E_INVALIDARG, expected, 160);
  if (expected[0]) {
    EXPECT_STREQ(expected, player.errorText);
  }
  EXPECT_NE(L'\0', player.errorText[0]);
}

TEST_F(SoundPlayerTest, PlayBeforeOpenIsRefused) {
  SoundPlayer player(owner_);
  ASSERT_TRUE(player.Create(owner_));
  IWMPPlayer* first = player.player;
  ASSERT_TRUE(player.Create(owner_));
  EXPECT_EQ(first, player.player);
  EXPECT_NE(nullptr, player.connectionPoint);
  EXPECT_NE(0u, player.adviseCookie);
  EXPECT_FALSE(player.ConnectEvents());  // already connected
  EXPECT_FALSE(player.Play());
  EXPECT_EQ(0, player.playing);
  EXPECT_FALSE(player.Open(temp_.Path(L"missing.wav").c_str()));
  EXPECT_EQ(0, player.opened);
  EXPECT_FALSE(player.Play());
}

// Calls the sink as the control does through _WMPOCXEvents.
HRESULT FireEvent(IDispatch* sink, DISPID id, std::vector<VARIANT> args, UINT named = 0) {
  DISPPARAMS params{};
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  DISPID namedId = DISPID_PROPERTYPUT;
  params.cNamedArgs = named;
  params.rgdispidNamedArgs = named ? &namedId : nullptr;
  return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

VARIANT Long(LONG value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

TEST_F(SoundPlayerTest, SinkReportsOnlyTheEndOfTheMedium) {
  SoundPlayer player(owner_);
  CWMPEventDispatch* sink = new CWMPEventDispatch;
  sink->soundPlayer = &player;
  sink->AddRef();
  IDispatch* dispatch = nullptr;
  ASSERT_TRUE(SUCCEEDED(sink->QueryInterface(IID__WMPOCXEvents, reinterpret_cast<void**>(&dispatch))));
  IUnknown* unknown = nullptr;
  ASSERT_TRUE(SUCCEEDED(sink->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown))));
  EXPECT_EQ(static_cast<IUnknown*>(dispatch), unknown);
  unknown->Release();

  for (LONG state : {1L, 3L, 9L, 10L}) {
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, FireEvent(dispatch, 5101, {Long(state)}));
  }
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, FireEvent(dispatch, 5001, {Long(8)}));  // open state, not play state
  EXPECT_EQ(0, endedMessages);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, FireEvent(dispatch, 5101, {Long(8)}));
  EXPECT_EQ(1, endedMessages);
  EXPECT_EQ(E_POINTER, dispatch->Invoke(5101, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                                        nullptr, nullptr));
  EXPECT_EQ(DISP_E_NONAMEDARGS, FireEvent(dispatch, 5101, {Long(8)}, 1));
  EXPECT_EQ(1, endedMessages);
  // The same sink through IWMPEvents, as a control that offers it calls it;
  // a new medium may report its end again.
  IWMPEvents* events = nullptr;
  ASSERT_TRUE(SUCCEEDED(sink->QueryInterface(IID_IWMPEvents, reinterpret_cast<void**>(&events))));
  events->PlayStateChange(8);
  EXPECT_EQ(1, endedMessages);
  player.endReported = 0;
  events->PlayStateChange(8);
  EXPECT_EQ(2, endedMessages);
  events->Release();
  dispatch->Release();
  sink->Release();
}

TEST_F(SoundPlayerTest, ErrorEventWithoutAQueueIsLoggedAndCloses) {
  const std::wstring wav = Fixture(L"tone.wav", MakeWav(3000));
  SoundPlayer player(owner_);
  ASSERT_TRUE(player.Create(owner_));
  ASSERT_TRUE(player.Open(wav.c_str()));
  CWMPEventDispatch* sink = new CWMPEventDispatch;
  sink->soundPlayer = &player;
  sink->AddRef();
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, FireEvent(static_cast<_WMPOCXEvents*>(sink), 5501, {}));
  sink->Release();
  // The control still works on the medium inside its event: closed after it.
  EXPECT_EQ(1, player.opened) << "closed inside the control's event";
  EXPECT_EQ(0, failedMessages);
  PumpMessagesUntil([&player] { return player.opened == 0; });
  EXPECT_EQ(0, player.opened);
  PumpMessagesUntil([] { return failedMessages > 0; });
  EXPECT_EQ(1, failedMessages) << "the owner hears of the failure after the close";
  const std::wstring log = ErrorLogText();
  EXPECT_EQ(1u, CountOf(log, L"■サウンド再生エラー"));
  ASSERT_NE(nullptr, player.errorText);
  EXPECT_NE(L'\0', player.errorText[0]);
  EXPECT_NE(std::wstring::npos, log.find(player.errorText));
}

TEST_F(SoundPlayerTest, ASoundOpenedAfterAnErrorIsNotClosedByIt) {
  const std::wstring wav = Fixture(L"tone.wav", MakeWav(3000));
  SoundPlayer player(owner_);
  ASSERT_TRUE(player.Create(owner_));
  ASSERT_TRUE(player.Open(wav.c_str()));
  player.OnControlError();
  ASSERT_TRUE(player.Close());
  ASSERT_TRUE(player.Open(wav.c_str()));  // the next sound, before the queue ran
  PumpMessagesUntil([] { return false; }, 300);
  EXPECT_EQ(1, player.opened) << "the failure of the earlier medium closed this one";
  EXPECT_EQ(0, failedMessages);
}

bool forgedCallRan = false;
void ForgedCall(void*) { forgedCallRan = true; }

TEST_F(SoundPlayerTest, AMessageToTheHostWindowNamesNoCodeToRun) {
  const std::wstring wav = Fixture(L"tone.wav", MakeWav(3000));
  SoundPlayer player(owner_);
  ASSERT_TRUE(player.Create(owner_));
  ASSERT_TRUE(player.Open(wav.c_str()));
  ASSERT_NE(nullptr, player.hostWindow);
  // Any process can send the window this message with any parameters.
  forgedCallRan = false;
  SendMessageW(player.hostWindow, WM_APP + 1, reinterpret_cast<WPARAM>(&ForgedCall), 0);
  EXPECT_FALSE(forgedCallRan);
  EXPECT_EQ(1, player.opened);
  // The player's own deferred close still runs once.
  player.OnControlError();
  SendMessageW(player.hostWindow, WM_APP + 1, reinterpret_cast<WPARAM>(&ForgedCall), 0);
  EXPECT_FALSE(forgedCallRan);
  EXPECT_EQ(0, player.opened);
  PumpMessagesUntil([] { return failedMessages > 0; });
  EXPECT_EQ(1, failedMessages);
}

HRESULT RefuseAdvise(IConnectionPoint*, IUnknown*, DWORD* cookie) {
  *cookie = 0;
  return CONNECT_E_CANNOTCONNECT;
}
const SoundConnectionCalls kRefusingConnection{RefuseAdvise};

TEST_F(SoundPlayerTest, ASinkThatCannotConnectIsAFailureAndNothingStaysOpen) {
  const std::wstring wav = Fixture(L"tone.wav", MakeWav(300));
  SetSoundConnectionCalls(&kRefusingConnection);
  sharedSoundPlayer = new SoundPlayer(owner_);
  // Played anyway, its end would never be reported.
  EXPECT_FALSE(PlaySoundFile(owner_, wav.c_str(), true, 50));
  SetSoundConnectionCalls(nullptr);
  EXPECT_EQ(0, sharedSoundPlayer->opened);
  EXPECT_EQ(0, sharedSoundPlayer->playing);
  EXPECT_EQ(nullptr, sharedSoundPlayer->eventSink);
  const std::wstring log = ErrorLogText();
  EXPECT_EQ(1u, CountOf(log, L"■サウンド再生エラー")) << log;
  ASSERT_NE(nullptr, sharedSoundPlayer->errorText);
  EXPECT_NE(L'\0', sharedSoundPlayer->errorText[0]);
  EXPECT_NE(std::wstring::npos, log.find(sharedSoundPlayer->errorText));
  // With the connection back, the same player plays and reports the end.
  ASSERT_TRUE(PlaySoundFile(owner_, wav.c_str(), false, 50));
  PumpMessagesUntil([] { return endedMessages > 0; });
  EXPECT_EQ(1, endedMessages);
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(SoundPlayerTest, ASinkReleasedByTheControlFirstIsForgottenByThePlayer) {
  SoundPlayer* player = new SoundPlayer(owner_);
  CWMPEventDispatch* sink = new CWMPEventDispatch;
  sink->soundPlayer = player;
  player->eventSink = sink;
  sink->AddRef();
  sink->Release();  // the control let go of it
  EXPECT_EQ(nullptr, player->eventSink);
  delete player;  // must not reach the freed sink
}

}  // namespace
