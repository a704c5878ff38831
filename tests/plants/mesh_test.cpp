#include "plants/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "plant_capture.h"
#include "support/fault.h"

namespace {

using namespace plantcapture;

using MeshTest = PlantTest;

double Radius(const CapturedVertex& v) { return std::hypot(static_cast<double>(v.x), static_cast<double>(v.y)); }

// Radius of the bottom edge of every band (R2[0..9]) as the rows define it.
std::vector<double> BottomRadii(double R, std::vector<double> deltas) {
  std::vector<double> r{R};
  for (double d : deltas) r.push_back(static_cast<float>(R + d));
  return r;
}

// Checks the ten bands of a tube of height H with NumLine columns: strip
// shape, axis positions, radius at each band edge (top of band i = bottom
// of band i - 1, R at band 0), radial normals and texture coordinates.
void ExpectTube(const std::vector<double>& bottom, int NumLine, float R, float H, float TSize) {
  const auto& prims = CapturedPrimitives();
  const auto& verts = CapturedVertices();
  ASSERT_EQ(prims.size(), 10u);
  const float major = static_cast<float>(static_cast<double>(H) / 10);
  const float minor = static_cast<float>(2.0 * std::numbers::pi / NumLine);
  for (std::size_t i = 0; i < 10; ++i) {
    SCOPED_TRACE(testing::Message() << "band " << i);
    ASSERT_EQ(prims[i].mode, GL_TRIANGLE_STRIP);
    ASSERT_EQ(prims[i].count, static_cast<std::size_t>(2 * (NumLine + 1)));
    const double top = i == 0 ? R : bottom[i - 1];
    const float z0 = static_cast<float>(static_cast<double>(H) - static_cast<double>(i) * major);
    for (int j = 0; j <= NumLine; ++j) {
      const auto& t = verts[prims[i].first + 2 * static_cast<std::size_t>(j)];
      const auto& b = verts[prims[i].first + 2 * static_cast<std::size_t>(j) + 1];
      const double a = static_cast<double>(j) * minor;
      EXPECT_NEAR(Radius(t), top, 1e-6);
      EXPECT_NEAR(Radius(b), bottom[i], 1e-6);
      EXPECT_FLOAT_EQ(t.z, z0);
      EXPECT_NEAR(b.z, z0 - major, 1e-6);
      EXPECT_FLOAT_EQ(t.nx, static_cast<float>(std::cos(a)));
      EXPECT_FLOAT_EQ(b.ny, static_cast<float>(std::sin(a)));
      EXPECT_EQ(t.nz, 0.0f);
      EXPECT_FLOAT_EQ(t.s, static_cast<float>((static_cast<double>(H) + a) * R / TSize));
      EXPECT_EQ(b.s, t.s);
      EXPECT_FLOAT_EQ(t.t, static_cast<float>(static_cast<double>(H) / 5 / TSize));
      EXPECT_EQ(b.t, 0.0f);
    }
  }
}

TEST_F(MeshTest, SegmentRowsWidenBandByBandAndDrawNothing) {
  struct Case {
    MeshRow row;
    double step;
  };
  const Case cases[] = {{MeshRow::Radix, 0.002}, {MeshRow::Cane, 0.0002}, {MeshRow::Bush, 0.002},
                        {MeshRow::Tree, 0.002},  {MeshRow::Tree2, 0.002}, {MeshRow::Mangrove, 0.002},
                        {MeshRow::Yucca, 0.001}, {MeshRow::Palm, 0.002}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << static_cast<int>(c.row));
    ClearCapturedGeometry();
    const auto before = RandomDraws();
    CilindroMorph2(c.row, 0, 0, 0, 10, 12, 0.06f, 1, 0.2f);
    EXPECT_EQ(RandomDraws(), before);
    std::vector<double> deltas;
    for (int k = 1; k <= 9; ++k) deltas.push_back(c.step * k);
    ExpectTube(BottomRadii(0.06f, deltas), 12, 0.06f, 1, 0.2f);
  }
  // Row Tree reaches 0.078 at the base.
  EXPECT_NEAR(Radius(CapturedVertices().back()), 0.078, 1e-6);
}

TEST_F(MeshTest, TrunkRowsWithoutJitterFlareTheirFoot) {
  struct Case {
    MeshRow row;
    float H;
    std::vector<double> bottom;  // R2[0..9]
  };
  const Case cases[] = {
      {MeshRow::Palm, 1, {0.06, 0.065, 0.07, 0.075, 0.08, 0.085, 0.09, 0.11, 0.16, 0.235}},
      // The mangrove's trunk closes to a point at its foot.
      {MeshRow::Mangrove, 2, {0.06, 0.065, 0.07, 0.075, 0.08, 0.11, 0.16, 0.21, 0.16, 0}},
      // Rows without a trunk of their own give their segment.
      {MeshRow::Bush, 1, {0.06, 0.062, 0.064, 0.066, 0.068, 0.07, 0.072, 0.074, 0.076, 0.078}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << static_cast<int>(c.row));
    ClearCapturedGeometry();
    const auto before = RandomDraws();
    CilindroMorph(c.row, 0, 0, 0, 10, 12, 0.06f, c.H, 0.2f);
    EXPECT_EQ(RandomDraws(), before);
    ExpectTube(c.bottom, 12, 0.06f, c.H, 0.2f);
  }
}

// Replays the jitter's draws: at every band I and column J, first
// RandomF(R2[I] / 2) (kept as the offset of column J), then RandomF(R2[I]·2).
std::vector<float> ReplayFootOffsets(const std::vector<double>& bottom, int NumCircle, int NumLine) {
  std::vector<float> offsets(static_cast<std::size_t>(NumLine) + 1);
  for (int I = 0; I < NumCircle; ++I)
    for (int J = 0; J <= NumLine; ++J) {
      const float r2 = static_cast<float>(bottom[static_cast<std::size_t>(I)]);
      const float first = RandomF(r2 / 2);
      static_cast<void>(RandomF(r2 * 2));
      if (I == 9) offsets[static_cast<std::size_t>(J)] = first;
    }
  return offsets;
}

TEST_F(MeshTest, JitteredFootTakesItsRadiiFromTheDrawsAndClosesOnlyAtTwelveColumns) {
  struct Case {
    MeshRow row;
    double foot;  // R2[9] - R
    int numLine;
    bool seamCloses;
  };
  const Case cases[] = {{MeshRow::Tree, 0.25, 12, true},
                        {MeshRow::Tree2, 0.25, 16, false},
                        {MeshRow::Yucca, 0.325, 12, true},
                        {MeshRow::Tree, 0.25, 8, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << static_cast<int>(c.row) << " NumLine " << c.numLine);
    ResetRandom();
    ClearCapturedGeometry();
    CilindroMorph(c.row, 0, 0, 0, 10, c.numLine, 0.06f, 1, 0.2f);
    EXPECT_EQ(RandomDraws(), 2u * 10u * static_cast<unsigned>(c.numLine + 1));

    std::vector<double> bottom =
        BottomRadii(0.06f, {0.005, 0.010, 0.015, 0.020, 0.025, 0.030, 0.05, 0.1, c.foot});
    ResetRandom();
    const auto offsets = ReplayFootOffsets(bottom, 10, c.numLine);
    const double r2 = bottom[9];

    // Bands above the foot are untouched by the jitter.
    const auto& prims = CapturedPrimitives();
    const auto& verts = CapturedVertices();
    ASSERT_EQ(prims.size(), 10u);
    for (std::size_t i = 0; i < 9; ++i)
      EXPECT_NEAR(Radius(verts[prims[i].first + 1]), bottom[i], 1e-6);

    std::vector<double> foot;
    for (int j = 0; j <= c.numLine; ++j) foot.push_back(Radius(verts[prims[9].first + 2 * static_cast<std::size_t>(j) + 1]));
    EXPECT_NEAR(foot[0], r2 / 2, 1e-6);
    for (int j = 1; j <= c.numLine; ++j) {
      const bool pinned = j == 12;  // column NumCircle + 2 repeats column 0
      const double expected = pinned ? r2 / 2 : r2 - offsets[static_cast<std::size_t>(j)];
      EXPECT_NEAR(foot[static_cast<std::size_t>(j)], expected, 1e-6) << "column " << j;
    }
    const bool closes = std::abs(foot.back() - foot.front()) < 1e-6;
    EXPECT_EQ(closes, c.seamCloses);
  }
}

TEST_F(MeshTest, JitterDrawsAreMadeEvenWhenTheFootBandIsNotDrawn) {
  CilindroMorph(MeshRow::Tree, 0, 0, 0, 5, 12, 0.06f, 1, 0.2f);
  EXPECT_EQ(RandomDraws(), 2u * 5u * 13u);
  const auto& prims = CapturedPrimitives();
  ASSERT_EQ(prims.size(), 5u);
  // The last band drawn ends on its plain ring radius R + 0.020.
  for (std::size_t k = 1; k < prims[4].count; k += 2)
    EXPECT_NEAR(Radius(CapturedVertices()[prims[4].first + k]), static_cast<float>(0.06f + 0.020), 1e-6);
}

TEST_F(MeshTest, GrassBladeNarrowsEveryBandInsideTheThinGeometryState) {
  const float R = 0.5f, H = 1, TSize = 2;
  CilindroMorph2(MeshRow::Grass, 0, 0, 0, 2, 6, R, H, TSize);
  EXPECT_EQ(RandomDraws(), 0u);
  const auto& prims = CapturedPrimitives();
  const auto& verts = CapturedVertices();
  ASSERT_EQ(prims.size(), 2u);
  const float minor = static_cast<float>(2.0 * std::numbers::pi / 6);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(prims[i].count, 14u);
    EXPECT_TRUE(prims[i].twoSide);
    EXPECT_FALSE(prims[i].cullFace);
    EXPECT_TRUE(prims[i].alphaTest);
    for (std::size_t j = 0; j < 7; ++j) {
      const auto& t = verts[prims[i].first + 2 * j];
      const auto& b = verts[prims[i].first + 2 * j + 1];
      EXPECT_NEAR(Radius(t), R, 1e-6);
      EXPECT_NEAR(Radius(b), R / 3, 1e-6);
      EXPECT_NEAR(t.z - b.z, 0.5, 1e-6);
      EXPECT_FLOAT_EQ(t.s, static_cast<float>(static_cast<double>(R) * (static_cast<double>(j) * minor) / TSize));
      EXPECT_FLOAT_EQ(t.t, 1 / TSize);
      EXPECT_EQ(b.t, 0.0f);
    }
  }
  // The bracket is closed again after the blade.
  const auto state = CapturedState();
  EXPECT_FALSE(state.lightModelTwoSide);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(MeshTest, BandAndColumnCountsOutsideTheArraysAreCheckedFailures) {
  FaultsThrow faults;
  struct Case {
    MeshRow row;
    bool trunk;
    int numCircle, numLine;
    bool faults;
  };
  const Case cases[] = {
      {MeshRow::Tree, false, 11, 12, true},   {MeshRow::Tree, false, 10, 255, false},
      {MeshRow::Tree, false, 10, 256, true},  {MeshRow::Tree, true, 10, 253, false},
      {MeshRow::Tree, true, 10, 254, true},   {MeshRow::Yucca, true, 10, 254, true},
      {MeshRow::Tree, true, 11, 12, true},    {MeshRow::Palm, true, 10, 255, false},
      {MeshRow::Grass, false, 12, 600, false},  // grass blades use no arrays
      {MeshRow::Tree, false, 0, 12, false},   {MeshRow::Tree, true, 10, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << static_cast<int>(c.row) << (c.trunk ? " trunk " : " segment ")
                                    << c.numCircle << " x " << c.numLine);
    InstallGLCapture();
    const auto call = [&] {
      if (c.trunk)
        CilindroMorph(c.row, 0, 0, 0, c.numCircle, c.numLine, 0.06f, 1, 0.2f);
      else
        CilindroMorph2(c.row, 0, 0, 0, c.numCircle, c.numLine, 0.06f, 1, 0.2f);
    };
    if (c.faults) {
      try {
        call();
        ADD_FAILURE() << "no fault";
      } catch (const FaultRaised& e) {
        EXPECT_EQ(e.kind, Fault::RangeCheck);
      }
    } else {
      EXPECT_NO_THROW(call());
      // A tube without bands or columns records nothing.
      const bool empty = c.numCircle < 1 || c.numLine < 1;
      EXPECT_EQ(CapturedPrimitives().size(), empty ? 0u : static_cast<std::size_t>(c.numCircle));
    }
  }
}

}  // namespace
