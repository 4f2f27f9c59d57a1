// The appearance dialog's placement and swatch geometry; the dialog itself is
// driven on a real run in tests/engine/appearance_dialog_test.cpp.
#include "appearance_dialog.h"

#include <gtest/gtest.h>

namespace {

TEST(AppearanceDialogPlacement, GoesBesideTheCountWindowTowardsTheMiddle) {
  const RECT work = {0, 0, 1280, 760};
  const SIZE dialog = {207, 307};
  struct Case {
    const char* name;
    RECT count;
    POINT expected;
  };
  const Case cases[] = {
      {"upper left: right of it, centred", {300, 300, 421, 344}, {424, 169}},
      {"upper right: left of it", {900, 300, 1021, 344}, {690, 169}},
      {"near the top: held at the top", {100, 10, 221, 54}, {224, 0}},
      {"lower half near the bottom: held at the bottom", {100, 700, 221, 744}, {224, 453}},
      {"lower right, room below: centred", {1000, 400, 1121, 444}, {790, 269}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const POINT at = PlaceBesideCountWindow(c.count, work, dialog);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
  }
}

// A taskbar at the left or the top moves the work area's middle with it.
TEST(AppearanceDialogPlacement, TheHalvesAreThoseOfAWorkAreaThatDoesNotStartAtZero) {
  struct Case {
    const char* name;
    RECT work;
    RECT count;
    SIZE dialog;
    POINT expected;
  };
  const Case cases[] = {
      // Middle x 740: a count window at 700 lies in the left half.
      {"taskbar left: left half", {200, 0, 1280, 800}, {700, 300, 821, 344}, {207, 307}, {824, 169}},
      {"taskbar left: right half", {200, 0, 1280, 800}, {760, 300, 881, 344}, {207, 307}, {550, 169}},
      // Middle y 450: a count window at 400 lies in the upper half, so a tall
      // dialog is held at the work area's top.
      {"taskbar top: upper half", {0, 100, 1280, 800}, {100, 400, 221, 444}, {207, 700}, {224, 100}},
      {"taskbar top: lower half held at the bottom", {0, 100, 1280, 800}, {100, 740, 221, 784}, {207, 307}, {224, 493}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const POINT at = PlaceBesideCountWindow(c.count, c.work, c.dialog);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
  }
}

TEST(AppearanceDialogSwatch, HitAreaAndRepaintAreaScaleWithTheControls) {
  const RECT at96 = AppearanceSwatchRectAt(96, 96);
  EXPECT_EQ(at96.left, 139);
  EXPECT_EQ(at96.top, 129);
  EXPECT_EQ(at96.right, 172);
  EXPECT_EQ(at96.bottom, 148);
  const RECT at144 = AppearanceSwatchRectAt(144, 144);
  EXPECT_EQ(at144.left, 209);   // 139 * 1.5, rounded
  EXPECT_EQ(at144.top, 194);    // 129 * 1.5, rounded
  EXPECT_EQ(at144.right, 258);
  EXPECT_EQ(at144.bottom, 222);
  const RECT repaint = AppearanceSwatchRepaintRectAt(144, 120);
  EXPECT_EQ(repaint.left, 209);
  EXPECT_EQ(repaint.top, 79);   // 63 * 1.25, rounded
  EXPECT_EQ(repaint.right, 258);
  EXPECT_EQ(repaint.bottom, 185);
}

TEST(AppearanceDialogState, SnapshotAndSavedValuesCarryEveryField) {
  AppearanceState state = {};
  state.form = Custom;
  state.textColor = {0, 1, 2, 3};
  state.skinTextColor = {0, 4, 5, 6};
  state.englishLabels = 1;
  state.textBackgroundIndex = 4;
  state.typeIndex = 5;
  state.savedTypeNormal = 1;
  state.savedBackgroundCustom = 2;
  state.savedTypeCustom = 3;
  state.savedColor = {0, 7, 8, 9};
  wcscpy(state.skinName, L"Sample");
  const AppearanceSnapshot snapshot = TakeAppearanceSnapshot(state);
  EXPECT_EQ(snapshot.form, Custom);
  EXPECT_EQ(snapshot.textColor.blue, 3);
  EXPECT_EQ(snapshot.skinTextColor.red, 4);
  EXPECT_EQ(snapshot.englishLabels, 1);
  EXPECT_EQ(snapshot.textBackgroundIndex, 4);
  EXPECT_EQ(snapshot.typeIndex, 5);
  EXPECT_STREQ(snapshot.skinName, L"Sample");

  AppearanceState other = {};
  StoreSavedValues(snapshot.saved, &other);
  EXPECT_EQ(other.savedTypeNormal, 1);
  EXPECT_EQ(other.savedBackgroundCustom, 2);
  EXPECT_EQ(other.savedTypeCustom, 3);
  EXPECT_EQ(other.savedColor.green, 8);
  EXPECT_EQ(other.typeIndex, 0) << "only the saved values";
}

}  // namespace
