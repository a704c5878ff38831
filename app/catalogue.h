// The garden's catalogue: which texture files go in which slots, what one
// crown of leaves of each plant looks like, and how each plant generator is
// called. OpenGL_CreateList runs once at start and fills the plant-list
// globals that the frame draws.
#pragma once

// Loads every texture, then builds every plant's display list in the
// catalogue's fixed order. Needs a current GL context.
void OpenGL_CreateList();

// Loads the six BMP and nine TGA textures into their slots.
void OpenGL_Texture();

// Material callbacks: each binds one texture slot.
void MatFico();
void MatFoglieFico();
void MatCespuglio();
void MatFoglieCespuglio();
void MatPalma1();
void MatFogliePalma1();
void MatPino();
void MatFogliePino();
void MatDracena();
void MatFoglieDracena();
void MatMangrovia();
void MatFoglieMangrovia();
void MatErba1();
void MatErba2();
void MatErba3();
void MatCanna();
void MatFoglieCanna();

// Crown callbacks: each draws one leaf cluster at the current origin and
// leaves the model-view matrix as it found it.
void ChiomaFico();
void ChiomaCespuglio();
void ChiomaPalma1();
void ChiomaPino();
void ChiomaDracena();
void ChiomaMangrovia();
void ChiomaCanna();
