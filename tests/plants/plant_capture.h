// Test support for the plant generators: a fixture that starts every test
// from the unseeded random sequence and a fresh GL capture, marker
// callbacks that show in the call log where they were recorded, and small
// counting helpers over call logs.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string_view>
#include <vector>

#include "render/gl.h"
#include "render/glcapture.h"
#include "render/random.h"

namespace plantcapture {

// Each marker callback issues glColor4f(tag, 0, 0, 1) once, so the call log
// shows which list it was recorded into; MarkLeaf also draws one triangle
// (a "leaf"), so executed leaves can be counted as primitives.
constexpr double kTagWood = 11, kTagLeafMaterial = 12, kTagLeaf = 13;

struct MarkerCalls {
  int wood = 0, leafMaterial = 0, leaf = 0;
};
inline MarkerCalls Markers;

inline void MarkWood() {
  ++Markers.wood;
  glColor4f(static_cast<float>(kTagWood), 0, 0, 1);
}
inline void MarkLeafMaterial() {
  ++Markers.leafMaterial;
  glColor4f(static_cast<float>(kTagLeafMaterial), 0, 0, 1);
}
inline void MarkLeaf() {
  ++Markers.leaf;
  glColor4f(static_cast<float>(kTagLeaf), 0, 0, 1);
  glBegin(GL_TRIANGLES);
  glVertex3f(0, 0, 0);
  glVertex3f(0.1f, 0, 0);
  glVertex3f(0, 0.1f, 0);
  glEnd();
}

class PlantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRandom();
    InstallGLCapture();
    Markers = {};
  }
};

inline bool Is(const CapturedCall& c, std::string_view name) { return std::string_view(c.name) == name; }

inline int CountCalls(const std::vector<CapturedCall>& log, std::string_view name) {
  int n = 0;
  for (const auto& c : log) n += Is(c, name) ? 1 : 0;
  return n;
}

inline int CountListCalls(const std::vector<CapturedCall>& log, GLuint list) {
  int n = 0;
  for (const auto& c : log) n += (Is(c, "glCallList") && c.arg(0) == list) ? 1 : 0;
  return n;
}

// Index of the first call with that name and first argument, or -1.
inline long FindCall(const std::vector<CapturedCall>& log, std::string_view name, double arg0) {
  for (std::size_t i = 0; i < log.size(); ++i)
    if (Is(log[i], name) && log[i].argCount > 0 && log[i].arg(0) == arg0) return static_cast<long>(i);
  return -1;
}

// The plant list's blocks: each runs from a top-level glPushAttrib to the
// glPopAttrib that closes it (the recursions push no attributes of their
// own; the crowns' pushes stay inside the crown list).
inline std::vector<std::vector<CapturedCall>> PlantBlocks(const std::vector<CapturedCall>& log) {
  std::vector<std::vector<CapturedCall>> blocks;
  bool inside = false;
  for (const auto& c : log) {
    if (Is(c, "glPushAttrib")) {
      blocks.emplace_back();
      inside = true;
    } else if (Is(c, "glPopAttrib")) {
      inside = false;
    } else if (inside) {
      blocks.back().push_back(c);
    }
  }
  return blocks;
}

// glRotatef calls about one axis, in order.
inline std::vector<double> Rotations(const std::vector<CapturedCall>& log, double x, double y, double z) {
  std::vector<double> angles;
  for (const auto& c : log)
    if (Is(c, "glRotatef") && c.arg(1) == x && c.arg(2) == y && c.arg(3) == z) angles.push_back(c.arg(0));
  return angles;
}

// Same calls with the same arguments, in the same order.
inline bool SameCalls(const std::vector<CapturedCall>& a, const std::vector<CapturedCall>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!Is(a[i], b[i].name) || a[i].argCount != b[i].argCount || a[i].args != b[i].args) return false;
  return true;
}

// The random expression Random·k + b for the next draw, as the generators
// round it (for replaying the sequence in tests).
inline float NextAngle(double k, double b) { return static_cast<float>(static_cast<double>(Random()) * k + b); }

}  // namespace plantcapture
