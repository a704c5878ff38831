#include "render/glcapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "render/gl.h"

namespace {

class GLCapture : public ::testing::Test {
 protected:
  void SetUp() override { InstallGLCapture(); }
  void TearDown() override {
    SetCaptureLogging(true);
    SetCaptureGeometry(true);
  }
};

// Element (row, col) of a column-major matrix.
float At(const CaptureMatrix& m, int row, int col) { return m.m[static_cast<std::size_t>(col * 4 + row)]; }

void ExpectMatrixNear(const CaptureMatrix& m, const std::array<std::array<double, 4>, 4>& rows, double tol = 1e-6) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_NEAR(At(m, r, c), rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)], tol)
          << "row " << r << " col " << c;
}

void Triangle() {
  glBegin(GL_TRIANGLES);
  glVertex3f(0, 0, 0);
  glVertex3f(1, 0, 0);
  glVertex3f(0, 1, 0);
  glEnd();
}

TEST_F(GLCapture, InstallFillsEveryEntryOfTheTable) {
  // The table is a plain struct of function pointers; none may stay null.
  constexpr std::size_t n = sizeof(GLDispatchTable) / sizeof(void (*)());
  std::array<void (*)(), n> entries{};
  std::memcpy(entries.data(), &GLDispatch, sizeof(GLDispatchTable));
  for (std::size_t i = 0; i < n; ++i) EXPECT_NE(entries[i], nullptr) << "entry " << i;
  EXPECT_TRUE(GLCaptureInstalled());
  EXPECT_STREQ(reinterpret_cast<const char*>(glGetString(GL_RENDERER)), "garden GL capture");
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
}

TEST_F(GLCapture, NestedListsReplayUnderTheCallersMatrixAndCountExecutions) {
  const GLuint leaf = glGenLists(2);
  const GLuint plant = leaf + 1;
  glNewList(leaf, GL_COMPILE);
  Triangle();
  glEndList();
  glNewList(plant, GL_COMPILE);
  glCallList(leaf);
  glPushMatrix();
  glTranslatef(10, 0, 0);
  glCallList(leaf);
  glPopMatrix();
  glCallList(0);    // draws nothing
  glCallList(999);  // unknown: draws nothing
  glEndList();
  EXPECT_TRUE(CapturedVertices().empty()) << "compiling emits nothing";

  const std::size_t logged = CaptureLog().size();
  ExecuteCapturedList(plant, [] {
    CaptureMatrix m;
    m.m[13] = 5;  // translate by (0, 5, 0)
    return m;
  }());
  EXPECT_EQ(CaptureLog().size(), logged) << "replay does not log";

  ASSERT_EQ(CapturedPrimitives().size(), 2u);
  ASSERT_EQ(CapturedVertices().size(), 6u);
  for (const CapturedPrimitive& p : CapturedPrimitives()) {
    EXPECT_EQ(p.mode, GL_TRIANGLES);
    EXPECT_EQ(p.count, 3u);
    EXPECT_EQ(p.list, leaf) << "primitives name the innermost list";
  }
  const CapturedVertex& second = CapturedVertices()[4];  // (1,0,0) of the second copy
  EXPECT_FLOAT_EQ(second.x, 11);
  EXPECT_FLOAT_EQ(second.y, 5);
  EXPECT_EQ(CapturedListExecutions(plant), 1u);
  EXPECT_EQ(CapturedListExecutions(leaf), 2u);
  EXPECT_EQ(CapturedListExecutions(999), 0u);
  EXPECT_EQ(CapturedStackDepth(GL_MODELVIEW), 1);

  ClearListExecutions();
  glCallList(plant);
  glCallList(plant);
  EXPECT_EQ(CapturedListExecutions(leaf), 4u);
}

TEST_F(GLCapture, CompileRecordsWhatGLCompilesAndRunsTheRestAtOnce) {
  const GLuint list = glGenLists(1);
  ClearCaptureLog();
  glNewList(list, GL_COMPILE);
  glRotatef(30, 0, 1, 0);
  GLuint tex = 0;
  glGenTextures(1, &tex);  // executes now, is not recorded
  glBindTexture(GL_TEXTURE_2D, tex);
  const GLuint inner = glGenLists(1);  // executes now
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // client state: executes now
  glEnable(GL_ALPHA_TEST);
  glEndList();

  // The log holds every call in issue order, with the list each went into.
  const std::vector<std::pair<std::string, GLuint>> expected{
      {"glNewList", 0},    {"glRotatef", list}, {"glGenTextures", 0}, {"glBindTexture", list},
      {"glGenLists", 0},   {"glPixelStorei", 0}, {"glEnable", list},  {"glEndList", 0}};
  ASSERT_EQ(CaptureLog().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(CaptureLog()[i].name, expected[i].first) << i;
    EXPECT_EQ(CaptureLog()[i].list, expected[i].second) << i;
  }
  EXPECT_EQ(CaptureLog()[2].argCount, 2);
  EXPECT_EQ(CaptureLog()[2].arg(1), tex) << "glGenTextures logs the names it returned";

  // Compiled calls did not change the state; the immediate ones did.
  EXPECT_EQ(CapturedBoundTexture(), 0u);
  EXPECT_FALSE(CapturedIsEnabled(GL_ALPHA_TEST));
  EXPECT_FLOAT_EQ(At(CapturedMatrix(GL_MODELVIEW), 0, 0), 1);
  EXPECT_TRUE(CapturedListExists(inner));
  EXPECT_NE(inner, list);
  EXPECT_EQ(CapturedState().pixelStore.at(GL_UNPACK_ALIGNMENT), 1);

  const auto& calls = CapturedListCalls(list);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_STREQ(calls[0].name, "glRotatef");
  EXPECT_EQ(calls[0].arg(0), 30);
  EXPECT_STREQ(calls[2].name, "glEnable");

  glCallList(list);
  EXPECT_EQ(CapturedBoundTexture(), tex);
  EXPECT_TRUE(CapturedIsEnabled(GL_ALPHA_TEST));
  EXPECT_NEAR(At(CapturedMatrix(GL_MODELVIEW), 0, 2), std::sin(30 * M_PI / 180), 1e-6);
}

// Values the calls below point at; a scalar parameter passed through a vector
// entry point gets a single float, so reading more would overrun it.
const GLfloat kOne = 45;
const GLfloat kDirection[3]{0, 0, -1};
const GLfloat kFour[4]{0.1f, 0.2f, 0.3f, 1};
const GLfloat kMatrix[16]{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 8, 9, 1};
const std::uint8_t kPixel[4]{};

TEST_F(GLCapture, PointerArgumentsAreExpandedAsFarAsTheParameterReaches) {
  struct Case {
    const char* name;
    void (*issue)();
    int argCount;
    double last;
  };
  const Case cases[] = {
      {"glLightfv", [] { glLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &kOne); }, 3, 45},
      {"glLightfv", [] { glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, kDirection); }, 5, -1},
      {"glLightfv", [] { glLightfv(GL_LIGHT0, GL_AMBIENT, kFour); }, 6, 1},
      {"glMaterialfv", [] { glMaterialfv(GL_FRONT, GL_SHININESS, &kOne); }, 3, 45},
      {"glLightModelfv", [] { glLightModelfv(GL_LIGHT_MODEL_TWO_SIDE, &kOne); }, 2, 45},
      {"glLightModelfv", [] { glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kFour); }, 5, 1},
      {"glMultMatrixf", [] { glMultMatrixf(kMatrix); }, 16, 1},
      {"glTexImage2D", [] { glTexImage2D(GL_TEXTURE_2D, 0, 4, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, kPixel); }, 8,
       GL_UNSIGNED_BYTE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.issue();
    const CapturedCall& call = CaptureLog().back();
    EXPECT_STREQ(call.name, c.name);
    EXPECT_EQ(call.argCount, c.argCount);
    EXPECT_FLOAT_EQ(static_cast<float>(call.arg(call.argCount - 1)), static_cast<float>(c.last));
  }
  EXPECT_EQ(CapturedLightState(0).spotCutoff, 45);
  EXPECT_EQ(CapturedMaterialState(GL_FRONT).shininess, 45);
  EXPECT_TRUE(CapturedState().lightModelTwoSide);
  EXPECT_FLOAT_EQ(At(CapturedMatrix(GL_MODELVIEW), 1, 3), 8);
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
}

TEST_F(GLCapture, CompileAndExecuteRunsWhileRecording) {
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE_AND_EXECUTE);
  glTranslatef(1, 2, 3);
  Triangle();
  glEndList();
  EXPECT_EQ(CapturedVertices().size(), 3u);
  EXPECT_FLOAT_EQ(CapturedVertices()[0].z, 3);
  EXPECT_EQ(CapturedPrimitives()[0].list, 0u) << "executed directly, not from a list";
  EXPECT_EQ(CapturedListCalls(list).size(), 6u);
}

TEST_F(GLCapture, ListNamesAreFreshAndNeverReused) {
  EXPECT_EQ(glGenLists(0), 0u);
  EXPECT_EQ(glGenLists(-1), 0u);
  const GLuint a = glGenLists(3);
  EXPECT_EQ(a, 1u);
  glNewList(50, GL_COMPILE);  // a name the program chose itself
  glEndList();
  glDeleteLists(a, 3);
  EXPECT_FALSE(glIsList(a + 1));
  const GLuint b = glGenLists(1);
  EXPECT_GT(b, 50u);
  EXPECT_TRUE(glIsList(b));
}

TEST_F(GLCapture, ListCallingItselfStopsAtTheNestingLimit) {
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glTranslatef(1, 0, 0);
  glCallList(list);
  glEndList();
  glCallList(list);
  EXPECT_EQ(CapturedListExecutions(list), 64u);
  EXPECT_FLOAT_EQ(At(CapturedMatrix(GL_MODELVIEW), 0, 3), 64);
}

TEST_F(GLCapture, AttribStackRestoresLightingAndEnables) {
  glEnable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  const GLfloat red[]{1, 0, 0, 1};
  glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHT0);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, red);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, red);
  glShadeModel(GL_FLAT);
  glEnable(GL_ALPHA_TEST);
  EXPECT_TRUE(CapturedState().lightModelTwoSide);
  EXPECT_EQ(CapturedAttribStackDepth(), 1);
  glPopAttrib();

  EXPECT_FALSE(CapturedState().lightModelTwoSide);
  EXPECT_TRUE(CapturedIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(CapturedIsEnabled(GL_ALPHA_TEST));
  EXPECT_TRUE(CapturedLightState(0).enabled);
  EXPECT_EQ(CapturedLightState(0).diffuse, (std::array<float, 4>{1, 1, 1, 1}));
  EXPECT_EQ(CapturedMaterialState(GL_BACK).diffuse, (std::array<float, 4>{0.8f, 0.8f, 0.8f, 1}));
  EXPECT_EQ(CapturedState().shadeModel, GL_SMOOTH);

  // Only the groups named are restored.
  glPushAttrib(GL_CURRENT_BIT);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
  glColor3f(0, 1, 0);
  glPopAttrib();
  EXPECT_TRUE(CapturedState().lightModelTwoSide);
  EXPECT_EQ(CapturedState().color, (std::array<float, 4>{1, 1, 1, 1}));
}

TEST_F(GLCapture, EachAttribGroupRestoresItsOwnStateOnly) {
  struct Case {
    const char* what;
    GLbitfield mask;
    void (*change)();
    double (*probe)();
  };
  const Case cases[] = {
      {"depth", GL_DEPTH_BUFFER_BIT, [] { glDepthFunc(GL_ALWAYS); glDepthMask(GL_FALSE); },
       [] { return double(CapturedState().depthFunc) + CapturedState().depthMask; }},
      {"alpha test", GL_COLOR_BUFFER_BIT, [] { glEnable(GL_ALPHA_TEST); glAlphaFunc(GL_GREATER, 0.4f); },
       [] { return double(CapturedState().alphaFunc) + CapturedIsEnabled(GL_ALPHA_TEST); }},
      {"blend", GL_COLOR_BUFFER_BIT, [] { glEnable(GL_BLEND); glBlendFunc(GL_SRC_ALPHA, GL_ONE); },
       [] { return double(CapturedState().blendSrc) + CapturedIsEnabled(GL_BLEND); }},
      {"culling", GL_POLYGON_BIT, [] { glCullFace(GL_FRONT); glFrontFace(GL_CW); glEnable(GL_CULL_FACE); },
       [] {
         const auto st = CapturedState();
         return double(st.cullFaceMode + st.frontFace) + CapturedIsEnabled(GL_CULL_FACE);
       }},
      {"texture", GL_TEXTURE_BIT, [] { glBindTexture(GL_TEXTURE_2D, 5); glEnable(GL_TEXTURE_2D); },
       [] { return double(CapturedBoundTexture()) + CapturedIsEnabled(GL_TEXTURE_2D); }},
      {"transform", GL_TRANSFORM_BIT, [] { glMatrixMode(GL_PROJECTION); glEnable(GL_NORMALIZE); },
       [] { return double(CapturedState().matrixMode) + CapturedIsEnabled(GL_NORMALIZE); }},
      {"viewport", GL_VIEWPORT_BIT, [] { glViewport(0, 0, 800, 600); },
       [] { return double(CapturedState().viewport[2]); }},
      {"hint", GL_HINT_BIT, [] { glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST); },
       [] { return double(CapturedState().hints.at(GL_POLYGON_SMOOTH_HINT)); }},
      {"point", GL_POINT_BIT, [] { glPointSize(3); }, [] { return double(CapturedState().pointSize); }},
      {"current", GL_CURRENT_BIT, [] { glColor3f(0, 0, 1); glNormal3f(1, 0, 0); glTexCoord2f(2, 2); },
       [] { return double(CapturedState().color[0] + CapturedState().normal[0] + CapturedState().texCoord[0]); }},
      {"shade model", GL_LIGHTING_BIT, [] { glShadeModel(GL_FLAT); },
       [] { return double(CapturedState().shadeModel); }},
      {"light position", GL_LIGHTING_BIT,
       [] {
         glLoadIdentity();
         glTranslatef(0, 0, 3);
         glLightfv(GL_LIGHT0, GL_POSITION, kFour);
       },
       [] { return double(CapturedLightState(0).position[2]); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InstallGLCapture();
    const double before = c.probe();
    glPushAttrib(c.mask);
    c.change();
    const double changed = c.probe();
    ASSERT_NE(changed, before);
    glPopAttrib();
    EXPECT_EQ(c.probe(), before) << "restored by its own group";

    glPushAttrib(GL_ALL_ATTRIB_BITS & ~c.mask & ~GL_ENABLE_BIT);
    c.change();
    glPopAttrib();
    EXPECT_EQ(c.probe(), changed) << "left alone by the other groups";
  }
}

TEST_F(GLCapture, StackOverflowAndUnderflowAreIgnored) {
  struct Case {
    GLenum mode;
    int capacity;
  };
  for (const Case c : {Case{GL_MODELVIEW, 32}, Case{GL_PROJECTION, 2}}) {
    glMatrixMode(c.mode);
    glTranslatef(1, 0, 0);
    for (int i = 0; i < c.capacity + 5; ++i) glPushMatrix();
    EXPECT_EQ(CapturedStackDepth(c.mode), c.capacity);
    EXPECT_EQ(glGetError(), GL_STACK_OVERFLOW);
    for (int i = 0; i < c.capacity + 5; ++i) glPopMatrix();
    EXPECT_EQ(CapturedStackDepth(c.mode), 1);
    EXPECT_EQ(glGetError(), GL_STACK_UNDERFLOW);
    EXPECT_FLOAT_EQ(At(CapturedMatrix(c.mode), 0, 3), 1) << "the bottom matrix survives";
  }
  for (int i = 0; i < 20; ++i) glPushAttrib(GL_ENABLE_BIT);
  EXPECT_EQ(CapturedAttribStackDepth(), 16);
  for (int i = 0; i < 20; ++i) glPopAttrib();
  EXPECT_EQ(CapturedAttribStackDepth(), 0);
  EXPECT_EQ(glGetError(), GL_STACK_OVERFLOW) << "the first error is kept until read";
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
}

TEST_F(GLCapture, LightPositionTakesTheModelViewInForceWhenTheCallRuns) {
  const GLfloat pos[]{-10, 10, 0, 0.1f};
  // Issued directly under a translation: stored in eye coordinates.
  glTranslatef(0, 0, -5);
  glLightfv(GL_LIGHT0, GL_POSITION, pos);
  EXPECT_EQ(CapturedLightState(0).position, (std::array<float, 4>{-10, 10, -0.5f, 0.1f}));
  EXPECT_EQ(CaptureLog().back().argCount, 6);
  EXPECT_FLOAT_EQ(static_cast<float>(CaptureLog().back().arg(5)), 0.1f);

  // Recorded in a list under one matrix, replayed under another: the
  // replay-time matrix counts.
  const GLuint list = glGenLists(1);
  glLoadIdentity();
  glRotatef(90, 0, 0, 1);
  glNewList(list, GL_COMPILE);
  glLightfv(GL_LIGHT1, GL_POSITION, pos);
  glEndList();
  CaptureMatrix shift;
  shift.m[12] = 100;  // translate x by 100
  ExecuteCapturedList(list, shift);
  const auto replayed = CapturedLightState(1).position;
  EXPECT_NEAR(replayed[0], 0, 1e-6) << "-10 + 100 * 0.1";
  EXPECT_EQ(replayed[1], 10);
  EXPECT_EQ(replayed[3], 0.1f);

  // A rotation turns a directional light too.
  glLoadIdentity();
  glRotatef(90, 0, 0, 1);
  const GLfloat dir[]{1, 0, 0, 0};
  glLightfv(GL_LIGHT2, GL_POSITION, dir);
  const auto p = CapturedLightState(2).position;
  EXPECT_NEAR(p[0], 0, 1e-6);
  EXPECT_NEAR(p[1], 1, 1e-6);
  EXPECT_EQ(p[3], 0);
}

TEST_F(GLCapture, RotationAboutAnyAxis) {
  const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  struct Case {
    float angle, x, y, z;
    std::array<std::array<double, 4>, 4> rows;
  };
  const Case cases[] = {
      // 120 degrees about (1,1,1) carries x to y, y to z and z to x.
      {120, 1, 1, 1, {{{0, 0, 1, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}}}},
      // The axis is normalised first.
      {120, 5, 5, 5, {{{0, 0, 1, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}}}},
      {30, 0, 0, 1, {{{c, -s, 0, 0}, {s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}},
      {30, 0, -2, 0, {{{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}}}},
      {30, 1, 0, 0, {{{1, 0, 0, 0}, {0, c, -s, 0}, {0, s, c, 0}, {0, 0, 0, 1}}}},
      // A zero axis leaves the matrix as it was.
      {30, 0, 0, 0, {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.angle << " about " << k.x << "," << k.y << "," << k.z);
    glLoadIdentity();
    glRotatef(k.angle, k.x, k.y, k.z);
    ExpectMatrixNear(CapturedMatrix(GL_MODELVIEW), k.rows);
  }
}

TEST_F(GLCapture, ProjectionMatrices) {
  glMatrixMode(GL_PROJECTION);
  gluPerspective(45, 800.0 / 600.0, 0.1, 100);
  const double f = 1 / std::tan(22.5 * M_PI / 180);
  ExpectMatrixNear(CapturedMatrix(GL_PROJECTION),
                   {{{f * 600 / 800, 0, 0, 0}, {0, f, 0, 0}, {0, 0, -100.1 / 99.9, -20 / 99.9}, {0, 0, -1, 0}}}, 1e-5);
  EXPECT_FLOAT_EQ(At(CapturedMatrix(GL_MODELVIEW), 2, 2), 1) << "only the current mode's matrix changes";

  glLoadIdentity();
  glOrtho(-2, 2, -1.5, 1.5, -2, 2);
  ExpectMatrixNear(CapturedMatrix(GL_PROJECTION),
                   {{{0.5, 0, 0, 0}, {0, 1 / 1.5, 0, 0}, {0, 0, -0.5, 0}, {0, 0, 0, 1}}});

  glLoadIdentity();
  glFrustum(-1, 1, -1, 1, 1, 3);
  ExpectMatrixNear(CapturedMatrix(GL_PROJECTION), {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -2, -3}, {0, 0, -1, 0}}});

  // Degenerate boxes are rejected and change nothing.
  glLoadIdentity();
  gluPerspective(45, 0, 0.1, 100);
  glOrtho(1, 1, 0, 1, 0, 1);
  glFrustum(-1, 1, -1, 1, 0, 1);
  ExpectMatrixNear(CapturedMatrix(GL_PROJECTION), {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}});
  EXPECT_EQ(glGetError(), GL_INVALID_VALUE);
}

TEST_F(GLCapture, VerticesAreEmittedInWorldSpaceWithInverseTransposeNormals) {
  glTranslatef(1, 2, 3);
  glScalef(2, 1, 1);
  glColor4f(0.5f, 0.25f, 1, 0.75f);
  glTexCoord2f(0.5f, -1);
  glNormal3f(1, 1, 0);
  glBegin(GL_POINTS);
  glVertex3f(1, 1, 1);
  glVertex2f(-1, 0);
  glEnd();
  ASSERT_EQ(CapturedVertices().size(), 2u);
  const CapturedVertex& v = CapturedVertices()[0];
  EXPECT_FLOAT_EQ(v.x, 3);
  EXPECT_FLOAT_EQ(v.y, 3);
  EXPECT_FLOAT_EQ(v.z, 4);
  // Under a stretch along x a surface normal leans away from x: (1/2, 1, 0).
  EXPECT_FLOAT_EQ(v.nx, 0.5f);
  EXPECT_FLOAT_EQ(v.ny, 1);
  EXPECT_FLOAT_EQ(v.nz, 0);
  EXPECT_EQ(v.s, 0.5f);
  EXPECT_EQ(v.t, -1);
  EXPECT_EQ(v.a, 0.75f);
  EXPECT_FLOAT_EQ(CapturedVertices()[1].x, -1);
  EXPECT_FLOAT_EQ(CapturedVertices()[1].z, 3);

  // glBegin inside glBegin and glEnd alone are ignored.
  glBegin(GL_LINES);
  glBegin(GL_QUADS);
  glVertex3f(0, 0, 0);
  glEnd();
  glEnd();
  ASSERT_EQ(CapturedPrimitives().size(), 2u);
  EXPECT_EQ(CapturedPrimitives()[1].mode, GL_LINES);
  EXPECT_EQ(CapturedPrimitives()[1].count, 1u);
  EXPECT_EQ(glGetError(), GL_INVALID_OPERATION);
}

TEST_F(GLCapture, PrimitivesKeepTheStateInForceAtBegin) {
  GLuint tex = 0;
  glGenTextures(1, &tex);
  glBindTexture(GL_TEXTURE_2D, tex);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
  glEnable(GL_CULL_FACE);
  const GLuint leaf = glGenLists(1);
  glNewList(leaf, GL_COMPILE);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
  glDisable(GL_CULL_FACE);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.4f);
  glPointSize(3);
  Triangle();
  glDepthMask(GL_TRUE);
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_CULL_FACE);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
  Triangle();
  glEndList();
  glCallList(leaf);

  ASSERT_EQ(CapturedPrimitives().size(), 2u);
  const CapturedPrimitive& thin = CapturedPrimitives()[0];
  EXPECT_EQ(thin.texture, tex);
  EXPECT_TRUE(thin.texture2D);
  EXPECT_TRUE(thin.lighting);
  EXPECT_TRUE(thin.twoSide);
  EXPECT_TRUE(thin.alphaTest);
  EXPECT_EQ(thin.alphaFunc, GL_GREATER);
  EXPECT_FLOAT_EQ(thin.alphaRef, 0.4f);
  EXPECT_FALSE(thin.cullFace);
  EXPECT_EQ(thin.pointSize, 3);
  const CapturedPrimitive& solid = CapturedPrimitives()[1];
  EXPECT_FALSE(solid.twoSide);
  EXPECT_FALSE(solid.alphaTest);
  EXPECT_TRUE(solid.cullFace);

  // Counting without keeping the geometry.
  SetCaptureGeometry(false);
  ClearCapturedGeometry();
  glCallList(leaf);
  EXPECT_TRUE(CapturedVertices().empty());
  EXPECT_EQ(CapturedVertexCount(), 6u);
  EXPECT_EQ(CapturedPrimitiveCount(), 2u);
}

TEST_F(GLCapture, TextureUploadsKeepSizeFormatAndPixelsWithoutRowPadding) {
  GLuint tex[2]{};
  glGenTextures(2, tex);
  EXPECT_EQ(tex[0], 1u);
  EXPECT_EQ(tex[1], 2u);
  // 3 x 2 RGB bytes: 9 bytes a row, padded to 12 under the default alignment of 4.
  const std::vector<std::uint8_t> padded{1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE,
                                         10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
  const std::vector<std::uint8_t> tight{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  glBindTexture(GL_TEXTURE_2D, tex[0]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, 3, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, padded.data());
  const CapturedTexture* t = CapturedTextureInfo(tex[0]);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->width, 3);
  EXPECT_EQ(t->height, 2);
  EXPECT_EQ(t->internalFormat, 3);
  EXPECT_EQ(t->format, GL_RGB);
  EXPECT_EQ(t->pixels, tight);
  EXPECT_EQ(t->params.at(GL_TEXTURE_MIN_FILTER), static_cast<GLint>(GL_LINEAR));
  EXPECT_EQ(t->levels, 1);
  EXPECT_FALSE(t->mipmaps);

  // With alignment 1 the rows are read back to back; mipmaps define the chain.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glBindTexture(GL_TEXTURE_2D, tex[1]);
  EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 3, 2, GL_BGR, GL_UNSIGNED_BYTE, tight.data()), 0);
  t = CapturedTextureInfo(tex[1]);
  EXPECT_EQ(t->pixels, tight);
  EXPECT_TRUE(t->mipmaps);
  EXPECT_EQ(t->levels, 2);  // 3x2 and 1x1
  EXPECT_NE(gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 0, 2, GL_BGR, GL_UNSIGNED_BYTE, tight.data()), 0);

  // A list keeps the pixels as they were when it was compiled.
  std::vector<std::uint8_t> rgba{1, 2, 3, 4};
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glBindTexture(GL_TEXTURE_2D, 7);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glEndList();
  EXPECT_EQ(CapturedTextureInfo(7), nullptr);
  rgba[0] = 99;
  glCallList(list);
  ASSERT_NE(CapturedTextureInfo(7), nullptr);
  EXPECT_EQ(CapturedTextureInfo(7)->pixels, (std::vector<std::uint8_t>{1, 2, 3, 4}));
  GLuint next = 0;
  glGenTextures(1, &next);
  EXPECT_EQ(next, 8u) << "names taken by glBindTexture are not handed out again";

  glDeleteTextures(1, &next);
  EXPECT_EQ(CapturedTextureInfo(next), nullptr);
  glDeleteTextures(1, &tex[1]);
  EXPECT_EQ(CapturedBoundTexture(), 7u);
  glBindTexture(GL_TEXTURE_2D, 7);
  glDeleteTextures(1, std::array<GLuint, 1>{7}.data());
  EXPECT_EQ(CapturedBoundTexture(), 0u) << "deleting the bound texture binds the default one";
}

TEST_F(GLCapture, UnpackAlignmentPadsRowsOnlyWhenComponentsAreSmaller) {
  struct Case {
    GLint alignment;
    GLsizei width;
    GLenum format, type;
    std::size_t rowBytes, stride;  // stored row, client row
  };
  const Case cases[] = {
      {4, 3, GL_RGB, GL_UNSIGNED_BYTE, 9, 12},
      {1, 3, GL_RGB, GL_UNSIGNED_BYTE, 9, 9},
      {8, 3, GL_LUMINANCE, GL_FLOAT, 12, 16},
      {2, 1, GL_LUMINANCE_ALPHA, GL_SHORT, 4, 4},   // components as large as the alignment
      {8, 2, GL_BGRA, GL_UNSIGNED_BYTE, 8, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "alignment " << c.alignment << " width " << c.width);
    InstallGLCapture();
    std::vector<std::uint8_t> client(2 * c.stride);
    for (std::size_t i = 0; i < client.size(); ++i) client[i] = static_cast<std::uint8_t>(i);
    glPixelStorei(GL_UNPACK_ALIGNMENT, c.alignment);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, c.width, 2, 0, c.format, c.type, client.data());
    const CapturedTexture* t = CapturedTextureInfo(0);
    ASSERT_EQ(t->pixels.size(), 2 * c.rowBytes);
    EXPECT_EQ(t->pixels[0], 0);
    EXPECT_EQ(t->pixels[c.rowBytes], c.stride) << "the second row starts after the padding";
    EXPECT_EQ(t->pixels.back(), c.stride + c.rowBytes - 1);
  }
}

TEST_F(GLCapture, QueriesReportTheState) {
  glViewport(0, 0, 800, 600);
  glClearColor(0, 0, 0, 2);  // clamped
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  GLint viewport[4]{};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  GLfloat clear[4]{};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[3], 1);
  GLint depthFunc = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
  EXPECT_EQ(static_cast<GLenum>(depthFunc), GL_LEQUAL);
  GLboolean enabled = GL_TRUE;
  glGetBooleanv(GL_DEPTH_TEST, &enabled);
  EXPECT_EQ(enabled, GL_FALSE);
  EXPECT_EQ(CapturedState().hints.at(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
  GLdouble mv[16]{};
  glTranslatef(4, 0, 0);
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  EXPECT_EQ(mv[12], 4);
  std::vector<std::uint8_t> pixels(2 * 8, 0xAB);
  glReadPixels(0, 0, 2, 2, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xAB, 0xAB, 0, 0, 0, 0, 0, 0, 0xAB, 0xAB}));
}

TEST_F(GLCapture, DrawArraysEmitsTheArraysAndIsCompiledByValue) {
  std::vector<float> xyz{0, 0, 0, 1, 0, 0, 0, 1, 0};
  const std::vector<float> normals{0, 0, 1, 0, 0, 1, 0, 0, 1};
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, xyz.data());
  glNormalPointer(GL_FLOAT, 0, normals.data());
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glDrawArrays(GL_TRIANGLES, 0, 3);
  glEndList();
  xyz[3] = 50;  // the list kept the values read at compile time
  glCallList(list);
  ASSERT_EQ(CapturedVertices().size(), 3u);
  EXPECT_EQ(CapturedVertices()[1].x, 1);
  EXPECT_EQ(CapturedVertices()[1].nz, 1);
}

TEST_F(GLCapture, ArbitraryCallSequencesKeepTheStateWithinGLLimits) {
  // Misuse of every kind (unbalanced stacks and lists, calls inside
  // glBegin, bad enums, self-calling lists) must leave the capture usable;
  // the sanitizer build checks the memory side.
  std::mt19937 rng(7);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const GLenum enums[] = {GL_MODELVIEW, GL_PROJECTION, GL_TEXTURE, GL_LIGHTING, GL_LIGHT0, GL_POSITION,
                          GL_AMBIENT, GL_SHININESS, GL_TEXTURE_2D, GL_RGB, 0x1234, GL_COMPILE,
                          GL_COMPILE_AND_EXECUTE, GL_TRIANGLE_STRIP, GL_FRONT, GL_CULL_FACE};
  auto anyEnum = [&] { return enums[pick(static_cast<int>(std::size(enums)))]; };
  const GLfloat values[16]{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const std::uint8_t pixels[64]{};
  for (int step = 0; step < 20000; ++step) {
    const GLuint list = static_cast<GLuint>(pick(6));
    switch (pick(16)) {
      case 0: glNewList(list, anyEnum()); break;
      case 1: glEndList(); break;
      case 2:
        // Only called from outside lists: a list calling itself twice costs
        // 2^64 replays before the nesting limit stops it, in GL as here.
        if (CapturedCompilingList() == 0) glCallList(list);
        break;
      case 3: glPushMatrix(); break;
      case 4: glPopMatrix(); break;
      case 5: glMatrixMode(anyEnum()); break;
      case 6: glPushAttrib(GL_ALL_ATTRIB_BITS); break;
      case 7: glPopAttrib(); break;
      case 8: glBegin(anyEnum()); break;
      case 9: glEnd(); break;
      case 10: glVertex3f(1, 2, 3); break;
      case 11: glRotatef(33, 0, 1, 1); break;
      case 12: glLightfv(anyEnum(), anyEnum(), values); break;
      case 13: glMaterialfv(anyEnum(), anyEnum(), values); break;
      case 14: glTexImage2D(anyEnum(), 0, 3, 2, 2, 0, anyEnum(), GL_UNSIGNED_BYTE, pixels); break;
      default: glDeleteLists(list, pick(3)); break;
    }
  }
  EXPECT_LE(CapturedStackDepth(GL_MODELVIEW), 32);
  EXPECT_LE(CapturedStackDepth(GL_PROJECTION), 2);
  EXPECT_LE(CapturedAttribStackDepth(), 16);
  glEnd();
  glEndList();
  EXPECT_EQ(CapturedCompilingList(), 0u);

  // Still a working GL afterwards.
  ClearCapturedGeometry();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  Triangle();
  EXPECT_EQ(CapturedVertices().size(), 3u);
}

}  // namespace
