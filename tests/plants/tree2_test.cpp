#include "plants/tree2.h"

#include <gtest/gtest.h>

#include "plant_capture.h"

namespace {

using namespace plantcapture;

using Tree2Test = PlantTest;

constexpr GLuint kRamo = 1, kFoglie = 2, kChioma = 3, kFusto = 4, kPlant = 5;

GLuint BuildTree2(std::int32_t NumLevel) {
  GLuint Tree = 0;
  Tree2AdvancedFractal3D(Tree, MarkLeaf, MarkWood, MarkLeafMaterial, 12, NumLevel, 0.4f);
  return Tree;
}

TEST_F(Tree2Test, ShallowTreesHaveAFixedShape) {
  // Depth 1: the root always splits. Depth 2: the root splits, the three
  // level-1 nodes continue as single segments.
  struct Case {
    std::int32_t numLevel;
    std::uint64_t draws;
    int crowns;  // per block
    int fusto;   // in the first block
    int ramo[3];
  };
  const Case cases[] = {
      {0, 260 + 1 + 3 * 1, 1, 0, {0, 0, 0}},
      {1, 260 + 1 + 3 * 17, 3, 1, {0, 1, 1}},
      {2, 260 + 1 + 3 * (14 + 3 * 6 + 3), 3, 1, {3, 4, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "NumLevel " << c.numLevel);
    ResetRandom();
    InstallGLCapture();
    ASSERT_EQ(BuildTree2(c.numLevel), kPlant);
    EXPECT_EQ(RandomDraws(), c.draws);
    const auto blocks = PlantBlocks(CapturedListCalls(kPlant));
    ASSERT_EQ(blocks.size(), 3u);
    for (std::size_t b = 0; b < 3; ++b) {
      EXPECT_EQ(CountListCalls(blocks[b], kChioma), c.crowns) << "block " << b;
      EXPECT_EQ(CountListCalls(blocks[b], kRamo), c.ramo[b]) << "block " << b;
      EXPECT_EQ(CountListCalls(blocks[b], kFusto), b == 0 ? c.fusto : 0) << "block " << b;
    }
  }
}

TEST_F(Tree2Test, SplitAndSingleNodesDrawInOrder) {
  BuildTree2(2);
  ResetRandom();
  for (int i = 0; i < 261; ++i) static_cast<void>(Random());
  // Root: split test, yaw; per child: pair, yaw, lean, then the single
  // node below it: split test, yaw, pair, yaw about −130, lean, tip yaw.
  std::vector<double> yaws, leans;
  static_cast<void>(Random(1));
  yaws.push_back(NextAngle(180, 0));
  for (double b : {110.0, -130.0, -20.0}) {
    static_cast<void>(Random());
    static_cast<void>(Random());
    yaws.push_back(NextAngle(40, b));
    leans.push_back(NextAngle(20, 30));
    static_cast<void>(Random(1));
    yaws.push_back(NextAngle(180, 0));
    static_cast<void>(Random());
    static_cast<void>(Random());
    yaws.push_back(NextAngle(40, -130));
    leans.push_back(NextAngle(20, 30));
    yaws.push_back(NextAngle(180, 0));
  }
  const auto blocks = PlantBlocks(CapturedListCalls(kPlant));
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(Rotations(blocks[0], 0, 1, 0), yaws);
  EXPECT_EQ(Rotations(blocks[0], 0, 0, 1), leans);
}

TEST_F(Tree2Test, DeepTreeDrawsMatchItsSplits) {
  BuildTree2(4);
  std::uint64_t draws = 261;
  for (const auto& block : PlantBlocks(CapturedListCalls(kPlant))) {
    int nodes = 0;
    for (const auto& c : block) nodes += (Is(c, "glScalef") && c.arg(0) == static_cast<double>(0.7f)) ? 1 : 0;
    const int children = static_cast<int>(Rotations(block, 0, 0, 1).size());
    const int tips = CountListCalls(block, kChioma);
    const int splits = (children - nodes) / 2;
    const int singles = nodes - splits;
    EXPECT_EQ(children + 1, nodes + tips);
    EXPECT_EQ(CountListCalls(block, kRamo) + CountListCalls(block, kFusto), nodes);
    EXPECT_GE(tips, 3);
    EXPECT_LE(tips, 27);
    draws += static_cast<std::uint64_t>(14 * splits + 6 * singles + tips);
  }
  EXPECT_EQ(RandomDraws(), draws);
}

TEST_F(Tree2Test, SegmentCarriesAJointSphereAndLeavesHangLower) {
  const GLuint tree = BuildTree2(3);
  const auto& segment = CapturedListCalls(kRamo);
  EXPECT_EQ(FindCall(segment, "glColor4f", kTagWood), 0);
  const long turn = FindCall(segment, "glRotatef", -90);
  const long sphere = FindCall(segment, "glBegin", GL_TRIANGLE_STRIP);
  ASSERT_GE(turn, 0);
  EXPECT_LT(sphere, turn);
  EXPECT_EQ(CountCalls(CapturedListCalls(kFusto), "glBegin"), 10);  // no sphere on the trunk

  const auto& leaves = CapturedListCalls(kFoglie);
  const long drop = FindCall(leaves, "glTranslatef", 0);
  ASSERT_GE(drop, 0);
  EXPECT_FLOAT_EQ(static_cast<float>(leaves[static_cast<std::size_t>(drop)].arg(1)), -0.35f);
  EXPECT_LT(drop, FindCall(leaves, "glColor4f", kTagLeaf));
  EXPECT_EQ(Rotations(CapturedListCalls(kChioma), 1, 0, 0),
            (std::vector<double>{50, 60, 50, 60, 50, 60, 50, 60}));

  ExecuteCapturedList(tree);
  EXPECT_EQ(CapturedStackDepth(GL_MODELVIEW), 1);
  EXPECT_EQ(CapturedAttribStackDepth(), 0);
  EXPECT_EQ(Markers.leaf, 1);
}

}  // namespace
