#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/glcapture.h"
#include "window/mousecam.h"
#include "window/wndproc.h"

namespace {

struct Call {
  std::string name;
  std::vector<double> args;
};

std::vector<Call> Logged() {
  std::vector<Call> calls;
  for (const CapturedCall& c : CaptureLog()) {
    Call call{c.name, {}};
    for (int i = 0; i < c.argCount; ++i) call.args.push_back(c.arg(i));
    calls.push_back(call);
  }
  return calls;
}

struct ModeCase {
  std::int32_t mode;
  MouseTranslation my;
  std::vector<Call> calls;
};

class MouseCamera : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallGLCapture();
    XRot = 10;
    YRot = 20;
    Depth = 3;
    MSpeed = 0;
    My = {7, 8, 9};
  }
  void TearDown() override {
    XRot = YRot = Depth = 0;
    MSpeed = 0;
    My = {};
  }
};

TEST_F(MouseCamera, EachModeAppliesItsTranslationAndRotations) {
  const std::vector<ModeCase> cases = {
      {GL_M0, {0, 0, -3}, {{"glTranslatef", {0, 0, -3}}, {"glRotatef", {10, 1, 0, 0}}, {"glRotatef", {20, 0, 1, 0}}}},
      {GL_MX, {0, -3, 0}, {{"glTranslatef", {0, -3, 0}}, {"glRotatef", {10, 1, 0, 0}}, {"glRotatef", {20, 0, 0, 1}}}},
      {GL_MY, {-3, 0, 0}, {{"glTranslatef", {-3, 0, 0}}, {"glRotatef", {10, 0, 0, -1}}, {"glRotatef", {20, 0, 1, 0}}}},
      {GL_MZ, {0, 0, -3}, {{"glTranslatef", {0, 0, -3}}, {"glRotatef", {10, 0, 1, 0}}, {"glRotatef", {20, 1, 0, 0}}}},
      // An unknown mode only sets the speed: no matrix call, My kept.
      {5, {7, 8, 9}, {}},
  };
  for (const ModeCase& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode));
    My = {7, 8, 9};
    ClearCaptureLog();
    SetGLMouseMove(c.mode, 2);
    EXPECT_EQ(MSpeed, 2);
    EXPECT_FLOAT_EQ(My.X, c.my.X);
    EXPECT_FLOAT_EQ(My.Y, c.my.Y);
    EXPECT_FLOAT_EQ(My.Z, c.my.Z);
    const std::vector<Call> calls = Logged();
    ASSERT_EQ(calls.size(), c.calls.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].name, c.calls[i].name) << "call " << i;
      EXPECT_EQ(calls[i].args, c.calls[i].args) << "call " << i;
    }
  }
}

TEST_F(MouseCamera, TurnsYTowardTheViewerBeforeMovingAway) {
  // Mode 0 with XRot 90: the scene's up axis ends up along +z in eye space,
  // then the whole scene is pushed back by Depth.
  XRot = 90;
  YRot = 0;
  Depth = 4;
  SetGLMouseMove(GL_M0, 0);
  const CaptureMatrix m = CapturedMatrix(GL_MODELVIEW);
  // Column 1 is the image of the y axis, column 3 the translation.
  EXPECT_NEAR(m.m[4], 0, 1e-6);
  EXPECT_NEAR(m.m[5], 0, 1e-6);
  EXPECT_NEAR(m.m[6], 1, 1e-6);
  EXPECT_NEAR(m.m[12], 0, 1e-6);
  EXPECT_NEAR(m.m[13], 0, 1e-6);
  EXPECT_NEAR(m.m[14], -4, 1e-6);
  EXPECT_EQ(MSpeed, 0);
}

}  // namespace
