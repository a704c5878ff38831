// Leaves placed around a stem, shared by the palm crown and the yucca
// rosette: each leaf is turned about the stem, lifted, tipped over, possibly
// flipped about z and scaled, then the leaf list is called.
#pragma once

#include "render/gl.h"

struct WhorlLeaf {
  float turn;  // degrees about the stem (y)
  float lift;  // along the stem
  float tip;   // degrees about x, after a half turn about y
  bool flip;   // an extra half turn about z
  float sx, sy, sz;
};

// Emits the leaf's transforms and glCallList(Foglie) inside two matrix pushes.
void DrawWhorlLeaf(const WhorlLeaf& Leaf, GLuint Foglie);
