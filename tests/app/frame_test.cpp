#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

#include "app/frame.h"
#include "platform/headless.h"
#include "render/glcapture.h"
#include "render/glstate.h"
#include "textures/bmp_texture.h"
#include "window/wndproc.h"

namespace {

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform(1920, 1080);
    InstallGLCapture();
    ResetBMPTextureSlots();
    Width = 800;
    Height = 600;
    XRot = YRot = Depth = 0;
  }
  void TearDown() override {
    ResetBMPTextureSlots();
    ResetPlatform();
    Cespuglio = Fico = Palma1 = Pino = Dracena = Mangrovia = Erba = 0;
    Canna = {};
    XRot = YRot = Depth = 0;
    MSpeed = 0;
  }
};

struct Corner {
  float x, y, z;
};

struct QuadCase {
  const char* what;
  std::array<Corner, 4> p;  // P1..P4
  float tu, tv;
  std::array<float, 3> normal;
};

TEST_F(Frame, QuadWalksTheRimWithItsFaceNormalAndRepeats) {
  const std::vector<QuadCase> cases = {
      {"ground", {{{-7, 0, -7}, {7, 0, -7}, {-7, 0, 7}, {7, 0, 7}}}, 5, 5, {0, 1, 0}},
      {"pine crown", {{{-0.35f, 0, 0.35f}, {0.35f, 0, 0.35f}, {-0.35f, 0, -0.7f}, {0.35f, 0, -0.7f}}}, 1, 1, {0, -1, 0}},
  };
  for (const QuadCase& c : cases) {
    SCOPED_TRACE(c.what);
    InstallGLCapture();
    glEnable(GL_CULL_FACE);
    TwoSideOn();
    glDisable(GL_CULL_FACE);  // whatever was set before, Quad leaves culling on, two-side off
    Quad(c.p[0].x, c.p[0].y, c.p[0].z, c.p[1].x, c.p[1].y, c.p[1].z, c.p[2].x, c.p[2].y, c.p[2].z, c.p[3].x,
         c.p[3].y, c.p[3].z, c.tu, c.tv);

    ASSERT_EQ(CapturedPrimitives().size(), 1u);
    const CapturedPrimitive& prim = CapturedPrimitives()[0];
    EXPECT_EQ(prim.mode, GL_QUADS);
    EXPECT_TRUE(prim.twoSide);
    EXPECT_FALSE(prim.cullFace);
    ASSERT_EQ(prim.count, 4u);

    // Out in the order P2, P1, P3, P4.
    const std::array<int, 4> order = {1, 0, 2, 3};
    const std::array<std::array<float, 2>, 4> tex = {{{c.tu, -c.tv}, {0, -c.tv}, {0, 0}, {c.tu, 0}}};
    for (std::size_t i = 0; i < 4; ++i) {
      const CapturedVertex& v = CapturedVertices()[prim.first + i];
      const Corner& p = c.p[static_cast<std::size_t>(order[i])];
      EXPECT_FLOAT_EQ(v.x, p.x) << "vertex " << i;
      EXPECT_FLOAT_EQ(v.y, p.y) << "vertex " << i;
      EXPECT_FLOAT_EQ(v.z, p.z) << "vertex " << i;
      EXPECT_FLOAT_EQ(v.s, tex[i][0]) << "vertex " << i;
      EXPECT_FLOAT_EQ(v.t, tex[i][1]) << "vertex " << i;
      EXPECT_FLOAT_EQ(v.nx, c.normal[0]) << "vertex " << i;
      EXPECT_FLOAT_EQ(v.ny, c.normal[1]) << "vertex " << i;
      EXPECT_FLOAT_EQ(v.nz, c.normal[2]) << "vertex " << i;
    }
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(CapturedState().lightModelTwoSide);
  }
}

struct PlantCall {
  std::string name;
  std::vector<double> args;
};

TEST_F(Frame, PlantsAreCalledInOrderAtTheirPlaces) {
  // Give every plant a list of its own so the calls can be told apart.
  std::array<GLuint*, 10> lists = {&Cespuglio, &Fico, &Palma1, &Pino, &Dracena,
                                   &Mangrovia, &Canna[0], &Canna[1], &Canna[2], &Erba};
  for (GLuint* list : lists) {
    *list = glGenLists(1);
    glNewList(*list, GL_COMPILE);
    glEndList();
  }
  ClearCaptureLog();
  OpenGL_Draw();

  // Everything after the ground quad is the plants.
  const std::vector<CapturedCall>& log = CaptureLog();
  std::size_t start = 0;
  for (std::size_t i = 0; i < log.size(); ++i)
    if (std::string(log[i].name) == "glEnd") start = i + 1;
  std::vector<PlantCall> got;
  for (std::size_t i = start; i < log.size(); ++i) {
    const CapturedCall& c = log[i];
    if (c.list != 0) continue;  // calls replayed from inside a list
    const std::string name = c.name;
    if (name != "glPushMatrix" && name != "glPopMatrix" && name != "glTranslatef" && name != "glScalef" &&
        name != "glCallList")
      continue;
    PlantCall call{name, {}};
    for (int a = 0; a < c.argCount; ++a) call.args.push_back(c.arg(a));
    got.push_back(call);
  }

  struct Place {
    GLuint list;
    float x, y, z, scale;
  };
  const std::vector<Place> garden = {
      {Cespuglio, -2, 0, 5, 1.4f}, {Fico, 0, 0, 1, 2},       {Palma1, 5, 0, 1, 2},  {Pino, -5, 0, -5, 2},
      {Dracena, 2, 0, -5, 3},      {Mangrovia, -5, 0, 2, 1.6f}, {Canna[0], 5, 0, 5, 0}, {Canna[1], 3.5f, 0, 4, 0},
      {Canna[2], 6, 0, 3, 0},      {Erba, 0, 0, 0, 0},
  };
  std::vector<PlantCall> want;
  for (const Place& p : garden) {
    want.push_back({"glPushMatrix", {}});
    want.push_back({"glTranslatef", {p.x, p.y, p.z}});
    if (p.scale != 0) want.push_back({"glScalef", {p.scale, p.scale, p.scale}});
    want.push_back({"glCallList", {static_cast<double>(p.list)}});
    want.push_back({"glPopMatrix", {}});
  }
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].name, want[i].name) << "call " << i;
    EXPECT_EQ(got[i].args, want[i].args) << "call " << i;
  }
}

TEST_F(Frame, KeepsTheMatrixStackAndSetsTheView) {
  glPushMatrix();
  const int depth = CapturedStackDepth(GL_MODELVIEW);
  ClearCaptureLog();
  OpenGL_Draw();
  EXPECT_EQ(CapturedStackDepth(GL_MODELVIEW), depth);
  EXPECT_EQ(MSpeed, 2) << "the camera sets the drag speed every frame";

  const std::vector<CapturedCall>& log = CaptureLog();
  ASSERT_FALSE(log.empty());
  EXPECT_STREQ(log[0].name, "glClear");
  EXPECT_EQ(log[0].arg(0), GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // The perspective of the frame replaces the orthographic set-up.
  EXPECT_EQ(CapturedState().viewport, (std::array<int, 4>{0, 0, 800, 600}));

  // The light is placed after the fixed view and the camera: (-10, 10, 0,
  // 0.1) in the garden, turned down by 30 degrees and moved back by 20.
  const CapturedLight light = CapturedLightState(0);
  EXPECT_NEAR(light.position[0], -10, 1e-4);
  EXPECT_NEAR(light.position[1], 10 * std::cos(M_PI / 6) - 0.1, 1e-4);
  EXPECT_NEAR(light.position[2], 10 * std::sin(M_PI / 6) - 2, 1e-4);
  EXPECT_NEAR(light.position[3], 0.1, 1e-6);
}

TEST_F(Frame, FixedViewShowsTheFarEdgeAboveTheCentreAndTheNearEdgeBelow) {
  OpenGL_Draw();
  ASSERT_GE(CapturedPrimitives().size(), 1u);
  const CapturedPrimitive& ground = CapturedPrimitives()[0];
  ASSERT_EQ(ground.count, 4u);
  const CaptureMatrix proj = CapturedMatrix(GL_PROJECTION);
  auto screen = [&](const CapturedVertex& v) {
    const auto& m = proj.m;
    const double cx = m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12];
    const double cy = m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13];
    const double cw = m[3] * v.x + m[7] * v.y + m[11] * v.z + m[15];
    return std::array<double, 2>{cx / cw, cy / cw};
  };
  // Vertices go out P2 (7,0,-7), P1 (-7,0,-7), P3 (-7,0,7), P4 (7,0,7).
  const auto p2 = screen(CapturedVertices()[ground.first + 0]);
  const auto p1 = screen(CapturedVertices()[ground.first + 1]);
  const auto p3 = screen(CapturedVertices()[ground.first + 2]);
  const auto p4 = screen(CapturedVertices()[ground.first + 3]);
  EXPECT_GT(p1[1], 0);
  EXPECT_GT(p2[1], 0);
  EXPECT_LT(p3[1], 0);
  EXPECT_LT(p4[1], 0);
  // The near edge spans most of the window's width.
  EXPECT_GT(p4[0] - p3[0], 1.0);
}

// A 2 x 2, 24-bit BMP.
void WriteTinyBmp(const char* path) {
  const std::uint8_t bytes[70] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
      40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // info header
      0, 200, 0, 0, 200, 0, 0, 0,                      // two rows, padded to 8 bytes
      0, 150, 0, 0, 150, 0, 0, 0,
  };
  std::FILE* f = std::fopen(path, "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes, 1, sizeof bytes, f);
  std::fclose(f);
}

TEST_F(Frame, GroundWearsTheTextureOfSlotZero) {
  const std::string path = std::string(GARDEN_BINARY_DIR) + "/frame_test_ground.bmp";
  WriteTinyBmp(path.c_str());
  TextureLoadID(path.c_str(), 0);
  std::remove(path.c_str());
  TextureSelectID(0);
  const GLuint grass = CapturedBoundTexture();
  ASSERT_NE(grass, 0u);
  glBindTexture(GL_TEXTURE_2D, 0);

  OpenGL_Draw();
  ASSERT_GE(CapturedPrimitives().size(), 1u);
  EXPECT_EQ(CapturedPrimitives()[0].texture, grass);
}

}  // namespace
