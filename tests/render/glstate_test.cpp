#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render/glcapture.h"
#include "render/glstate.h"
#include "support/fault.h"

namespace {

class GLStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallGLCapture();
    Width = 800;
    Height = 600;
  }
  void TearDown() override {
    Width = 0;
    Height = 0;
  }
};

// Compares a captured column-major matrix with the expected one.
void ExpectMatrix(const CaptureMatrix& got, const std::array<double, 16>& want, double tol = 1e-6) {
  for (std::size_t k = 0; k < 16; ++k) EXPECT_NEAR(got.m[k], want[k], tol) << "element " << k;
}

std::vector<std::string> Names(const std::vector<CapturedCall>& calls) {
  std::vector<std::string> names;
  for (const CapturedCall& c : calls) names.emplace_back(c.name);
  return names;
}

TEST_F(GLStateTest, InitSetsPerspectiveDepthTestAndClearValues) {
  OpenGL_Init(100, 0, 0, 0, 0);

  const double f = 1.0 / std::tan(22.5 * std::acos(-1.0) / 180.0);
  const double aspect = 800.0 / 600.0, n = 0.1, fa = 100;
  ExpectMatrix(CapturedMatrix(GL_PROJECTION),
               {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (fa + n) / (n - fa), -1, 0, 0, 2 * fa * n / (n - fa), 0});
  ExpectMatrix(CapturedMatrix(GL_MODELVIEW), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 0);

  const CapturedStateSnapshot s = CapturedState();
  EXPECT_EQ(s.matrixMode, GL_MODELVIEW);
  EXPECT_EQ(s.viewport, (std::array<int, 4>{0, 0, 800, 600}));
  EXPECT_EQ(s.clearColor, (std::array<float, 4>{0, 0, 0, 0}));
  EXPECT_EQ(s.clearDepth, 1.0) << "a far distance of 100 clears depth to 1";
  EXPECT_EQ(s.depthFunc, GL_LEQUAL);
  EXPECT_EQ(s.color, (std::array<float, 4>{1, 1, 1, 0.5f}));
  EXPECT_EQ(s.blendSrc, GL_SRC_ALPHA);
  EXPECT_EQ(s.blendDst, GL_ONE);
  EXPECT_TRUE(s.lightModelLocalViewer);
  for (GLenum hint : {GL_LINE_SMOOTH_HINT, GL_POLYGON_SMOOTH_HINT, GL_PERSPECTIVE_CORRECTION_HINT})
    EXPECT_EQ(s.hints.at(hint), GL_NICEST) << hint;
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE)) << "meshes rely on GL to normalise their normals";
  EXPECT_TRUE(glIsEnabled(GL_AUTO_NORMAL));
  EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "the blend function is set but blending stays off";

  // The clear colour takes its arguments as alpha, red, green, blue.
  OpenGL_Init(100, 0.25, 0.5, 0.75, 1);
  EXPECT_EQ(CapturedState().clearColor, (std::array<float, 4>{0.5f, 0.75f, 1, 0.25f}));
}

TEST_F(GLStateTest, I2DSetsOrthographicBoxAndOffsets) {
  struct Case {
    std::int32_t w, h;
    float offX, offY;
    double top;  // 2 * h / w
  };
  const Case cases[] = {
      {800, 600, -2.05f, -1.45f, 1.5},
      {600, 800, static_cast<float>(1 - 2.05), static_cast<float>(1 - 1.45), 8.0 / 3.0},  // taller than wide
      {300, 900, static_cast<float>(3 - 2.05), static_cast<float>(3 - 1.45), 6.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    Width = c.w;
    Height = c.h;
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    OpenGL_I2D(0, 0, 0, 0);
    EXPECT_EQ(OffX, c.offX);
    EXPECT_EQ(OffY, c.offY);
    // glOrtho(-2, 2, -top, top, -2, 2)
    ExpectMatrix(CapturedMatrix(GL_PROJECTION), {0.5, 0, 0, 0, 0, 1 / c.top, 0, 0, 0, 0, -0.5, 0, 0, 0, 0, 1});
    ExpectMatrix(CapturedMatrix(GL_MODELVIEW), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 0);
    EXPECT_EQ(CapturedState().viewport, (std::array<int, 4>{0, 0, c.w, c.h}));
    EXPECT_EQ(CapturedState().depthFunc, GL_LEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
  }
}

TEST_F(GLStateTest, I2DWithZeroWidthIsACheckedFailureBeforeAnyGLCall) {
  FaultsThrow faults;
  Width = 0;
  OffX = 7;
  ClearCaptureLog();
  try {
    OpenGL_I2D(0, 0, 0, 0);
    FAIL() << "zero width did not raise";
  } catch (const FaultRaised& e) {
    EXPECT_EQ(e.kind, Fault::DivisionByZero);
  }
  EXPECT_TRUE(CaptureLog().empty());
  EXPECT_EQ(OffX, 7) << "nothing is half applied";
}

TEST_F(GLStateTest, RefractiveCullsBackFaces) {
  SetGLRefractive();
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(CapturedState().cullFaceMode, GL_BACK);
  EXPECT_EQ(CapturedState().frontFace, GL_CCW);
  EXPECT_EQ(CapturedState().shadeModel, GL_SMOOTH);
}

TEST_F(GLStateTest, SetGLLightAppliesTheFixedColoursAndPosition) {
  SetGLLight(GL_LIGHT1, 1, 2, 3, 0.5f);
  EXPECT_EQ(LightPosition, (std::array<float, 4>{1, 2, 3, 0.5f}));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  const CapturedLight l = CapturedLightState(1);
  EXPECT_TRUE(l.enabled);
  EXPECT_EQ(l.ambient, (std::array<float, 4>{0.5f, 0.5f, 0.5f, 1}));
  EXPECT_EQ(l.diffuse, (std::array<float, 4>{1, 1, 1, 1}));
  EXPECT_EQ(l.specular, (std::array<float, 4>{1, 1, 1, 1}));
  EXPECT_EQ(l.position, (std::array<float, 4>{1, 2, 3, 0.5f}));
  EXPECT_FALSE(CapturedLightState(0).enabled) << "only the named light is touched";
}

TEST_F(GLStateTest, PointLightMovesTheLightAndDrawsAPointOnlyWithASize) {
  SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);

  PutGLPointLight(GL_LIGHT0, 0, -10, 10, 0, 0.1f);
  EXPECT_EQ(LightPosition, (std::array<float, 4>{-10, 10, 0, 0.1f}));
  EXPECT_EQ(CapturedLightState(0).position, (std::array<float, 4>{-10, 10, 0, 0.1f})) << "positional, w = 0.1";
  EXPECT_TRUE(CapturedPrimitives().empty()) << "size 0 draws nothing";
  EXPECT_EQ(CapturedState().pointSize, 1.0f);

  // The position is taken in the frame of the current model-view matrix.
  glTranslatef(0, 0, -5);
  PutGLPointLight(GL_LIGHT0, 3, 1, 2, 3, 1);
  EXPECT_EQ(CapturedLightState(0).position, (std::array<float, 4>{1, 2, -2, 1}));
  ASSERT_EQ(CapturedPrimitives().size(), 1u);
  const CapturedPrimitive& p = CapturedPrimitives()[0];
  EXPECT_EQ(p.mode, GL_POINTS);
  ASSERT_EQ(p.count, 1u);
  EXPECT_EQ(p.pointSize, 3.0f);
  const CapturedVertex& v = CapturedVertices()[p.first];
  EXPECT_FLOAT_EQ(v.x, 1);
  EXPECT_FLOAT_EQ(v.y, 2);
  EXPECT_FLOAT_EQ(v.z, -2);
  EXPECT_FLOAT_EQ(v.nz, 1);
  EXPECT_EQ(LightPosition, (std::array<float, 4>{1, 2, 3, 1}));
}

TEST_F(GLStateTest, ThinGeometryBracketIsRecordedIntoAList) {
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  TwoSideOn();
  glDisable(GL_CULL_FACE);
  SetGLSprite();
  SetGLSpriteOff();
  glEnable(GL_CULL_FACE);
  TwoSideOff();
  glEndList();

  const std::vector<CapturedCall>& calls = CapturedListCalls(list);
  EXPECT_EQ(Names(calls), (std::vector<std::string>{"glLightModeli", "glDisable", "glEnable", "glAlphaFunc",
                                                    "glDepthMask", "glDisable", "glDisable", "glEnable",
                                                    "glLightModeli"}));
  ASSERT_EQ(calls.size(), 9u);
  const std::vector<std::vector<double>> args = {
      {GL_LIGHT_MODEL_TWO_SIDE, 1}, {GL_CULL_FACE}, {GL_ALPHA_TEST}, {GL_GREATER, 0.4f}, {GL_TRUE},
      {GL_BLEND},                   {GL_ALPHA_TEST}, {GL_CULL_FACE}, {GL_LIGHT_MODEL_TWO_SIDE, 0},
  };
  for (std::size_t k = 0; k < calls.size(); ++k) {
    ASSERT_EQ(calls[k].argCount, static_cast<int>(args[k].size())) << k;
    for (std::size_t a = 0; a < args[k].size(); ++a) EXPECT_EQ(calls[k].arg(int(a)), args[k][a]) << k << "/" << a;
  }
  // Compiled only: the modes come into force when the list is called.
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_EQ(CapturedState().alphaFunc, GL_ALWAYS);
  glCallList(list);
  EXPECT_EQ(CapturedState().alphaFunc, GL_GREATER);
  EXPECT_FLOAT_EQ(CapturedState().alphaRef, 0.4f);
  EXPECT_FALSE(CapturedState().lightModelTwoSide);
}

}  // namespace
