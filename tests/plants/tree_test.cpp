#include "plants/tree.h"

#include <gtest/gtest.h>

#include "plant_capture.h"

namespace {

using namespace plantcapture;

using TreeTest = PlantTest;

// A fresh capture names lists from 1, in compile order.
constexpr GLuint kRamo = 1, kFoglie = 2, kChioma = 3, kFusto = 4, kPlant = 5;

GLuint BuildTree(std::int32_t Quality, std::int32_t NumLevel) {
  GLuint Tree = 0;
  TreeAdvancedFractal3D(Tree, MarkLeaf, MarkWood, MarkLeafMaterial, Quality, NumLevel, 0.2f);
  return Tree;
}

TEST_F(TreeTest, DrawsAndListCallsFollowTheDepth) {
  struct Case {
    std::int32_t quality, numLevel;
    std::uint64_t draws;
    int ramo1, chioma1, ramo2, chioma2;  // per recursion: main, then the upper one
  };
  const Case cases[] = {
      {12, 4, 260 + 1 + 601 + 601, 39, 81, 40, 81},
      {12, 0, 260 + 1 + 1 + 1, 0, 1, 0, 1},
      {8, 2, 180 + 1 + 61 + 61, 3, 9, 4, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "Quality " << c.quality << " NumLevel " << c.numLevel);
    ResetRandom();
    InstallGLCapture();
    ASSERT_EQ(BuildTree(c.quality, c.numLevel), kPlant);
    EXPECT_EQ(RandomDraws(), c.draws);
    const auto blocks = PlantBlocks(CapturedListCalls(kPlant));
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(CountListCalls(blocks[0], kFusto), c.numLevel > 0 ? 1 : 0);
    EXPECT_EQ(CountListCalls(blocks[0], kRamo), c.ramo1);
    EXPECT_EQ(CountListCalls(blocks[0], kChioma), c.chioma1);
    EXPECT_EQ(CountListCalls(blocks[1], kFusto), 0);
    EXPECT_EQ(CountListCalls(blocks[1], kRamo), c.ramo2);
    EXPECT_EQ(CountListCalls(blocks[1], kChioma), c.chioma2);
    // The plant list holds only transforms and list calls.
    EXPECT_EQ(CountCalls(CapturedListCalls(kPlant), "glBegin"), 0);
  }
}

TEST_F(TreeTest, ComponentListsRecordTheCallbacksOnceEach) {
  BuildTree(12, 2);
  EXPECT_EQ(Markers.wood, 2);  // segment and trunk
  EXPECT_EQ(Markers.leafMaterial, 1);
  EXPECT_EQ(Markers.leaf, 1);
  // Wood lists begin with the material; the leaf list calls the model
  // between the thin-geometry bracket's culling switch-off and switch-on.
  EXPECT_EQ(FindCall(CapturedListCalls(kRamo), "glColor4f", kTagWood), 0);
  EXPECT_EQ(FindCall(CapturedListCalls(kFusto), "glColor4f", kTagWood), 0);
  const auto& leaves = CapturedListCalls(kFoglie);
  EXPECT_EQ(FindCall(leaves, "glColor4f", kTagLeafMaterial), 0);
  const long model = FindCall(leaves, "glColor4f", kTagLeaf);
  EXPECT_LT(FindCall(leaves, "glDisable", GL_CULL_FACE), model);
  EXPECT_GT(FindCall(leaves, "glEnable", GL_CULL_FACE), model);
  // The crown: a segment and eight leaf clusters tipped 230° and 240°.
  const auto& crown = CapturedListCalls(kChioma);
  EXPECT_EQ(CountListCalls(crown, kRamo), 1);
  EXPECT_EQ(CountListCalls(crown, kFoglie), 8);
  EXPECT_EQ(Rotations(crown, 1, 0, 0), (std::vector<double>{230, 240, 230, 240, 230, 240, 230, 240}));
  // The trunk's mesh is recorded in its list, the plant list only calls it.
  EXPECT_EQ(CountCalls(CapturedListCalls(kFusto), "glBegin"), 10);
}

TEST_F(TreeTest, RecursionAnglesReplayTheSequenceInOrder) {
  BuildTree(12, 1);
  const auto& plant = CapturedListCalls(kPlant);
  // Replay: the trunk's 260 draws and the discarded one, then the root's
  // yaw and, per child, the saved-seed pair, yaw and lean; each child is a
  // tip with one yaw.
  ResetRandom();
  for (int i = 0; i < 261; ++i) static_cast<void>(Random());
  std::vector<double> yaws{NextAngle(180, 0)};
  std::vector<double> leans;
  for (double b : {110.0, -130.0, -20.0}) {
    static_cast<void>(Random());
    static_cast<void>(Random());
    yaws.push_back(NextAngle(40, b));
    leans.push_back(NextAngle(20, 30));
    yaws.push_back(NextAngle(180, 0));
  }
  const auto blocks = PlantBlocks(plant);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(Rotations(blocks[0], 0, 1, 0), yaws);
  EXPECT_EQ(Rotations(blocks[0], 0, 0, 1), leans);
  // The upper system starts turned 45° and continues the sequence.
  const auto upper = Rotations(blocks[1], 0, 1, 0);
  ASSERT_FALSE(upper.empty());
  EXPECT_EQ(upper[0], 45);
  EXPECT_EQ(upper[1], NextAngle(180, 0));
}

TEST_F(TreeTest, PlantListLeavesTheStacksAsItFoundThem) {
  const GLuint tree = BuildTree(6, 3);
  EXPECT_EQ(CapturedStackDepth(GL_MODELVIEW), 1);
  EXPECT_EQ(CapturedAttribStackDepth(), 0);
  ExecuteCapturedList(tree);
  EXPECT_EQ(CapturedStackDepth(GL_MODELVIEW), 1);
  EXPECT_EQ(CapturedAttribStackDepth(), 0);
  // 27 crowns per recursion, eight leaves each.
  EXPECT_EQ(CapturedListExecutions(kChioma), 54u);
  EXPECT_EQ(CapturedListExecutions(kFoglie), 432u);
}

TEST_F(TreeTest, SameArgumentsGiveTheSameTreeOnlyInAFreshRun) {
  const GLuint first = BuildTree(12, 3);
  const auto firstLog = CapturedListCalls(first);
  const auto firstTrunk = CapturedListCalls(kFusto);
  const GLuint second = BuildTree(12, 3);
  // (compared by angles: the second tree's list ids differ anyway)
  EXPECT_NE(Rotations(CapturedListCalls(second), 0, 1, 0), Rotations(firstLog, 0, 1, 0));
  EXPECT_FALSE(SameCalls(CapturedListCalls(second - 1), firstTrunk)) << "the second trunk's foot differs";

  ResetRandom();
  InstallGLCapture();
  const GLuint again = BuildTree(12, 3);
  EXPECT_TRUE(SameCalls(CapturedListCalls(again), firstLog));
  EXPECT_TRUE(SameCalls(CapturedListCalls(kFusto), firstTrunk));
}

TEST_F(TreeTest, NegativeDepthBuildsTheSameTipsAsDepthZero) {
  const GLuint tree = BuildTree(12, -2);
  EXPECT_EQ(RandomDraws(), 263u);
  EXPECT_EQ(CountListCalls(CapturedListCalls(tree), kChioma), 2);
}

}  // namespace
