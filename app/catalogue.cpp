#include "app/catalogue.h"

#include "app/frame.h"
#include "plants/plants.h"
#include "render/geometry.h"
#include "render/gl.h"
#include "textures/bmp_texture.h"
#include "textures/tga_texture.h"

void OpenGL_Texture() {
  TextureLoadID("gras.bmp", 0);
  TextureLoadID("corteccia01.bmp", 1);
  TextureLoadID("corteccia02.bmp", 2);
  TextureLoadID("corteccia00.bmp", 3);
  TextureLoadID("corteccia03.bmp", 4);
  TextureLoadID("FustoVerde00.bmp", 5);

  TextureLoadTGAID("fico01.tga", 0);
  TextureLoadTGAID("foglie00.tga", 1);
  TextureLoadTGAID("palma01.tga", 2);
  TextureLoadTGAID("pino.tga", 3);
  TextureLoadTGAID("banano.tga", 4);
  TextureLoadTGAID("erba01.tga", 5);
  TextureLoadTGAID("erba00.tga", 6);
  TextureLoadTGAID("erba02.tga", 7);
  TextureLoadTGAID("graminacea00b.tga", 8);
}

void MatFico() { TextureSelectID(1); }
void MatFoglieFico() { TextureTGASelectID(0); }
void MatCespuglio() { TextureSelectID(2); }
void MatFoglieCespuglio() { TextureTGASelectID(1); }
void MatPalma1() { TextureSelectID(4); }
void MatFogliePalma1() { TextureTGASelectID(2); }
void MatPino() { TextureSelectID(2); }
void MatFogliePino() { TextureTGASelectID(3); }
void MatDracena() { TextureSelectID(3); }
void MatFoglieDracena() { TextureTGASelectID(4); }
void MatMangrovia() { TextureSelectID(2); }
void MatFoglieMangrovia() { TextureTGASelectID(4); }
void MatErba1() { TextureTGASelectID(5); }
void MatErba2() { TextureTGASelectID(6); }
void MatErba3() { TextureTGASelectID(7); }
void MatCanna() { TextureSelectID(5); }
void MatFoglieCanna() { TextureTGASelectID(8); }

void ChiomaFico() {
  glPushMatrix();
  glTranslatef(0, 0.25f, 0);
  glRotatef(180, 0, 1, 0);
  GenLeaf(0.25f, 0.25f, 0.35f, 1, 32, 0, 0, 1, 1, false);
  glPopMatrix();
}

void ChiomaCespuglio() {
  glPushMatrix();
  glTranslatef(0, 0.25f, 0);
  glRotatef(180, 0, 1, 0);
  GenLeaf(0.5f, 0.5f, 0.4f, 1, 32, 0, 0, 1, 1, false);
  glPopMatrix();
}

void ChiomaPalma1() {
  glPushMatrix();
  glTranslatef(0, 0.1f, 4);
  glRotatef(180, 0, 1, 0);
  GenLeaf(1.25f, 4, 1, 16, 8, 0, 0, 2, 1, true);
  glPopMatrix();
}

// The pine's needle sprays and the mangrove's leaves are flat quads, the
// cane's leaf a long strip; P3/P4 lie beyond P1/P2 along -z.
void ChiomaPino() {
  glPushMatrix();
  Quad(-0.35f, 0, 0.35f, 0.35f, 0, 0.35f, -0.35f, 0, -0.7f, 0.35f, 0, -0.7f, 1, 1);
  glPopMatrix();
}

void ChiomaDracena() {
  glPushMatrix();
  glTranslatef(0, 0.1f, 0.4f);
  glRotatef(180, 0, 1, 0);
  GenLeaf(0.1f, 1, 0.3f, 8, 8, 0, 0, 1, 1, true);
  glPopMatrix();
}

void ChiomaMangrovia() {
  glPushMatrix();
  glTranslatef(0, 0.25f, 0);
  glRotatef(180, 0, 1, 0);
  Quad(-0.35f, 0, 0.35f, 0.35f, 0, 0.35f, -0.35f, 0, -0.7f, 0.35f, 0, -0.7f, 1, 1);
  glPopMatrix();
}

void ChiomaCanna() {
  glPushMatrix();
  glTranslatef(0, 0.25f, 0);
  glRotatef(180, 0, 1, 0);
  Quad(-0.5f, 0, 0, 0.5f, 0, 0, -0.5f, 0, -8, 0.5f, 0, -8, 1, 1);
  glPopMatrix();
}

void OpenGL_CreateList() {
  OpenGL_Texture();

  // The generators share one random stream: this order fixes every plant.
  BushAdvancedFractal3D(Cespuglio, ChiomaCespuglio, MatCespuglio, MatFoglieCespuglio, 12, 4, 0.2f);
  TreeAdvancedFractal3D(Fico, ChiomaFico, MatFico, MatFoglieFico, 12, 4, 0.2f);
  PalmAdvancedFractal3D(Palma1, ChiomaPalma1, MatPalma1, MatFogliePalma1, 12, 4, 0.2f);
  Tree2AdvancedFractal3D(Pino, ChiomaPino, MatPino, MatFogliePino, 12, 4, 0.4f);
  YuccaTypeAdvancedFractal3D(Dracena, ChiomaDracena, MatDracena, MatFoglieDracena, 12, 4, 0.4f);
  MangroveTypeAdvancedFractal3D(Mangrovia, ChiomaMangrovia, MatMangrovia, MatFoglieMangrovia, 12, 4, 0.4f);
  GrassAdvancedFractal3D(Erba, MatErba1, MatErba2, MatErba3, 6, 1.0f, 2.0f);
  CaneAdvancedFractal3D(Canna[0], ChiomaCanna, MatCanna, MatFoglieCanna, 8, 10, 0.2f);
  CaneAdvancedFractal3D(Canna[1], ChiomaCanna, MatCanna, MatFoglieCanna, 8, 10, 0.2f);
  CaneAdvancedFractal3D(Canna[2], ChiomaCanna, MatCanna, MatFoglieCanna, 8, 10, 0.2f);
}
