#include "timer_fakes.h"

#include <cstring>

#include "shared/countdown_side_actions.h"
#include "count_dialog.h"
#include "countdown_stages_under_test.h"
#include "cpu_sampler.h"
#include "zero_action.h"

namespace timer_fakes {

namespace {

SideRecord side;
int fakePlayer;

SoundPlayer* FakeCreatePlayer(HWND) { return reinterpret_cast<SoundPlayer*>(&fakePlayer); }
void FakeDestroyPlayer(SoundPlayer*) {}
bool FakeHasMedium(const SoundPlayer*) { return side.playerHasMedium; }
bool FakeIsPlaying(const SoundPlayer*) { return side.playerPlaying; }
void FakeCloseMedium(SoundPlayer*) {
  ++side.mediumCloses;
  side.playerHasMedium = side.playerPlaying = false;
}
void FakeApplyMute(SoundPlayer*, bool muted) { side.muteCalls.push_back(muted); }
bool FakePlaySoundFile(HWND, const wchar_t* path, bool, int volume) {
  side.soundPaths.push_back(path);
  side.soundVolumes.push_back(volume);
  side.playerHasMedium = side.playerPlaying = true;
  return true;
}
int FakeLaunch(int, int, int elapsedSeconds) {
  side.launches.push_back(elapsedSeconds);
  if (side.realLaunch) return TimerLaunchApplication(elapsedSeconds) ? 1 : 0;
  if (side.launchesLeft <= 0) return 0;
  --side.launchesLeft;
  return 1;
}
bool FakeCaptureName(const wchar_t* action, wchar_t* path, const wchar_t* folder, int32_t) {
  std::wstring name = std::wstring(folder) + L"\\" + action + L".jpg";
  wcsncpy(path, name.c_str(), MAX_PATH - 1);
  path[MAX_PATH - 1] = L'\0';
  return true;
}
bool FakeCapture(const wchar_t* path, int32_t) {
  ++side.captures;
  side.capturePaths.push_back(path);
  return !side.captureFails;
}
void FakePaint(const wchar_t*, const wchar_t*) { ++side.paints; }

const CountdownSideActions kFakeSideActions = {
    FakeCreatePlayer, FakeDestroyPlayer, FakeHasMedium,   FakeIsPlaying, FakeCloseMedium, FakeApplyMute,
    FakePlaySoundFile, FakeLaunch,       FakeCaptureName, FakeCapture,   FakePaint,
};

SamplerRecord sampler;
bool FakeOpen() {
  ++sampler.opens;
  return !sampler.failOpen;
}
bool FakeSample(double* percent) {
  if (sampler.samples.empty()) return false;
  const Sample next = sampler.samples.front();
  sampler.samples.pop_front();
  if (next.readable) *percent = next.value;
  return next.readable;
}
void FakeClose() { ++sampler.closes; }
const CpuSampler kFakeSampler = {FakeOpen, FakeSample, FakeClose};

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

SideRecord& Side() { return side; }
void InstallSideActions() {
  side = SideRecord{};
  SetCountdownSideActions(&kFakeSideActions);
}
void RemoveSideActions() { SetCountdownSideActions(nullptr); }

SamplerRecord& Sampler() { return sampler; }
void InstallSampler() {
  sampler = SamplerRecord{};
  SetCpuSampler(&kFakeSampler);
}
void RemoveSampler() { SetCpuSampler(nullptr); }

HWND CreateStandInWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TimerStandInMain";
    RegisterClassW(&wc);
    registered = true;
  }
  return CreateWindowExW(0, L"TimerStandInMain", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void ResetTimerSettings() {
  std::memset(&timerSettings, 0, sizeof timerSettings);
  SetTimerSettingsDefaults(&timerSettings);
  // The pickers always hold a date.
  timerSettings.endTime = countdown_fakes::MakeTime(2026, 12, 10, 12, 0);
  timerSettings.resumeTime = countdown_fakes::MakeTime(2026, 12, 11, 7, 0);
}

}  // namespace timer_fakes

const CountdownStagesConfig& StagesUnderTest() { return kTimerCountdownStages; }
const char* ProgramUnderTest() { return "countdown"; }
