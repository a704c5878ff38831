// Test support for the plant generators: marker callbacks that log when
// they run and leave a recognisable trace in the list being compiled, and
// small readers of the captured display lists.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "render/glcapture.h"
#include "render/random.h"

namespace plantprobe {

// One callback run: which callback, how many random draws had been taken,
// and which list was being compiled (from the marker it issued).
struct CallbackRun {
  std::string name;
  std::uint64_t draws;
};

inline std::vector<CallbackRun>& Runs() {
  static std::vector<CallbackRun> runs;
  return runs;
}

// Materials set a colour unique to each; the leaf model draws one point at
// its origin, so every executed leaf is one GL_POINTS primitive.
inline void MatWood() {
  Runs().push_back({"MatWood", RandomDraws()});
  glColor3f(0.5f, 0.25f, 0);
}
inline void MatGreen() {
  Runs().push_back({"MatGreen", RandomDraws()});
  glColor3f(0, 1, 0);
}
inline void LeafPoint() {
  Runs().push_back({"LeafPoint", RandomDraws()});
  glBegin(GL_POINTS);
  glVertex3f(0, 0, 0);
  glEnd();
}

// A fresh capture and a fresh random sequence for every test.
class PlantFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRandom();
    InstallGLCapture();
    Runs().clear();
  }
};

inline bool Is(const CapturedCall& c, const char* name) { return std::strcmp(c.name, name) == 0; }

// Calls named `name` recorded directly in `list`.
inline int Count(GLuint list, const char* name) {
  int n = 0;
  for (const CapturedCall& c : CapturedListCalls(list)) n += Is(c, name) ? 1 : 0;
  return n;
}

// glCallList(target) recorded directly in `list`.
inline int CallsOf(GLuint list, GLuint target) {
  int n = 0;
  for (const CapturedCall& c : CapturedListCalls(list))
    n += (Is(c, "glCallList") && c.arg(0) == target) ? 1 : 0;
  return n;
}

// glColor3f calls in `list` with the given red component (the material markers).
inline int ColourMarks(GLuint list, float red) {
  int n = 0;
  for (const CapturedCall& c : CapturedListCalls(list))
    n += (Is(c, "glColor3f") && c.arg(0) == red) ? 1 : 0;
  return n;
}

// Angles of the glRotatef calls in `list` about the given axis, in order.
inline std::vector<double> Rotations(GLuint list, double ax, double ay, double az) {
  std::vector<double> out;
  for (const CapturedCall& c : CapturedListCalls(list))
    if (Is(c, "glRotatef") && c.arg(1) == ax && c.arg(2) == ay && c.arg(3) == az)
      out.push_back(c.arg(0));
  return out;
}

// Primitives of one mode emitted by the last executed list.
inline int Primitives(GLenum mode) {
  int n = 0;
  for (const CapturedPrimitive& p : CapturedPrimitives()) n += p.mode == mode ? 1 : 0;
  return n;
}

// Executes `list` from the identity and checks that it leaves the matrix and
// attribute stacks as it found them.
inline void ExpectBalanced(GLuint list) {
  ExecuteCapturedList(list);
  EXPECT_EQ(CapturedStackDepth(GL_MODELVIEW), 1);
  EXPECT_EQ(CapturedAttribStackDepth(), 0);
  const CaptureMatrix m = CapturedMatrix(GL_MODELVIEW);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[static_cast<std::size_t>(i)], (i % 5 == 0) ? 1.0f : 0.0f);
}

// The recorded calls of two lists are the same calls with the same arguments
// (list ids included).
inline bool SameCalls(GLuint a, GLuint b) {
  const auto& ca = CapturedListCalls(a);
  const auto& cb = CapturedListCalls(b);
  if (ca.size() != cb.size()) return false;
  for (std::size_t i = 0; i < ca.size(); ++i)
    if (!Is(ca[i], cb[i].name) || ca[i].argCount != cb[i].argCount || ca[i].args != cb[i].args)
      return false;
  return true;
}

// The first `n` values of a fresh random sequence, for replaying the draws
// a generator is expected to make. Leaves the sequence reset.
inline std::vector<double> FreshDraws(int n) {
  ResetRandom();
  std::vector<double> out;
  for (int i = 0; i < n; ++i) out.push_back(static_cast<double>(Random()));
  ResetRandom();
  return out;
}

// Random·k + b as the generators hand it to glRotatef: evaluated in double,
// rounded once to single. The rounding goes through a volatile: GCC 12's
// vectoriser has been seen dropping a float round trip when two of these
// fill an initializer list.
inline double Angle(double draw, double k, double b) {
  volatile float rounded = static_cast<float>(draw * k + b);
  return static_cast<double>(rounded);
}

// Distance of a vertex from the y axis.
inline double RadiusY(const CapturedVertex& v) { return std::hypot(v.x, v.z); }

// One call a list is expected to hold: its name and numeric arguments.
struct ExpectedCall {
  const char* name;
  std::vector<double> args;
};

// The list holds exactly these calls, in this order, with these arguments.
inline void ExpectListCalls(GLuint list, const std::vector<ExpectedCall>& expected) {
  const auto& calls = CapturedListCalls(list);
  ASSERT_EQ(calls.size(), expected.size());
  for (std::size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_STREQ(calls[i].name, expected[i].name);
    ASSERT_EQ(static_cast<std::size_t>(calls[i].argCount), expected[i].args.size());
    for (std::size_t k = 0; k < expected[i].args.size(); ++k)
      EXPECT_EQ(calls[i].arg(static_cast<int>(k)), expected[i].args[k]);
  }
}

}  // namespace plantprobe
