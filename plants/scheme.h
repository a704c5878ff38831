// What the plant generators have in common: the callback type, the random
// expressions their recursions use, and the leaf and crown list bodies that
// several generators record identically.
//
// Every generator draws from the one shared random sequence; the number and
// the order of the draws is part of its behaviour, since every later plant
// depends on them. The helpers below each make exactly the draws they name.
#pragma once

#include <cstdint>

#include "plants/mesh.h"
#include "render/gl.h"

// A callback without arguments or result: materials (bind a texture, set a
// material) and leaf models (draw one leaf cluster). Generators call them
// only while one of their component lists is being compiled.
using TLVRProcedure = void (*)();

// One draw of Random times K plus B, evaluated in double and rounded once to
// single: the angle form "Random·40 + 110" of the recursions.
float RandomAngle(double K, double B);

// The saved-seed pair made before each child's transforms: RandomF(SavedSeed)
// with its result discarded, then SavedSeed = Random·3. Two draws; neither
// value reaches the geometry.
void SavedSeedPair(float& SavedSeed);

// The one discarded integer draw between the component lists and the plant
// list. Advances the sequence by exactly one draw.
void DiscardedDraw();

// glGenLists(1) and glNewList(id, GL_COMPILE); returns the id. Close with
// glEndList(). A component list is labelled with its name ("Ramo",
// "Chioma", ...) so reporting tools can tell the lists apart.
GLuint BeginList(const char* label = nullptr);

// The thin-geometry bracket around leaves and grass: TwoSideOn,
// glDisable(GL_CULL_FACE), SetGLSprite ... SetGLSpriteOff,
// glEnable(GL_CULL_FACE), TwoSideOff.
void ThinGeometryOn();
void ThinGeometryOff();

// Body of the usual leaf list `Foglie`: MatLeaf(), then MdlLeaf() inside the
// thin-geometry bracket. Records into the list being compiled.
void LeafListBody(TLVRProcedure MatLeaf, TLVRProcedure MdlLeaf);

// Body of the usual crown list `Chioma`: under a pushed matrix and lighting
// attributes, the segment `Ramo`, then four passes of glTranslatef(0, 0.333, 0)
// and glRotatef(90, 0, 1, 0), each carrying two leaf clusters `Foglie`: one
// turned 0° about y and tipped `TiltFirst` about x, one turned 180° and
// tipped `TiltSecond` (230/240 for Tree, Bush and Mangrove; 50/60 for Tree2).
void CrownListBody(GLuint Ramo, GLuint Foglie, float TiltFirst, float TiltSecond);

// How a segment or trunk component list draws its piece: the branch mesh of
// `Row` (CilindroMorph when `Trunk`, CilindroMorph2 otherwise) with radius R
// and length H, and, when JointRadius is not 0, first a joint sphere of that
// radius centred at (0, JointY, 0).
struct SegmentForm {
  MeshRow Row;
  bool Trunk = false;
  float R = 0.06f;
  float H = 1;
  float JointY = 0;
  float JointRadius = 0;
};

// Body of a segment list (`Ramo`) or trunk list (`Fusto`): MatTree(), then
// under a pushed matrix the joint sphere if any, glRotatef(-90, 1, 0, 0) to
// turn the tube onto +y, and the mesh (ten bands, Quality columns). Records
// into the list being compiled.
void SegmentListBody(TLVRProcedure MatTree, const SegmentForm& Form, std::int32_t Quality, float TSize);

// One branch system of a plant list under its own matrix and lighting
// attributes: glTranslatef(0, Y, 0), then glRotatef(Turn, 0, 1, 0) and
// glScalef(Scale, Scale, Scale) unless Turn is 0 and Scale is 1, then
// System() records the system.
template <class System>
void PlaceSystem(float Y, float Turn, float Scale, System system) {
  glPushMatrix();
  glPushAttrib(GL_LIGHTING_BIT);
  glTranslatef(0, Y, 0);
  if (Turn != 0 || Scale != 1) {
    glRotatef(Turn, 0, 1, 0);
    glScalef(Scale, Scale, Scale);
  }
  system();
  glPopAttrib();
  glPopMatrix();
}
