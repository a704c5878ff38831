#include "plants/whorl.h"

void DrawWhorlLeaf(const WhorlLeaf& Leaf, GLuint Foglie) {
  glPushMatrix();
  glRotatef(Leaf.turn, 0, 1, 0);
  glPushMatrix();
  glTranslatef(0, Leaf.lift, 0);
  glRotatef(180, 0, 1, 0);
  glRotatef(Leaf.tip, 1, 0, 0);
  if (Leaf.flip) glRotatef(180, 0, 0, 1);
  glScalef(Leaf.sx, Leaf.sy, Leaf.sz);
  glCallList(Foglie);
  glPopMatrix();
  glPopMatrix();
}
