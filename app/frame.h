// One frame of the garden: the fixed view, the mouse camera, the light, the
// textured ground and every plant's display list at its place and scale.
// Also the demo's textured quad and the plant display-list ids that the
// catalogue fills once at start (0 until built; list 0 draws nothing).
#pragma once

#include <array>

#include "render/gl.h"

extern GLuint Cespuglio;  // bush
extern GLuint Fico;       // fig tree
extern GLuint Palma1;     // palm
extern GLuint Pino;       // pine
extern GLuint Dracena;    // dracaena
extern GLuint Mangrovia;  // mangrove
extern GLuint Erba;       // grass
extern std::array<GLuint, 3> Canna;  // three canes

// Draws the whole frame. Needs a current context, the model-view matrix as
// current matrix and the window size in Width and Height.
void OpenGL_Draw();

// Per-frame hooks, called in this order by OpenGL_Draw. The first resets
// the viewport, projection and fixed state; the other two are empty.
void OpenGL_Draw2D();
void OpenGL_Mouse2D();
void OpenGL_Keyboard();

// A textured quad with corners P1..P4 (P1, P2 one edge; P3 next to P1 and
// P4 next to P2 the opposite one), its face normal computed from P2, P1, P3,
// and the texture repeated TU times along P1->P2 and TV times along P1->P3.
// Leaves face culling on and two-sided lighting off.
void Quad(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3, float X4,
          float Y4, float Z4, float TU, float TV);
