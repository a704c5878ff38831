// Grass generator: tuft lists first, then the placement tree, read back
// from the patch list and checked against its own rules.
#include "plants/grass.h"

#include <gtest/gtest.h>

#include <cmath>

#include "plant_probe.h"

namespace {

using namespace plantprobe;

void MatShort() {
  Runs().push_back({"MatShort", RandomDraws()});
  glColor3f(0.1f, 0, 0);
}
void MatMiddle() {
  Runs().push_back({"MatMiddle", RandomDraws()});
  glColor3f(0.2f, 0, 0);
}
void MatTall() {
  Runs().push_back({"MatTall", RandomDraws()});
  glColor3f(0.3f, 0, 0);
}

constexpr GLuint Erba1 = 1, Erba2 = 2, Erba3 = 3, Patch = 4;

// Reads the patch list back into its placement tree, checking every
// activation's frame, its children's yaws and the tuft each level-3
// activation calls.
class PatchReader {
 public:
  explicit PatchReader(GLuint list) : calls_(CapturedListCalls(list)) {}

  // Walks the whole patch; returns the draws the tree implies.
  std::uint64_t Read() {
    Expect("glPushMatrix");
    Expect("glPushAttrib");
    Expect("glScalef");
    const CapturedCall& down = Expect("glTranslatef");
    EXPECT_EQ(down.arg(1), static_cast<double>(-2.185f));
    Activation(0);
    Expect("glPopAttrib");
    Expect("glPopMatrix");
    EXPECT_EQ(at_, calls_.size());
    return draws_;
  }

  int tufts[4] = {};  // calls of Erba1..Erba3 (index 1..3)
  int childCounts[7] = {};  // activations by number of children

 private:
  const CapturedCall& Expect(const char* name) {
    static const CapturedCall none{};
    if (at_ >= calls_.size()) {
      ADD_FAILURE() << "list ends, expected " << name;
      return none;
    }
    const CapturedCall& c = calls_[at_++];
    EXPECT_STREQ(c.name, name) << "at call " << at_ - 1;
    return c;
  }
  bool Next(const char* name) const { return at_ < calls_.size() && Is(calls_[at_], name); }

  // One activation of a level below 4; returns the tuft it called (0: none).
  GLuint Activation(int level) {
    GLuint tuft = 0;
    if (level > 2 && Next("glCallList")) tuft = static_cast<GLuint>(Expect("glCallList").arg(0));
    if (tuft != 0) ++tufts[tuft];
    Expect("glPushMatrix");
    Expect("glRotatef");
    EXPECT_EQ(Expect("glTranslatef").arg(1), 1);
    EXPECT_EQ(Expect("glScalef").arg(0), static_cast<double>(0.7f));
    std::vector<GLuint> childTufts;
    std::vector<double> yaws;
    while (Next("glPushMatrix")) {
      Expect("glPushMatrix");
      yaws.push_back(Expect("glRotatef").arg(0));
      const CapturedCall& step = Expect("glTranslatef");
      EXPECT_EQ(step.arg(0), 1.5);
      EXPECT_EQ(step.arg(1), 0);
      EXPECT_EQ(step.arg(2), 1.5);
      childTufts.push_back(level + 1 < 4 ? Activation(level + 1) : 0);
      Expect("glPopMatrix");
    }
    Expect("glPopMatrix");
    const int children = static_cast<int>(yaws.size());
    if (children < 4 || children > 6) {
      ADD_FAILURE() << "activation with " << children << " children";
      return tuft;
    }
    ++childCounts[children];
    draws_ += 2 + 3 * static_cast<std::uint64_t>(children);
    const int RndTmp = children - 1;
    for (int I = 0; I < children; ++I) {
      const double base = 360.0 / RndTmp * I;
      EXPECT_GE(yaws[static_cast<std::size_t>(I)], static_cast<float>(base));
      EXPECT_LE(yaws[static_cast<std::size_t>(I)], base + 40);
      if (level == 2) {
        // Four children: short tufts; five: middle; six: only the sixth, tall.
        const GLuint expected = RndTmp == 3 ? Erba1 : RndTmp == 4 ? Erba2 : (I == 5 ? Erba3 : 0);
        EXPECT_EQ(childTufts[static_cast<std::size_t>(I)], expected) << "child " << I;
      }
    }
    return tuft;
  }

  const std::vector<CapturedCall>& calls_;
  std::size_t at_ = 0;
  std::uint64_t draws_ = 1;  // the discarded draw
};

class GrassGenerator : public PlantFixture {};

// The tuft lists and their materials come before any draw; the patch's
// draws, frames, yaws and tufts agree with the placement rules.
TEST_F(GrassGenerator, PatchFollowsThePlacementTree) {
  GLuint Erba = 0;
  GrassAdvancedFractal3D(Erba, MatShort, MatMiddle, MatTall, 6, 1, 2);
  ASSERT_EQ(Erba, Patch);
  ASSERT_EQ(Runs().size(), 3u);
  EXPECT_EQ(Runs()[0].name, "MatShort");
  EXPECT_EQ(Runs()[1].name, "MatMiddle");
  EXPECT_EQ(Runs()[2].name, "MatTall");
  for (const CallbackRun& r : Runs()) EXPECT_EQ(r.draws, 0u);
  EXPECT_EQ(ColourMarks(Erba1, 0.1f), 1);
  EXPECT_EQ(ColourMarks(Erba2, 0.2f), 1);
  EXPECT_EQ(ColourMarks(Erba3, 0.3f), 1);

  PatchReader reader(Patch);
  EXPECT_EQ(reader.Read(), RandomDraws());
  // The demo's sequence gives each kind of activation somewhere.
  EXPECT_GT(reader.childCounts[4], 0);
  EXPECT_GT(reader.childCounts[5], 0);
  EXPECT_GT(reader.childCounts[6], 0);
  EXPECT_GT(reader.tufts[1] + reader.tufts[2] + reader.tufts[3], 0);
  ExpectBalanced(Patch);
  EXPECT_EQ(CapturedListExecutions(Erba1) + CapturedListExecutions(Erba2) +
                CapturedListExecutions(Erba3),
            static_cast<std::uint64_t>(reader.tufts[1] + reader.tufts[2] + reader.tufts[3]));
}

// A later start in the sequence gives another tree, read by the same rules.
TEST_F(GrassGenerator, LaterPatchFollowsTheSameRules) {
  for (int i = 0; i < 5; ++i) static_cast<void>(Random());
  GLuint Erba = 0;
  GrassAdvancedFractal3D(Erba, MatShort, MatMiddle, MatTall, 6, 1, 2);
  PatchReader reader(Patch);
  EXPECT_EQ(reader.Read() + 5, RandomDraws());
}

// Tufts with the demo's arguments: one band of 7 column pairs, radius
// Size / Distance at the top and a third of it at the ground, heights 1,
// 2 and 2.5 times the radius.
TEST_F(GrassGenerator, TuftShapes) {
  GLuint Erba = 0;
  GrassAdvancedFractal3D(Erba, MatShort, MatMiddle, MatTall, 6, 1, 2);
  const GLuint tufts[3] = {Erba1, Erba2, Erba3};
  const double heights[3] = {0.5, 1.0, 1.25};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    ExecuteCapturedList(tufts[k]);
    ASSERT_EQ(CapturedPrimitives().size(), 1u);
    const CapturedPrimitive& strip = CapturedPrimitives()[0];
    EXPECT_EQ(strip.count, 14u);
    EXPECT_TRUE(strip.twoSide);
    EXPECT_FALSE(strip.cullFace);
    EXPECT_TRUE(strip.alphaTest);
    for (std::size_t v = 0; v < strip.count; ++v) {
      const CapturedVertex& p = CapturedVertices()[strip.first + v];
      const bool top = v % 2 == 0;
      EXPECT_NEAR(p.y, top ? heights[k] : 0, 1e-6);
      EXPECT_NEAR(RadiusY(p), top ? 0.5 : 0.5 / 3, 1e-6);
    }
  }
}

}  // namespace
