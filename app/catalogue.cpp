// TEMPORARY: the catalogue builds nothing yet. The plant lists stay 0, so
// every frame draws only the ground. The real catalogue (textures, crowns,
// generator calls) replaces this file.
#include "app/catalogue.h"

void OpenGL_CreateList() {}
