// Root generator: draws, segments, angles and the frame of the root list.
#include "plants/radix.h"

#include <gtest/gtest.h>

#include "plant_probe.h"

namespace {

using namespace plantprobe;

class RadixGenerator : public PlantFixture {};

// Draws and segments by depth: 1 + 17 per non-end activation; segments
// only from level 1 on. A negative depth ends at once, like depth 0.
TEST_F(RadixGenerator, DrawsAndSegmentsByDepth) {
  struct Case {
    std::int32_t NumLevel;
    std::uint64_t draws;
    std::uint64_t segments;
  };
  for (const Case& c : {Case{-1, 1, 0}, Case{0, 1, 0}, Case{1, 18, 0}, Case{2, 86, 4}, Case{3, 358, 20}}) {
    SCOPED_TRACE(c.NumLevel);
    ResetRandom();
    InstallGLCapture();
    Runs().clear();
    GLuint Radix = 0;
    RadixAdvancedFractal3D(Radix, MatWood, 15, 12, c.NumLevel, 0.2f);
    EXPECT_EQ(RandomDraws(), c.draws);
    // Segment list first, then the root list.
    ASSERT_EQ(Radix, 2u);
    const GLuint Ramo = 1;
    EXPECT_EQ(static_cast<std::uint64_t>(CallsOf(Radix, Ramo)), c.segments);
    ExpectBalanced(Radix);
    EXPECT_EQ(CapturedListExecutions(Ramo), c.segments);
    // The material runs once, while the segment is compiled, before any draw.
    ASSERT_EQ(Runs().size(), 1u);
    EXPECT_EQ(Runs()[0].draws, 0u);
    EXPECT_EQ(ColourMarks(Ramo, 0.5f), 1);
    EXPECT_EQ(ColourMarks(Radix, 0.5f), 0);
  }
}

// With no depth the root list holds only its frame.
TEST_F(RadixGenerator, DepthZeroIsOnlyTheFrame) {
  GLuint Radix = 0;
  RadixAdvancedFractal3D(Radix, MatWood, 15, 12, 0, 0.2f);
  std::vector<std::string> names;
  for (const CapturedCall& c : CapturedListCalls(Radix)) names.emplace_back(c.name);
  EXPECT_EQ(names, (std::vector<std::string>{"glPushMatrix", "glPushAttrib", "glRotatef",
                                             "glTranslatef", "glPopAttrib", "glPopMatrix"}));
  const auto turn = Rotations(Radix, 1, 0, 0);
  ASSERT_EQ(turn.size(), 1u);
  EXPECT_EQ(turn[0], 180);
}

// NumLevel 1: the draws replayed in order — twist, then per root the pair,
// the heading (110, 225, 290, 365) and the tilt (Angle + 0..20).
TEST_F(RadixGenerator, AnglesFollowTheDrawOrder) {
  const std::vector<double> d = FreshDraws(18);
  GLuint Radix = 0;
  RadixAdvancedFractal3D(Radix, MatWood, 15, 12, 1, 0.2f);
  const auto yaws = Rotations(Radix, 0, 1, 0);
  const auto tilts = Rotations(Radix, 0, 0, 1);
  ASSERT_EQ(yaws.size(), 5u);
  ASSERT_EQ(tilts.size(), 4u);
  EXPECT_EQ(yaws[0], Angle(d[1], 180, 0));
  const double headings[4] = {110, 225, 290, 365};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const std::size_t base = 2 + 4 * static_cast<std::size_t>(i);  // after the pair
    EXPECT_EQ(yaws[static_cast<std::size_t>(i) + 1], Angle(d[base + 2], 40, headings[i]));
    EXPECT_EQ(tilts[static_cast<std::size_t>(i)], Angle(d[base + 3], 20, 15));
  }
}

// The tilt range follows Angle; the fourth heading stays above 365.
TEST_F(RadixGenerator, TiltsFollowAngle) {
  for (std::int32_t A : {0, 15, -40}) {
    SCOPED_TRACE(A);
    ResetRandom();
    InstallGLCapture();
    GLuint Radix = 0;
    RadixAdvancedFractal3D(Radix, MatWood, A, 6, 3, 1);
    const auto tilts = Rotations(Radix, 0, 0, 1);
    ASSERT_EQ(tilts.size(), 84u);  // four per activation at levels 0..2
    for (double t : tilts) {
      EXPECT_GE(t, A);
      EXPECT_LT(t, A + 20);
    }
  }
}

}  // namespace
