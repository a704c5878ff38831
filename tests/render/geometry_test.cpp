#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "render/geometry.h"
#include "render/glcapture.h"
#include "render/glstate.h"

namespace {

class GeometryTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallGLCapture(); }
};

struct Box {
  float minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY, minZ = INFINITY, maxZ = -INFINITY;
  float minS = INFINITY, maxS = -INFINITY, minT = INFINITY, maxT = -INFINITY;
};

Box Extents(const std::vector<CapturedVertex>& vs) {
  Box b;
  for (const CapturedVertex& v : vs) {
    b.minX = std::min(b.minX, v.x), b.maxX = std::max(b.maxX, v.x);
    b.minY = std::min(b.minY, v.y), b.maxY = std::max(b.maxY, v.y);
    b.minZ = std::min(b.minZ, v.z), b.maxZ = std::max(b.maxZ, v.z);
    b.minS = std::min(b.minS, v.s), b.maxS = std::max(b.maxS, v.s);
    b.minT = std::min(b.minT, v.t), b.maxT = std::max(b.maxT, v.t);
  }
  return b;
}

// Every executed primitive must be a triangle strip of `perStrip` vertices.
void ExpectStrips(std::size_t strips, std::size_t perStrip) {
  ASSERT_EQ(CapturedPrimitives().size(), strips);
  for (const CapturedPrimitive& p : CapturedPrimitives()) {
    EXPECT_EQ(p.mode, GL_TRIANGLE_STRIP);
    EXPECT_EQ(p.count, perStrip);
  }
  EXPECT_EQ(CapturedVertices().size(), strips * perStrip);
}

TEST(FindNormalTest, UnitNormalOfTheTriangle) {
  const double r3 = 1.0 / static_cast<double>(static_cast<float>(std::sqrt(3.0)));  // single-precision length
  const struct {
    std::array<double, 9> v;
    std::array<double, 3> n;
  } cases[] = {
      {{1, 0, 0, 0, 0, 0, 0, 1, 0}, {0, 0, -1}},
      {{3, 0, 0, 0, 0, 0, 0, 4, 0}, {0, 0, -1}},  // scaled to unit length
      {{0, 0, 0, 1, 0, 0, 0, 0, 1}, {0, -1, 0}},
      {{1, 0, 0, 0, 1, 0, 0, 0, 1}, {r3, r3, r3}},
      {{0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0}},  // collinear: zero, not NaN
      {{5, 5, 5, 5, 5, 5, 5, 5, 5}, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    FNormal = {9, 9, 9, 9};
    FindNormal(c.v[0], c.v[1], c.v[2], c.v[3], c.v[4], c.v[5], c.v[6], c.v[7], c.v[8]);
    for (int k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(FNormal[k + 1], c.n[k]) << "component " << k + 1;
  }
}

TEST_F(GeometryTest, LineFreeEmitsTwoVerticesWithOptionalTextureCoordinates) {
  for (bool texture : {false, true}) {
    SCOPED_TRACE(texture);
    ClearCaptureLog();
    ClearCapturedGeometry();
    glTexCoord2f(0.5f, 0.5f);
    glBegin(GL_LINES);
    LineFree(1, 2, 3, 4, 10, 11, 12, 20, 21, 22, texture);
    glEnd();
    std::vector<std::string> names;
    for (const CapturedCall& c : CaptureLog()) names.emplace_back(c.name);
    const std::vector<std::string> expected =
        texture ? std::vector<std::string>{"glTexCoord2f", "glBegin", "glTexCoord2f", "glVertex3f", "glTexCoord2f",
                                           "glVertex3f", "glEnd"}
                : std::vector<std::string>{"glTexCoord2f", "glBegin", "glVertex3f", "glVertex3f", "glEnd"};
    EXPECT_EQ(names, expected);
    ASSERT_EQ(CapturedVertices().size(), 2u);
    const CapturedVertex& a = CapturedVertices()[0];
    const CapturedVertex& b = CapturedVertices()[1];
    EXPECT_EQ((std::array<float, 3>{a.x, a.y, a.z}), (std::array<float, 3>{10, 11, 12}));
    EXPECT_EQ((std::array<float, 3>{b.x, b.y, b.z}), (std::array<float, 3>{20, 21, 22}));
    EXPECT_EQ((std::array<float, 4>{a.s, a.t, b.s, b.t}),
              texture ? (std::array<float, 4>{1, 2, 3, 4}) : (std::array<float, 4>{0.5f, 0.5f, 0.5f, 0.5f}));
  }
}

TEST_F(GeometryTest, SferaIsAClosedSphereOfStripsPoleToPole) {
  const struct {
    float px, py, pz, radius;
    int numCircle, numLine;
    float tsize;
  } cases[] = {
      {0, 0, 0, 1, 4, 2, 1},
      {1, 2, 3, 0.5f, 10, 3, 2},  // the generators' knot shape: 10 around, Quality bands
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.numLine);
    ClearCapturedGeometry();
    Sfera(c.px, c.py, c.pz, c.radius, c.numCircle, c.numLine, c.tsize);
    ExpectStrips(std::size_t(c.numLine), std::size_t(2 * (c.numCircle + 1)));
    const std::vector<CapturedVertex>& vs = CapturedVertices();
    for (const CapturedVertex& v : vs) {
      const double dx = v.x - c.px, dy = v.y - c.py, dz = v.z - c.pz;
      ASSERT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), c.radius, 1e-6);
      // The normal is the outward radius direction.
      ASSERT_NEAR(v.nx * c.radius, dx, 1e-6);
      ASSERT_NEAR(v.ny * c.radius, dy, 1e-6);
      ASSERT_NEAR(v.nz * c.radius, dz, 1e-6);
    }
    const CapturedVertex& first = vs.front();
    EXPECT_EQ((std::array<float, 3>{first.x, first.y, first.z}), (std::array<float, 3>{c.px, c.py, c.pz + c.radius}));
    EXPECT_EQ((std::array<float, 3>{first.nx, first.ny, first.nz}), (std::array<float, 3>{0, 0, 1}));
    EXPECT_EQ(first.s, 0.0f);
    EXPECT_EQ(first.t, 0.0f);
    EXPECT_NEAR(vs.back().z, c.pz - c.radius, 1e-6) << "the last band reaches the -z pole";
    const Box b = Extents(vs);
    EXPECT_FLOAT_EQ(b.minS, -1 / c.tsize);
    EXPECT_EQ(b.maxS, 0.0f);
    EXPECT_EQ(b.minT, 0.0f);
    EXPECT_FLOAT_EQ(b.maxT, 1 / c.tsize);
    // The seam closes: the last column repeats the first one's position.
    const CapturedPrimitive& p = CapturedPrimitives()[0];
    EXPECT_NEAR(vs[p.first + p.count - 1].x, vs[p.first + 1].x, 1e-6);
    EXPECT_NEAR(vs[p.first + p.count - 1].y, vs[p.first + 1].y, 1e-6);
  }
}

TEST_F(GeometryTest, FigLeafIsOneCuppedBladeAlongX) {
  GenLeaf(0.25f, 0.25f, 0.35f, 1, 32, 0, 0, 1, 1, false);
  ExpectStrips(1, 66);
  const std::vector<CapturedVertex>& vs = CapturedVertices();
  for (std::size_t k = 0; k < vs.size(); ++k) {
    SCOPED_TRACE(k);
    const bool firstEdge = k % 2 == 0;
    EXPECT_FLOAT_EQ(vs[k].x, firstEdge ? 0.375f : -0.25f);
    EXPECT_EQ(vs[k].s, firstEdge ? 0.0f : -1.0f);
    EXPECT_FLOAT_EQ(vs[k].t, -static_cast<float>(k / 2) / 32);
    if (firstEdge) {  // sin(0) ring radius: the first edge's normal is +x
      EXPECT_FLOAT_EQ(vs[k].nx, 1);
      EXPECT_NEAR(vs[k].ny, 0, 1e-7);
      EXPECT_NEAR(vs[k].nz, 0, 1e-7);
    } else {  // the blade length is used as an angle: cos(0.25)
      EXPECT_FLOAT_EQ(vs[k].nx, static_cast<float>(std::cos(0.25)));
    }
  }
  const Box b = Extents(vs);
  EXPECT_FLOAT_EQ(b.minZ, -0.25f);
  EXPECT_FLOAT_EQ(b.maxZ, 0.25f);
  EXPECT_NEAR(b.minY, 0, 1e-7);
  EXPECT_FLOAT_EQ(b.maxY, 0.0875f);
  EXPECT_FLOAT_EQ(b.minT, -1);
  EXPECT_EQ(b.maxT, 0);
  // Cupped towards +y: the middle column is the deepest point, on z = 0.
  EXPECT_FLOAT_EQ(vs[32].y, 0.0875f);
  EXPECT_NEAR(vs[32].z, 0, 1e-7);
}

TEST_F(GeometryTest, BladeStripsOverlapAlongX) {
  // With more strips every strip keeps the cross-section; strip i spans
  // 1.5H - i*H/n down to -(i+1)*H/n.
  GenLeaf(1, 1, 1, 4, 2, 0, 0, 1, 1, false);
  ExpectStrips(4, 6);
  for (std::size_t i = 0; i < 4; ++i) {
    const CapturedPrimitive& p = CapturedPrimitives()[i];
    EXPECT_FLOAT_EQ(CapturedVertices()[p.first].x, 1.5f - 0.25f * i) << i;
    EXPECT_FLOAT_EQ(CapturedVertices()[p.first + 1].x, -0.25f * (i + 1)) << i;
  }
}

TEST_F(GeometryTest, SphericLeavesAreHalfEllipsoidShells) {
  const struct {
    const char* name;
    float rc, rl, rh;
    int numCircle, numLine;
    float tsu;
    float width, length, depth;
  } cases[] = {
      {"palm", 1.25f, 4, 1, 16, 8, 2, 2.5f, 8, 1.25f},
      {"dracaena", 0.1f, 1, 0.3f, 8, 8, 1, 0.2f, 2, 0.03f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearCapturedGeometry();
    GenLeaf(c.rc, c.rl, c.rh, c.numCircle, c.numLine, 0, 0, c.tsu, 1, true);
    ExpectStrips(std::size_t(c.numCircle), std::size_t(2 * (c.numLine + 1)));
    const std::vector<CapturedVertex>& vs = CapturedVertices();
    const Box b = Extents(vs);
    EXPECT_NEAR(b.maxX - b.minX, c.width, 1e-6);
    EXPECT_NEAR(b.maxZ - b.minZ, c.length, 1e-6);
    EXPECT_NEAR(b.minY, 0, 1e-6) << "only the y >= 0 half";
    EXPECT_NEAR(b.maxY, c.depth, 1e-6);
    EXPECT_EQ((std::array<float, 3>{vs[0].x, vs[0].y, vs[0].z}), (std::array<float, 3>{0, 0, c.rl}));
    EXPECT_FLOAT_EQ(vs[0].nz, 1);
    // s across the leaf, t along it.
    EXPECT_FLOAT_EQ(b.minS, -1 / c.tsu);
    EXPECT_EQ(b.maxS, 0);
    EXPECT_EQ(b.minT, 0);
    EXPECT_FLOAT_EQ(b.maxT, 1);
    for (const CapturedVertex& v : vs) {
      const double e = (v.x / c.rc) * (v.x / c.rc) + (v.y / (c.rc * c.rh)) * (v.y / (c.rc * c.rh)) +
                       (v.z / c.rl) * (v.z / c.rl);
      ASSERT_NEAR(e, 1, 1e-5) << "on the ellipsoid";
    }
  }
}

TEST_F(GeometryTest, GenLeafDrawsInsideTheThinGeometryBracket) {
  for (bool culledBefore : {false, true}) {
    for (bool spheric : {false, true}) {
      SCOPED_TRACE(std::to_string(culledBefore) + "/" + std::to_string(spheric));
      ResetGLCapture();
      if (culledBefore) glEnable(GL_CULL_FACE);
      TwoSideOn();
      glEnable(GL_BLEND);
      glDepthMask(GL_FALSE);
      GenLeaf(0.1f, 1, 0.3f, 2, 2, 0, 0, 1, 1, spheric);
      ASSERT_FALSE(CapturedPrimitives().empty());
      for (const CapturedPrimitive& p : CapturedPrimitives()) {
        EXPECT_TRUE(p.twoSide);
        EXPECT_FALSE(p.cullFace);
        EXPECT_TRUE(p.alphaTest);
        EXPECT_EQ(p.alphaFunc, GL_GREATER);
        EXPECT_FLOAT_EQ(p.alphaRef, 0.4f);
      }
      EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << "culling is on afterwards whatever it was";
      EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
      EXPECT_FALSE(glIsEnabled(GL_BLEND));
      EXPECT_FALSE(CapturedState().lightModelTwoSide);
      EXPECT_TRUE(CapturedState().depthMask);
    }
  }
}

}  // namespace
