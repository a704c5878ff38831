// The generators' shared random expressions and list bodies.
#include "plants/scheme.h"

#include "plants/labels.h"

#include "render/geometry.h"
#include "render/glstate.h"
#include "render/random.h"

float RandomAngle(double K, double B) {
  const double r = static_cast<double>(Random());
  return static_cast<float>(r * K + B);
}

void SavedSeedPair(float& SavedSeed) {
  static_cast<void>(RandomF(SavedSeed));
  SavedSeed = RandomAngle(3.0, 0.0);
}

void DiscardedDraw() { static_cast<void>(Random(0)); }

GLuint BeginList(const char* label) {
  const GLuint id = glGenLists(1);
  if (label) LabelList(id, label);
  glNewList(id, GL_COMPILE);
  return id;
}

void ThinGeometryOn() {
  TwoSideOn();
  glDisable(GL_CULL_FACE);
  SetGLSprite();
}

void ThinGeometryOff() {
  SetGLSpriteOff();
  glEnable(GL_CULL_FACE);
  TwoSideOff();
}

void LeafListBody(TLVRProcedure MatLeaf, TLVRProcedure MdlLeaf) {
  MatLeaf();
  ThinGeometryOn();
  MdlLeaf();
  ThinGeometryOff();
}

void CrownListBody(GLuint Ramo, GLuint Foglie, float TiltFirst, float TiltSecond) {
  glPushMatrix();
  glPushAttrib(GL_LIGHTING_BIT);
  glCallList(Ramo);
  for (int pass = 0; pass < 4; ++pass) {
    glTranslatef(0, 0.333f, 0);
    glRotatef(90, 0, 1, 0);
    glPushMatrix();
    glRotatef(0, 0, 1, 0);
    glRotatef(TiltFirst, 1, 0, 0);
    glCallList(Foglie);
    glPopMatrix();
    glPushMatrix();
    glRotatef(180, 0, 1, 0);
    glRotatef(TiltSecond, 1, 0, 0);
    glCallList(Foglie);
    glPopMatrix();
  }
  glPopAttrib();
  glPopMatrix();
}

void SegmentListBody(TLVRProcedure MatTree, const SegmentForm& Form, std::int32_t Quality, float TSize) {
  MatTree();
  glPushMatrix();
  if (Form.JointRadius != 0) Sfera(0, Form.JointY, 0, Form.JointRadius, 10, Quality, TSize);
  glRotatef(-90, 1, 0, 0);
  if (Form.Trunk)
    CilindroMorph(Form.Row, 0, 0, 0, 10, Quality, Form.R, Form.H, TSize);
  else
    CilindroMorph2(Form.Row, 0, 0, 0, 10, Quality, Form.R, Form.H, TSize);
  glPopMatrix();
}
