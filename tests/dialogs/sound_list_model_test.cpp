// The sound list both programs' sound pages edit, over both programs' rules.
#include "sound_list_model.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr SameSoundName kRules[] = {SameSoundName::ChangePathAndVolume, SameSoundName::ChangeVolumeOnly};

std::vector<std::wstring> Rows(const SoundListModel& model) {
  std::vector<std::wstring> rows;
  for (int k = 0; k < SoundListRows(model); ++k)
    rows.push_back(std::wstring(model.paths[model.order[k]]) + L"@" + std::to_wstring(model.volumes[model.order[k]]));
  return rows;
}

// A hand-made or damaged profile can list a sound with an empty path. Its
// entry is still listed: a new sound must not share it, or one delete would
// empty both rows.
TEST(SoundListModelTest, AListedEntryWithAnEmptyPathIsNotFree) {
  for (SameSoundName rule : kRules) {
    SCOPED_TRACE(static_cast<int>(rule));
    wchar_t paths[kSoundCount][kPathChars] = {};
    int32_t volumes[kSoundCount] = {30, 70};
    wcscpy(paths[1], L"C:\\a\\song.mp3");
    SoundListModel model;
    LoadSoundListModel(paths, volumes, 2, &model);
    ASSERT_EQ(Rows(model), (std::vector<std::wstring>{L"@30", L"C:\\a\\song.mp3@70"}));

    const SoundListResult added = AddOrChangeSound(model, L"C:\\b\\chime.wav", 20, rule);
    EXPECT_EQ(added.change, SoundListChange::Added);
    EXPECT_EQ(added.position, 2);
    EXPECT_EQ(model.order[2], 2) << "the entry no row lists";
    EXPECT_EQ(Rows(model), (std::vector<std::wstring>{L"@30", L"C:\\a\\song.mp3@70", L"C:\\b\\chime.wav@20"}));

    ASSERT_TRUE(RemoveSoundAt(model, 2));
    EXPECT_EQ(Rows(model), (std::vector<std::wstring>{L"@30", L"C:\\a\\song.mp3@70"}));
    int32_t count = -1;
    StoreSoundListModel(model, paths, volumes, &count);
    EXPECT_EQ(count, 2);
    EXPECT_STREQ(paths[1], L"C:\\a\\song.mp3");
  }
}

// A count out of range reads as many rows as there are entries, and an entry
// without its NUL is cut at the field's end.
TEST(SoundListModelTest, TheLoadBoundsTheCountAndTheTexts) {
  wchar_t paths[kSoundCount][kPathChars];
  for (auto& path : paths) wmemset(path, L'x', kPathChars);
  int32_t volumes[kSoundCount] = {};
  SoundListModel model;
  LoadSoundListModel(paths, volumes, 99, &model);
  EXPECT_EQ(SoundListRows(model), kSoundCount);
  EXPECT_EQ(wcsnlen(model.paths[9], kPathChars), static_cast<size_t>(kPathChars - 1));
  LoadSoundListModel(paths, volumes, -3, &model);
  EXPECT_EQ(SoundListRows(model), 0);
}

// The programs differ in what a listed name does: the scheduler's last row of
// that name takes the new file and volume, the countdown's first row only the
// volume.
TEST(SoundListModelTest, ASameNameChangesTheRowByTheProgramsRule) {
  const struct {
    SameSoundName rule;
    SoundListChange sameFileSameVolume;
    std::vector<std::wstring> afterOtherFile;
  } cases[] = {
      {SameSoundName::ChangePathAndVolume, SoundListChange::None,
       {L"C:\\a\\bell.wav@40", L"C:\\b\\gong.mp3@50", L"D:\\new\\bell.mp3@40"}},
      {SameSoundName::ChangeVolumeOnly, SoundListChange::None,
       {L"C:\\a\\bell.wav@40", L"C:\\b\\gong.mp3@50", L"C:\\c\\bell.wma@60"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.rule));
    // Two rows of one name, as only a damaged file has them.
    wchar_t paths[kSoundCount][kPathChars] = {};
    int32_t volumes[kSoundCount] = {40, 50, 60};
    wcscpy(paths[0], L"C:\\a\\bell.wav");
    wcscpy(paths[1], L"C:\\b\\gong.mp3");
    wcscpy(paths[2], L"C:\\c\\bell.wma");
    SoundListModel model;
    LoadSoundListModel(paths, volumes, 3, &model);
    EXPECT_EQ(AddOrChangeSound(model, L"C:\\b\\gong.mp3", 50, c.rule).change, c.sameFileSameVolume);
    const SoundListResult changed = AddOrChangeSound(model, L"D:\\new\\bell.mp3", 40, c.rule);
    EXPECT_EQ(changed.change, c.rule == SameSoundName::ChangePathAndVolume ? SoundListChange::Changed
                                                                          : SoundListChange::None);
    EXPECT_EQ(changed.position, c.rule == SameSoundName::ChangePathAndVolume ? 2 : 0);
    EXPECT_EQ(Rows(model), c.afterOtherFile);
  }
}

}  // namespace
