#include "about_dialog.h"

#include "dpi_scaling.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "message_box_catcher.h"
#include "modal_driver.h"
#include "countdown_dialog.h"
#include "main_window_state.h"
#include "schedule_model.h"
#include "scheduler_about_box.h"
#include "seam_fakes.h"
#include "shared/clock.h"
#include "shared/schedule_time.h"
#include "wait.h"

using testing_support::CaughtMessageBoxes;
using testing_support::ModalDriver;
using testing_support::PumpMessagesUntil;

namespace {

// An HTTP server on 127.0.0.1 that answers every request with one canned
// reply after a delay, and records the requests. WinINet reaches it as the
// proxy named by http_proxy, which it reads once per process.
class VersionServer {
 public:
  ~VersionServer() { Stop(); }

  bool Start(unsigned short port = 0) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL reuse = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    int size = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    if (listen(listener_, 8) != 0) return false;
    stopping_ = false;
    thread_ = std::thread([this] { Serve(); });
    return true;
  }

  void Stop() {
    if (listener_ == INVALID_SOCKET) return;
    stopping_ = true;
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    if (thread_.joinable()) thread_.join();
  }

  void SetReply(const std::string& reply, DWORD delayMs = 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    reply_ = reply;
    delayMs_ = delayMs;
  }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  void ClearRequests() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
  }
  unsigned short port() const { return port_; }

 private:
  void Serve() {
    while (!stopping_) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::string request;
      char chunk[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int got = recv(client, chunk, sizeof chunk, 0);
        if (got <= 0) break;
        request.append(chunk, static_cast<size_t>(got));
      }
      std::string reply;
      DWORD delay;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        reply = reply_;
        delay = delayMs_;
      }
      if (delay) Sleep(delay);
      send(client, reply.data(), static_cast<int>(reply.size()), 0);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }

  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::string reply_;
  DWORD delayMs_ = 0;
  std::vector<std::string> requests_;
};

std::string Reply(const std::string& status, const std::string& body, bool withLength = true) {
  std::string reply = "HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nConnection: close\r\n";
  if (withLength) reply += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return reply + "\r\n" + body;
}

std::vector<std::wstring> openedAddresses;
void RecordAddress(HWND, const wchar_t* address) { openedAddresses.push_back(address); }

std::wstring Text(HWND window) {
  wchar_t text[200] = L"";
  GetWindowTextW(window, text, 200);
  return text;
}

class AboutBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new VersionServer;
    ASSERT_TRUE(server_->Start());
    const std::wstring proxy = L"http://127.0.0.1:" + std::to_wstring(server_->port());
    SetEnvironmentVariableW(L"http_proxy", proxy.c_str());
    _wputenv((L"http_proxy=" + proxy).c_str());
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    openedAddresses.clear();
    openAddressCall = RecordAddress;
    server_->ClearRequests();
    testing_support::ClearCaughtMessageBoxes();
  }

  // Opens the scheduler's about box, runs `step` against it until it returns
  // true, then closes it.
  void RunBox(const std::function<bool(HWND)>& step) {
    bool closed = false;
    ModalDriver driver([&]() {
      HWND box = aboutDialogForTest();
      if (!box) return false;
      if (!step(box)) return false;
      SendMessageW(box, WM_COMMAND, IDOK, 0);
      closed = true;
      return true;
    });
    OpenAboutDialog(nullptr);
    EXPECT_TRUE(closed);
  }
  static HWND aboutDialogForTest() { return testing_support::FindThreadDialogWithControl(1132); }

  // Clicks the check button and waits until the check has ended.
  static bool Checked(HWND box, int& phase) {
    HWND button = GetDlgItem(box, 1132);
    if (phase == 0) {
      SendMessageW(box, WM_COMMAND, MAKEWPARAM(1132, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      phase = 1;
      return false;
    }
    return IsWindowEnabled(button) && Text(button) != L"確認中...";
  }

  static VersionServer* server_;
};
VersionServer* AboutBoxTest::server_;

TEST_F(AboutBoxTest, ShowsTheProgramAndItsLinks) {
  RunBox([](HWND box) {
    EXPECT_EQ(Text(box), L"バージョン情報");
    EXPECT_EQ(Text(GetDlgItem(box, 1131)), L"そぽらスケジューラー ver1.00");
    EXPECT_EQ(Text(GetDlgItem(box, 1132)), L"最新版の確認");
    EXPECT_EQ(Text(GetDlgItem(box, 1134)), L"バグ報告等");
    EXPECT_EQ(Text(GetDlgItem(box, IDOK)), L"閉じる");
    RECT client;
    GetClientRect(box, &client);
    RECT window;
    GetWindowRect(box, &window);
    EXPECT_EQ(window.right - window.left, ScaleX(333));
    // A real click on each link, as the link control reports it.
    for (int id : {1153, 1154}) {
      HWND link = GetDlgItem(box, id);
      SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
      SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    }
    return true;
  });
  ASSERT_EQ(openedAddresses.size(), 2u);
  EXPECT_EQ(openedAddresses[0], L"https://www.sopora.example/");
  EXPECT_EQ(openedAddresses[1], L"https://www.sopora.example/contact/");
}

struct ReplyCase {
  const char* name;
  std::string reply;
  const wchar_t* buttonAfter;
  bool failed;  // "確認失敗。"
};

TEST_F(AboutBoxTest, TheVersionFileDecidesTheButton) {
  const ReplyCase cases[] = {
      {"newer", Reply("200 OK", "1.05"), L"ダウンロード", false},
      {"same", Reply("200 OK", "1.00"), L"最新版です", false},
      {"older", Reply("200 OK", "0.9"), L"最新版です", false},
      {"no number", Reply("200 OK", "abc"), L"最新版です", false},
      {"not found", Reply("404 Not Found", "9"), L"最新版の確認", true},
      {"no length", Reply("200 OK", "9", false), L"最新版の確認", true},
      {"ten bytes", Reply("200 OK", "1.00000000"), L"最新版の確認", true},
      {"empty", Reply("200 OK", ""), L"最新版の確認", true},
  };
  for (const ReplyCase& row : cases) {
    SCOPED_TRACE(row.name);
    server_->SetReply(row.reply);
    server_->ClearRequests();
    testing_support::ClearCaughtMessageBoxes();
    std::wstring after;
    int phase = 0;
    RunBox([&](HWND box) {
      if (!Checked(box, phase)) return false;
      after = Text(GetDlgItem(box, 1132));
      return true;
    });
    EXPECT_EQ(after, row.buttonAfter);
    const auto boxes = CaughtMessageBoxes();
    if (row.failed) {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, L"確認失敗。");
      EXPECT_EQ(boxes[0].caption, L"エラー");
    } else {
      EXPECT_TRUE(boxes.empty());
    }
    const auto requests = server_->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rfind("GET http://update.sopora.example", 0), 0u) << requests[0];
    EXPECT_NE(requests[0].find("/version/sopora_skd_latest.txt HTTP/1.1\r\n"), std::string::npos) << requests[0];
    EXPECT_NE(requests[0].find("\r\nReferer: SoporaScheduler\r\n"), std::string::npos) << requests[0];
  }
}

TEST_F(AboutBoxTest, AfterTheCheckTheButtonOpensThePageOrOnlyBeeps) {
  struct Row {
    const char* body;
    std::vector<std::wstring> opened;
  } rows[] = {{"2", {L"https://www.sopora.example/scheduler/"}}, {"1", {}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.body);
    server_->SetReply(Reply("200 OK", row.body));
    server_->ClearRequests();
    openedAddresses.clear();
    int phase = 0;
    int clicks = 0;
    RunBox([&](HWND box) {
      if (!Checked(box, phase)) return false;
      if (clicks++ == 0)
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(1132, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, 1132)));
      // A started check would have set its timer: give it the chance to fire.
      return clicks > 20;
    });
    EXPECT_EQ(openedAddresses, row.opened);
    EXPECT_EQ(server_->Requests().size(), 1u) << "the second click checks nothing";
  }
}

TEST_F(AboutBoxTest, WithoutAServerTheWinInetErrorIsShownAndTheButtonIsReadyAgain) {
  const unsigned short port = server_->port();
  server_->Stop();
  int phase = 0;
  int attempts = 0;
  std::wstring after;
  RunBox([&](HWND box) {
    if (!Checked(box, phase)) return false;
    after = Text(GetDlgItem(box, 1132));
    // The button takes another try.
    if (++attempts < 2) {
      phase = 0;
      return false;
    }
    return true;
  });
  ASSERT_TRUE(server_->Start(port));
  EXPECT_EQ(after, L"最新版の確認");
  const auto boxes = CaughtMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.caption, L"アップデートエラー #1");
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_FALSE(box.text.empty()) << "WinINet's own text";
  }
}

// Every read of the clock while the about box is open is a tick of the
// countdown dialog (its timer 1 reads the clock once, until the due time).
std::vector<DWORD> countdownTicks;
void TickCountingClock(SYSTEMTIME* now) {
  countdownTicks.push_back(GetTickCount());
  GetLocalTime(now);
}

// A thread timer of 100 ms beside it: the largest gap shows any hold-up of
// the user-interface thread, even one shorter than a countdown tick.
DWORD largestGap;
DWORD lastTick;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  const DWORD now = GetTickCount();
  if (lastTick && now - lastTick > largestGap) largestGap = now - lastTick;
  lastTick = now;
}

// The scheduler's countdown dialog, with its real window timers and the real
// clock, counting down to a shutdown five minutes ahead whose power call is
// only recorded.
class RunningCountdown {
 public:
  RunningCountdown() {
    ClearScheduleTable(scheduleTable, orderTable);
    std::memset(&profileSettings, 0, sizeof profileSettings);
    scheduleMode = DateMode;
    SYSTEMTIME due;
    GetLocalTime(&due);
    due.wMilliseconds = 0;
    AddDaysToSystemTime(&due, 300.0 / 86400.0);
    ScheduleItem& item = scheduleTable[0][0];
    item.listIndex = 0;
    item.time = due;
    item.action = Shutdown;
    item.oleTime = ToOleDate(due);
    orderTable[0][0] = 0;
    countWindow = nullptr;
    countdown_fakes::InstallPower();
    startedAt_ = GetTickCount();
    dialog_ = CreateCountdownDialog();
  }
  ~RunningCountdown() {
    SetLocalTimeSource(nullptr);
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
    countdownDialog = nullptr;
    countdown_fakes::RemovePower();
    ClearScheduleTable(scheduleTable, orderTable);
  }
  HWND dialog() const { return dialog_; }
  DWORD startedAt() const { return startedAt_; }

 private:
  HWND dialog_ = nullptr;
  DWORD startedAt_ = 0;
};

TEST_F(AboutBoxTest, ASlowServerMissesNoTickOfARunningCountdown) {
  constexpr DWORD kServerDelayMs = 20000;
  constexpr DWORD kGiveUpMs = 60000;  // WinINet would otherwise be waited for
  RunningCountdown run;
  ASSERT_NE(run.dialog(), nullptr);
  ASSERT_EQ(countdownDialog, run.dialog());
  server_->SetReply(Reply("200 OK", "1"), kServerDelayMs);
  countdownTicks.clear();
  largestGap = lastTick = 0;
  SetLocalTimeSource(TickCountingClock);
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, Tick);
  int phase = 0;
  std::wstring after;
  const DWORD start = GetTickCount();
  RunBox([&](HWND box) {
    if (!Checked(box, phase) && GetTickCount() - start < kGiveUpMs) return false;
    after = Text(GetDlgItem(box, 1132));
    return true;
  });
  const DWORD end = GetTickCount();
  KillTimer(nullptr, timer);
  SetLocalTimeSource(nullptr);
  const std::vector<DWORD> ticks = countdownTicks;
  server_->SetReply(Reply("200 OK", "1"));

  EXPECT_EQ(after, L"最新版です") << "the server's answer reached the box";
  EXPECT_GE(end - start, kServerDelayMs);
  DWORD largestTickGap = 0;
  DWORD previous = start;
  for (DWORD tick : ticks) {
    largestTickGap = std::max(largestTickGap, tick - previous);
    previous = tick;
  }
  largestTickGap = std::max(largestTickGap, end - previous);
  // Timer 1 ticks every second: a gap of two seconds would be a tick missed.
  EXPECT_LT(largestTickGap, 2000u);
  EXPECT_GE(ticks.size(), static_cast<size_t>((end - start) / 1000 - 1));
  EXPECT_LT(largestGap, 1000u) << "the user-interface thread was held up";
  EXPECT_TRUE(IsWindow(run.dialog())) << "the countdown still runs";
  // Its digits have kept up with the wall clock through the wait.
  wchar_t shown[16] = L"";
  GetDlgItemTextW(run.dialog(), kCountdownStaticId, shown, 16);
  int hours = -1, minutes = -1, seconds = -1;
  ASSERT_EQ(swscanf(shown, L"%d:%d:%d", &hours, &minutes, &seconds), 3) << shown;
  const int left = hours * 3600 + minutes * 60 + seconds;
  const int expected = 300 - static_cast<int>((end - run.startedAt()) / 1000);
  EXPECT_LE(left, expected + 1) << shown;
  EXPECT_GE(left, expected - 3) << shown;
  EXPECT_TRUE(countdown_fakes::Power().calls.empty()) << "nothing was due";
}

}  // namespace
