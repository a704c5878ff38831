#include "plants/bush.h"

#include <gtest/gtest.h>

#include "plant_capture.h"
#include "plants/tree.h"

namespace {

using namespace plantcapture;

using BushTest = PlantTest;

constexpr GLuint kRamo = 1, kFoglie = 2, kChioma = 3, kPlant = 4;

GLuint BuildBush(std::int32_t NumLevel) {
  GLuint Bush = 0;
  BushAdvancedFractal3D(Bush, MarkLeaf, MarkWood, MarkLeafMaterial, 12, NumLevel, 0.2f);
  return Bush;
}

TEST_F(BushTest, DrawsSegmentsAndCrownsFollowTheDepth) {
  struct Case {
    std::int32_t numLevel;
    std::uint64_t draws;
    int segments, crowns;
  };
  const Case cases[] = {{0, 2, 0, 1}, {1, 17, 0, 3}, {2, 1 + 52 + 9, 3, 9}, {4, 602, 39, 81}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "NumLevel " << c.numLevel);
    ResetRandom();
    InstallGLCapture();
    Markers = {};
    ASSERT_EQ(BuildBush(c.numLevel), kPlant);
    EXPECT_EQ(RandomDraws(), c.draws);
    const auto& plant = CapturedListCalls(kPlant);
    EXPECT_EQ(CountListCalls(plant, kRamo), c.segments);
    EXPECT_EQ(CountListCalls(plant, kChioma), c.crowns);
    EXPECT_EQ(CountCalls(plant, "glBegin"), 0);
    // Standing one unit below the list's origin, inside one block.
    ASSERT_EQ(PlantBlocks(plant).size(), 1u);
    const long drop = FindCall(plant, "glTranslatef", 0);
    ASSERT_GE(drop, 0);
    EXPECT_EQ(plant[static_cast<std::size_t>(drop)].arg(1), -1);
    // Executed, every crown shows eight leaves; the stacks come back.
    ExecuteCapturedList(kPlant);
    EXPECT_EQ(CapturedListExecutions(kFoglie), 8u * static_cast<unsigned>(c.crowns));
    EXPECT_EQ(CapturedStackDepth(GL_MODELVIEW), 1);
    EXPECT_EQ(CapturedAttribStackDepth(), 0);
    EXPECT_EQ(Markers.wood, 1);
    EXPECT_EQ(Markers.leaf, 1);
    EXPECT_EQ(Markers.leafMaterial, 1);
  }
}

TEST_F(BushTest, RecursionAnglesReplayTheSequenceInOrder) {
  BuildBush(1);
  // The discarded draw, the root's twist, then per branch the saved-seed
  // pair, heading and tilt, and the tip's twist.
  ResetRandom();
  static_cast<void>(Random());
  std::vector<double> yaws{NextAngle(180, 0)};
  std::vector<double> tilts;
  for (double b : {110.0, -130.0, -20.0}) {
    static_cast<void>(Random());
    static_cast<void>(Random());
    yaws.push_back(NextAngle(40, b));
    tilts.push_back(NextAngle(20, 30));
    yaws.push_back(NextAngle(180, 0));
  }
  const auto& plant = CapturedListCalls(kPlant);
  EXPECT_EQ(Rotations(plant, 0, 1, 0), yaws);
  EXPECT_EQ(Rotations(plant, 0, 0, 1), tilts);
}

TEST_F(BushTest, EachPlantContinuesTheSequenceOfThePlantsBeforeIt) {
  // Same calls in a fresh run: same bushes. A second bush in one run, or a
  // tree built first, gives a different bush.
  const auto yawsOf = [](GLuint list) { return Rotations(CapturedListCalls(list), 0, 1, 0); };
  const GLuint first = BuildBush(3);
  const auto firstYaws = yawsOf(first);
  const GLuint second = BuildBush(3);
  EXPECT_NE(yawsOf(second), firstYaws);

  ResetRandom();
  InstallGLCapture();
  EXPECT_EQ(yawsOf(BuildBush(3)), firstYaws);

  ResetRandom();
  InstallGLCapture();
  GLuint tree = 0;
  TreeAdvancedFractal3D(tree, MarkLeaf, MarkWood, MarkLeafMaterial, 12, 2, 0.2f);
  GLuint bush = 0;
  BushAdvancedFractal3D(bush, MarkLeaf, MarkWood, MarkLeafMaterial, 12, 3, 0.2f);
  EXPECT_NE(yawsOf(bush), firstYaws);
}

}  // namespace
