#include "profile_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "message_box_catcher.h"
#include "shared/program_paths.h"
#include "temp_folder.h"

using testing_support::CaughtMessageBoxes;
using testing_support::FileExists;
using testing_support::ReadBytes;
using testing_support::TempFolderTest;
using testing_support::WriteBytes;

namespace {

constexpr size_t kShortSize = 222658;
constexpr size_t kWeeklySize = 1483738;
constexpr const wchar_t* kReadCaption = L"プロファイル読み込みエラー";
constexpr const wchar_t* kWriteCaption = L"ファイル書き込みエラー";
constexpr const wchar_t* kRefusedNameText = L"プロファイル名に使用できない文字が含まれているか、名前が長すぎます。";

// Deterministic bytes, so that every field of every record differs.
struct Pattern {
  uint32_t state;
  uint8_t Next() {
    state = state * 1103515245u + 12345u;
    return static_cast<uint8_t>(state >> 16);
  }
  void Fill(void* data, size_t size) {
    auto* p = static_cast<uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) p[i] = Next();
  }
};

template <typename T, size_t N>
void EndText(T (&text)[N]) {
  text[N - 1] = 0;
}
template <typename T, size_t M, size_t N>
void EndText(T (&texts)[M][N]) {
  for (auto& t : texts) t[N - 1] = 0;
}

void FillItem(ScheduleItem& item, Pattern& p, int slot) {
  p.Fill(&item, sizeof item);
  item.listIndex = slot;
  item.action = slot % 6;
  item.soundIndex = slot % 11;
  item.mailTo = slot % 6;
  item.soundSeconds = 10 + slot;
  item.time.wDayOfWeek = static_cast<WORD>(slot % 7);
  for (int i = 0; i < kAppCount; ++i) item.appDelays[i] = i < 5 ? i * 3 : -1;
  EndText(item.appPaths);
  EndText(item.appArguments);
  EndText(item.timeText);
  EndText(item.oleTimeText);
  EndText(item.slotText);
  EndText(item.weekdayText);
}

void FillSettings(ProfileSettings& s, Pattern& p) {
  p.Fill(&s, sizeof s);
  s.sounds.count = 7;
  for (int i = 0; i < kSoundCount; ++i) s.sounds.volumes[i] = i * 10;
  s.mail.addressCount = 3;
  s.mail.security = 2;
  s.mail.charset = 1;
  s.capture.captureFormat = 1;
  s.general.passwordLock = 1;
  std::memcpy(s.general.passwordHash, "a9993e364706816aba3e25717850c26c9cd0d89d", 41);
  EndText(s.mail.smtpServer);
  EndText(s.mail.account);
  EndText(s.mail.toText);
  EndText(s.mail.from);
  EndText(s.mail.hostName);
  EndText(s.mail.password);
  EndText(s.mail.port);
  EndText(s.mail.subjects);
  EndText(s.mail.bodies);
  EndText(s.mail.addresses);
  EndText(s.capture.captureFolder);
  EndText(s.sounds.paths);
}

// Fills the live model with a full schedule of the mode.
void FillLiveModel(ScheduleMode mode, uint32_t seed) {
  Pattern p{seed};
  scheduleMode = mode;
  ClearScheduleTable(scheduleTable, orderTable);
  for (int row = 0; row < RowsForMode(mode); ++row) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      FillItem(scheduleTable[row][slot], p, slot);
      orderTable[row][slot] = kSlotCount - 1 - slot;
    }
  }
  FillSettings(profileSettings, p);
}

int32_t ReadInt(const std::string& bytes, size_t offset) {
  int32_t value;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

void PutInt(std::string& bytes, size_t offset, int32_t value) {
  std::memcpy(&bytes[offset], &value, 4);
}

size_t RecordOffset(int row, int slot) {
  return kItemsOffset + (static_cast<size_t>(row) * kSlotCount + slot) * kItemRecordSize;
}

size_t SettingsOffset(ScheduleMode mode) {
  return kItemsOffset + static_cast<size_t>(RowsForMode(mode)) * kSlotCount * kItemRecordSize;
}

// A copy of the whole live model, padding included.
struct ProfileModel {
  int32_t mode;
  OrderTable order;
  ScheduleTable table;
  ProfileSettings settings;
};

std::unique_ptr<ProfileModel> CaptureLiveModel() {
  auto model = std::make_unique<ProfileModel>();
  model->mode = scheduleMode;
  std::memcpy(model->order, orderTable, sizeof(OrderTable));
  std::memcpy(model->table, scheduleTable, sizeof(ScheduleTable));
  std::memcpy(&model->settings, &profileSettings, sizeof(ProfileSettings));
  return model;
}

bool SameAsLive(const ProfileModel& snapshot) {
  return std::memcmp(&snapshot, CaptureLiveModel().get(), sizeof(ProfileModel)) == 0;
}

class ProfileFileTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    SetProgramPaths(temp_.path().c_str(), L"SoporaScheduler");
    scheduleMode = DateMode;
    ClearScheduleTable(scheduleTable, orderTable);
    std::memset(&profileSettings, 0, sizeof profileSettings);
    modeNameText[0] = 0;
  }

  std::wstring FileOf(const std::wstring& name) {
    return temp_.Path(L"profile\\scheduler\\" + name + L".dat");
  }
};

TEST_F(ProfileFileTest, FileSizePerMode) {
  const struct {
    ScheduleMode mode;
    size_t size;
  } cases[] = {{DateMode, kShortSize}, {DailyMode, kShortSize}, {WeeklyMode, kWeeklySize}};
  for (const auto& c : cases) {
    EXPECT_EQ(ProfileFileSize(c.mode), c.size);
    ClearScheduleTable(scheduleTable, orderTable);
    scheduleMode = c.mode;
    scheduleTable[0][0].listIndex = 0;
    orderTable[0][0] = 0;
    ASSERT_TRUE(SaveProfileFile(nullptr, L"size"));
    EXPECT_EQ(ReadBytes(FileOf(L"size")).size(), c.size) << "mode " << c.mode;
  }
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(ProfileFileTest, FieldsLieAtTheirOffsets) {
  FillLiveModel(WeeklyMode, 7);
  ScheduleItem& item = scheduleTable[3][5];
  item.action = Hibernate;
  item.listIndex = 4;
  item.soundSeconds = 30;
  item.soundIndex = 2;
  item.mailTo = 1;
  item.captureEnabled = 1;
  item.oleTime = 40179.5;  // 2010-01-01 12:00
  item.time = SYSTEMTIME{2010, 1, 5, 1, 12, 0, 0, 0};
  wcscpy(item.timeText, L"12:00");
  wcscpy(item.weekdayText, L"(水)");
  wcscpy(item.appPaths[0], L"C:\\a.exe");
  wcscpy(item.appArguments[0], L"-x");
  item.appMinimized[0] = 1;
  item.appDelays[0] = 9;
  profileSettings.general.forceAction = 1;
  profileSettings.general.bringToFrontSeconds = 300;
  profileSettings.mail.security = 2;
  std::strcpy(profileSettings.mail.port, "587");
  wcscpy(profileSettings.capture.captureFolder, L"C:\\ss");
  profileSettings.sounds.count = 3;
  ASSERT_TRUE(SaveProfileFile(nullptr, L"layout"));

  const std::string bytes = ReadBytes(FileOf(L"layout"));
  ASSERT_EQ(bytes.size(), kWeeklySize);
  EXPECT_EQ(ReadInt(bytes, 0), WeeklyMode);
  EXPECT_EQ(bytes.substr(4, 5), std::string("1.00\0", 5));
  EXPECT_EQ(ReadInt(bytes, 9 + (3 * 20 + 0) * 4), orderTable[3][0]);
  EXPECT_EQ(ReadInt(bytes, 9 + (6 * 20 + 19) * 4), orderTable[6][19]);

  const size_t r = RecordOffset(3, 5);
  EXPECT_EQ(ReadInt(bytes, r + 0), Hibernate);
  EXPECT_EQ(bytes.substr(r + 4, 6), std::string("-\0x\0\0\0", 6));
  EXPECT_EQ(bytes[r + 5124], 1);
  EXPECT_EQ(bytes.substr(r + 5134, 4), std::string("C\0:\0", 4));
  EXPECT_EQ(ReadInt(bytes, r + 10334), 9);
  EXPECT_EQ(bytes[r + 10374], 1);
  EXPECT_EQ(bytes.substr(r + 10375, 4), std::string("1\0002\0", 4));
  double ole;
  std::memcpy(&ole, bytes.data() + r + 10415, 8);
  EXPECT_EQ(ole, 40179.5);
  EXPECT_EQ(ReadInt(bytes, r + 10469), 1);
  EXPECT_EQ(ReadInt(bytes, r + 10473), 4);
  EXPECT_EQ(ReadInt(bytes, r + 10477), 30);
  EXPECT_EQ(ReadInt(bytes, r + 10481), 2);
  EXPECT_EQ(bytes.substr(r + 10485, 8), std::string("\xda\x07\x01\x00\x05\x00\x01\x00", 8));
  EXPECT_EQ(bytes.substr(r + 10501, 2), std::string("(\0", 2));

  const size_t s = SettingsOffset(WeeklyMode);
  EXPECT_EQ(s + kSettingsBlockSize, kWeeklySize);
  EXPECT_EQ(bytes[s + 0], 1);
  EXPECT_EQ(bytes[s + 1], 1);
  EXPECT_EQ(bytes.substr(s + 2, 41), std::string("a9993e364706816aba3e25717850c26c9cd0d89d\0", 41));
  EXPECT_EQ(ReadInt(bytes, s + 44), 300);
  EXPECT_EQ(ReadInt(bytes, s + 55), 3);
  EXPECT_EQ(ReadInt(bytes, s + 5259 + 4), 10);
  EXPECT_EQ(ReadInt(bytes, s + 5304), 1);
  EXPECT_EQ(bytes.substr(s + 5308, 4), std::string("C\0:\0", 4));
  EXPECT_EQ(ReadInt(bytes, s + 5748), 3);
  EXPECT_EQ(ReadInt(bytes, s + 10360), 1);
  EXPECT_EQ(bytes.substr(s + 10620, 4), std::string("587\0", 4));
  EXPECT_EQ(ReadInt(bytes, s + 11905), 2);
}

TEST_F(ProfileFileTest, SaveThenLoadRestoresEveryField) {
  for (ScheduleMode mode : {DateMode, DailyMode, WeeklyMode}) {
    FillLiveModel(mode, 1234 + mode);
    ASSERT_TRUE(SaveProfileFile(nullptr, L"round"));
    const std::string written = ReadBytes(FileOf(L"round"));
    const auto before = CaptureLiveModel();

    FillLiveModel(mode == WeeklyMode ? DateMode : WeeklyMode, 99);
    ASSERT_TRUE(LoadProfileFile(nullptr, L"round"));
    EXPECT_EQ(scheduleMode, mode);
    EXPECT_STREQ(modeNameText, ScheduleModeName(mode));

    // Every field walks back out to the same bytes.
    std::vector<uint8_t> again(ProfileFileSize(scheduleMode));
    EncodeProfile(again.data());
    ASSERT_EQ(again.size(), written.size());
    EXPECT_EQ(std::memcmp(again.data(), written.data(), written.size()), 0) << "mode " << mode;

    const auto after = CaptureLiveModel();
    for (int row = 0; row < RowsForMode(mode); ++row) {
      for (int slot = 0; slot < kSlotCount; ++slot) {
        const ScheduleItem& a = before->table[row][slot];
        const ScheduleItem& b = after->table[row][slot];
        EXPECT_EQ(std::memcmp(a.appPaths, b.appPaths, sizeof a.appPaths), 0);
        EXPECT_EQ(a.oleTime, b.oleTime);
        EXPECT_EQ(std::memcmp(&a.time, &b.time, sizeof a.time), 0);
      }
    }
    EXPECT_EQ(std::memcmp(before->order, after->order, RowsForMode(mode) * kSlotCount * 4), 0);
    const MailSettings& m1 = before->settings.mail;
    const MailSettings& m2 = after->settings.mail;
    EXPECT_EQ(std::memcmp(m1.addresses, m2.addresses, sizeof m1.addresses), 0);
    EXPECT_EQ(std::memcmp(m1.subjects, m2.subjects, sizeof m1.subjects), 0);
    EXPECT_STREQ(m1.port, m2.port);
    EXPECT_EQ(m1.security, m2.security);
    EXPECT_STREQ(before->settings.general.passwordHash, after->settings.general.passwordHash);
  }
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(ProfileFileTest, DateFileAfterWeeklyScheduleLeavesOtherRowsEmpty) {
  FillLiveModel(DateMode, 5);
  ASSERT_TRUE(SaveProfileFile(nullptr, L"date"));
  FillLiveModel(WeeklyMode, 6);
  ASSERT_TRUE(LoadProfileFile(nullptr, L"date"));
  EXPECT_EQ(scheduleMode, DateMode);
  EXPECT_STREQ(modeNameText, L"日時指定");
  for (int row = 1; row < kRowCount; ++row) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const ScheduleItem& item = scheduleTable[row][slot];
      EXPECT_EQ(item.listIndex, -1);
      for (int32_t delay : item.appDelays) EXPECT_EQ(delay, -1);
      EXPECT_EQ(orderTable[row][slot], -1);
      EXPECT_EQ(item.appPaths[0][0], 0);
    }
  }
}

TEST_F(ProfileFileTest, AnyVersionTextLoads) {
  FillLiveModel(DailyMode, 8);
  ASSERT_TRUE(SaveProfileFile(nullptr, L"v"));
  std::string bytes = ReadBytes(FileOf(L"v"));
  bytes.replace(4, 5, "9z.99", 5);  // no NUL at all
  ASSERT_TRUE(WriteBytes(FileOf(L"v"), bytes));
  EXPECT_TRUE(LoadProfileFile(nullptr, L"v"));
  EXPECT_TRUE(CaughtMessageBoxes().empty());
}

TEST_F(ProfileFileTest, UnterminatedTextLoadsWithNulInLastElement) {
  FillLiveModel(DailyMode, 9);
  ASSERT_TRUE(SaveProfileFile(nullptr, L"t"));
  std::string bytes = ReadBytes(FileOf(L"t"));
  const size_t r = RecordOffset(0, 2);
  for (size_t i = 0; i < 5200; i += 2) bytes.replace(r + 5134 + i, 2, "A\0", 2);  // appPaths
  const size_t s = SettingsOffset(DailyMode);
  bytes.replace(s + 10620, 4, "9999", 4);  // port
  bytes.replace(s + 10364, 256, std::string(256, 'x'));  // smtpServer
  ASSERT_TRUE(WriteBytes(FileOf(L"t"), bytes));

  ASSERT_TRUE(LoadProfileFile(nullptr, L"t"));
  for (int i = 0; i < kAppCount; ++i) {
    EXPECT_EQ(scheduleTable[0][2].appPaths[i][kPathChars - 1], 0);
    EXPECT_EQ(scheduleTable[0][2].appPaths[i][kPathChars - 2], L'A');
  }
  EXPECT_STREQ(profileSettings.mail.port, "999");
  EXPECT_EQ(std::strlen(profileSettings.mail.smtpServer), 255u);
}

// Each damaged image is refused with a message and leaves the live model as it was.
TEST_F(ProfileFileTest, DamagedFilesAreRefusedAndNothingChanges) {
  FillLiveModel(WeeklyMode, 10);
  ASSERT_TRUE(SaveProfileFile(nullptr, L"good"));
  const std::string good = ReadBytes(FileOf(L"good"));
  FillLiveModel(DailyMode, 11);
  ASSERT_TRUE(SaveProfileFile(nullptr, L"daily"));
  const std::string daily = ReadBytes(FileOf(L"daily"));
  const size_t s = SettingsOffset(WeeklyMode);

  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty file", std::string()},
      {"mode only", good.substr(0, 4)},
      {"truncated by one byte", good.substr(0, good.size() - 1)},
      {"truncated to the short size", good.substr(0, kShortSize)},
      {"one byte too long", good + std::string(1, '\0')},
      {"daily file with weekly mode", [&] { std::string b = daily; PutInt(b, 0, WeeklyMode); return b; }()},
      {"mode 3", [&] { std::string b = good; PutInt(b, 0, 3); return b; }()},
      {"mode -1", [&] { std::string b = good; PutInt(b, 0, -1); return b; }()},
      {"order entry 20", [&] { std::string b = good; PutInt(b, 9 + 4 * 33, 20); return b; }()},
      {"order entry -2", [&] { std::string b = good; PutInt(b, 9, -2); return b; }()},
      {"order names a free slot", [&] { std::string b = good; PutInt(b, RecordOffset(2, 7) + 10473, -1); return b; }()},
      {"order names a slot twice", [&] { std::string b = good; PutInt(b, 9 + 4, ReadInt(b, 9)); return b; }()},
      {"sound index 11", [&] { std::string b = good; PutInt(b, RecordOffset(2, 3) + 10481, 11); return b; }()},
      {"mail to 6", [&] { std::string b = good; PutInt(b, RecordOffset(6, 19) + 10469, 6); return b; }()},
      {"action 6", [&] { std::string b = good; PutInt(b, RecordOffset(0, 0), 6); return b; }()},
      {"negative sound seconds", [&] { std::string b = good; PutInt(b, RecordOffset(1, 1) + 10477, -1); return b; }()},
      {"weekday 7", [&] { std::string b = good; b[RecordOffset(4, 4) + 10485 + 4] = 7; return b; }()},
      {"sound count 11", [&] { std::string b = good; PutInt(b, s + 55, 11); return b; }()},
      {"volume 101", [&] { std::string b = good; PutInt(b, s + 5259, 101); return b; }()},
      {"address count 6", [&] { std::string b = good; PutInt(b, s + 5748, 6); return b; }()},
      {"security 3", [&] { std::string b = good; PutInt(b, s + 11905, 3); return b; }()},
      {"charset 2", [&] { std::string b = good; PutInt(b, s + 10360, 2); return b; }()},
      {"lock with upper-case digest", [&] { std::string b = good; b[s + 2] = 'A'; return b; }()},
      {"lock with short digest", [&] { std::string b = good; b[s + 2 + 39] = '\0'; return b; }()},
      {"lock with empty digest", [&] { std::string b = good; b[s + 2] = '\0'; return b; }()},
  };

  FillLiveModel(WeeklyMode, 12);
  const auto snapshot = CaptureLiveModel();
  for (const auto& c : cases) {
    testing_support::ClearCaughtMessageBoxes();
    ASSERT_TRUE(WriteBytes(FileOf(L"bad"), c.bytes));
    EXPECT_FALSE(LoadProfileFile(nullptr, L"bad")) << c.what;
    const auto boxes = CaughtMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << c.what;
    EXPECT_EQ(boxes[0].caption, kReadCaption) << c.what;
    EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONERROR)) << c.what;
    EXPECT_FALSE(boxes[0].text.empty()) << c.what;
    EXPECT_TRUE(SameAsLive(*snapshot)) << c.what;
  }
}

TEST_F(ProfileFileTest, LockOffAcceptsAnyDigestText) {
  FillLiveModel(DailyMode, 13);
  profileSettings.general.passwordLock = 0;
  std::memset(profileSettings.general.passwordHash, 'Z', 41);
  ASSERT_TRUE(SaveProfileFile(nullptr, L"nolock"));
  ASSERT_TRUE(LoadProfileFile(nullptr, L"nolock"));
  EXPECT_EQ(profileSettings.general.passwordHash[40], 0);
}

TEST_F(ProfileFileTest, MissingFileIsReportedAndScheduleKept) {
  FillLiveModel(WeeklyMode, 14);
  const auto snapshot = CaptureLiveModel();
  EXPECT_FALSE(LoadProfileFile(nullptr, L"nothing-here"));
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].caption, kReadCaption);
  EXPECT_TRUE(SameAsLive(*snapshot));
}

TEST_F(ProfileFileTest, FailedSaveKeepsThePreviousFile) {
  FillLiveModel(DailyMode, 15);
  ASSERT_TRUE(SaveProfileFile(nullptr, L"keep"));
  const std::string previous = ReadBytes(FileOf(L"keep"));

  // A folder where the temporary file would go makes the write fail.
  ASSERT_TRUE(CreateDirectoryW((FileOf(L"keep") + L".tmp").c_str(), nullptr));
  FillLiveModel(WeeklyMode, 16);
  EXPECT_FALSE(SaveProfileFile(nullptr, L"keep"));
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].caption, kWriteCaption);
  EXPECT_EQ(CaughtMessageBoxes()[0].icon, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(ReadBytes(FileOf(L"keep")), previous);
}

TEST_F(ProfileFileTest, FailedReplaceKeepsNoTemporaryFile) {
  // A folder in place of the profile: the new file cannot replace it.
  CreateDirectoryW(temp_.Path(L"profile").c_str(), nullptr);
  CreateDirectoryW(temp_.Path(L"profile\\scheduler").c_str(), nullptr);
  ASSERT_TRUE(CreateDirectoryW(FileOf(L"dir").c_str(), nullptr));
  EXPECT_FALSE(SaveProfileFile(nullptr, L"dir"));
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].caption, kWriteCaption);
  EXPECT_FALSE(FileExists(FileOf(L"dir") + L".tmp"));
}

TEST_F(ProfileFileTest, ProfileFolderThatIsAFileFailsTheSave) {
  ASSERT_TRUE(WriteBytes(temp_.Path(L"profile"), "x"));
  EXPECT_FALSE(SaveProfileFile(nullptr, L"p"));
  ASSERT_EQ(CaughtMessageBoxes().size(), 1u);
  EXPECT_EQ(CaughtMessageBoxes()[0].caption, kWriteCaption);
  EXPECT_EQ(ReadBytes(temp_.Path(L"profile")), "x");
}

TEST_F(ProfileFileTest, NamesThatLeaveTheFolderAreRefused) {
  const std::wstring tooLong(240, L'n');
  const wchar_t* names[] = {L"", L"..\\..\\x", L"a\\b", L"a/b", L"c:x", L"x*", L"x?", L"\"q\"",
                            L"<a>", L"a|b", L"..", L"tab\there", tooLong.c_str(),
                            // Devices, which "start:" and DefProfile would otherwise open.
                            L"CON", L"nul", L"Com1", L"lpt9.dat", L"aux.txt", L"PRN"};
  FillLiveModel(DailyMode, 17);
  const auto snapshot = CaptureLiveModel();
  for (const wchar_t* name : names) {
    testing_support::ClearCaughtMessageBoxes();
    EXPECT_FALSE(SaveProfileFile(nullptr, name)) << name;
    EXPECT_FALSE(LoadProfileFile(nullptr, name)) << name;
    const auto boxes = CaughtMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u) << name;
    EXPECT_EQ(boxes[0].caption, kWriteCaption);
    EXPECT_EQ(boxes[1].caption, kReadCaption);
    // Refused by the name itself, before any file or device is opened.
    for (const auto& box : boxes) EXPECT_EQ(box.text, kRefusedNameText) << name;
    EXPECT_TRUE(SameAsLive(*snapshot));
  }
  EXPECT_FALSE(FileExists(temp_.Path(L"x.dat")));
  EXPECT_FALSE(FileExists(temp_.Path(L"profile\\a")));
}

TEST(ProfileNameTest, OrdinaryNamesAreAccepted) {
  for (const wchar_t* name : {L"平日", L"my profile", L"a.b", L"x-1_2"})
    EXPECT_TRUE(IsValidProfileName(name)) << name;
}

}  // namespace
