// Palm generator: draws, the stem, the crown's 27 leaves and the angles.
#include "plants/palm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "plant_probe.h"

namespace {

using namespace plantprobe;

class PalmGenerator : public PlantFixture {};

constexpr GLuint Ramo = 1, Foglie = 2, Chioma = 3, Fusto = 4, Plant = 5;

// 4N + 2 draws; the trunk once below N - 1 segments, then the crown. A
// negative depth is taken as 0 (the crown alone) instead of never ending.
TEST_F(PalmGenerator, StemByDepth) {
  struct Case {
    std::int32_t NumLevel;
    std::uint64_t draws;
    int trunks, segments;
  };
  for (const Case& c : {Case{-3, 2, 0, 0}, Case{0, 2, 0, 0}, Case{1, 6, 1, 0}, Case{4, 18, 1, 3}}) {
    SCOPED_TRACE(c.NumLevel);
    ResetRandom();
    InstallGLCapture();
    Runs().clear();
    GLuint Palma = 0;
    PalmAdvancedFractal3D(Palma, LeafPoint, MatWood, MatGreen, 12, c.NumLevel, 0.2f);
    ASSERT_EQ(Palma, Plant);
    EXPECT_EQ(RandomDraws(), c.draws);
    EXPECT_EQ(CallsOf(Plant, Fusto), c.trunks);
    EXPECT_EQ(CallsOf(Plant, Ramo), c.segments);
    EXPECT_EQ(CallsOf(Plant, Chioma), 1);
    ExpectBalanced(Plant);
    EXPECT_EQ(Primitives(GL_POINTS), 27);
    // Material twice (segment, trunk), leaf material and model once; all
    // before any draw.
    ASSERT_EQ(Runs().size(), 4u);
    for (const CallbackRun& r : Runs()) EXPECT_EQ(r.draws, 0u);
  }
}

// Component lists: each segment carries its joint sphere (Quality bands)
// over the ten mesh bands; the crown is one segment and 27 leaves.
TEST_F(PalmGenerator, ComponentLists) {
  GLuint Palma = 0;
  PalmAdvancedFractal3D(Palma, LeafPoint, MatWood, MatGreen, 12, 2, 0.2f);
  EXPECT_EQ(Count(Ramo, "glBegin"), 12 + 10);
  EXPECT_EQ(Count(Fusto, "glBegin"), 12 + 10);
  EXPECT_EQ(ColourMarks(Ramo, 0.5f), 1);
  EXPECT_EQ(ColourMarks(Fusto, 0.5f), 1);
  EXPECT_EQ(ColourMarks(Foglie, 0), 1);
  EXPECT_EQ(CallsOf(Chioma, Ramo), 1);
  EXPECT_EQ(CallsOf(Chioma, Foglie), 27);
  // Three whorls of 3, 4 and 5 passes, each climbing 0.111.
  int passes = 0;
  for (const CapturedCall& c : CapturedListCalls(Chioma))
    passes += (Is(c, "glTranslatef") && c.arg(1) == static_cast<double>(0.111f)) ? 1 : 0;
  EXPECT_EQ(passes, 12);
  // Tips: 255 for whorl A, 240 for B, 220/195/175/155 for C, the last three
  // of C flipped about z.
  auto tips = Rotations(Chioma, 1, 0, 0);
  std::sort(tips.begin(), tips.end());
  std::vector<double> expected;
  for (double tip : {155, 175, 195, 220}) expected.insert(expected.end(), 5, tip);
  expected.insert(expected.end(), 4, 240);
  expected.insert(expected.end(), 3, 255);
  EXPECT_EQ(tips, expected);
  EXPECT_EQ(Rotations(Chioma, 0, 0, 1), std::vector<double>(15, 180));
  ExpectBalanced(Chioma);
  // The joint sphere (its bands first) is centred on the segment's top.
  ExecuteCapturedList(Ramo);
  const CapturedPrimitive& lastBand = CapturedPrimitives()[11];
  for (std::size_t i = 0; i < lastBand.first + lastBand.count; ++i) {
    const CapturedVertex& v = CapturedVertices()[i];
    EXPECT_NEAR(std::hypot(v.x, v.y - 1, v.z), 0.057, 1e-6);
  }
}

// NumLevel 1, replayed: discarded draw, twist, pair, bend 15..35, crown twist.
TEST_F(PalmGenerator, AnglesFollowTheDrawOrder) {
  const std::vector<double> d = FreshDraws(6);
  GLuint Palma = 0;
  PalmAdvancedFractal3D(Palma, LeafPoint, MatWood, MatGreen, 12, 1, 0.2f);
  EXPECT_EQ(Rotations(Plant, 0, 1, 0),
            (std::vector<double>{Angle(d[1], 180, 0), Angle(d[5], 180, 0)}));
  EXPECT_EQ(Rotations(Plant, 0, 0, 1), (std::vector<double>{Angle(d[4], 20, 15)}));
  auto r = Rotations(Plant, 0, 1, 0);
  std::vector<double> e{Angle(d[1], 180, 0), Angle(d[5], 180, 0)};
}

}  // namespace
