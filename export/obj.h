// Wavefront OBJ of a garden scene with its MTL file: one object per plant,
// placed in the garden (OBJ has no nodes), one group per material, the
// textures as PNG files beside them.
#pragma once

#include <string>
#include <vector>

#include "export/scene.h"

struct ObjFiles {
  std::string obj;
  std::string mtl;
  std::vector<std::string> textureFiles;  // file name per scene texture, in scene order
};

// `stem` names the companion files: "<stem>.mtl" and "<stem>_<label>.png".
ObjFiles EncodeObj(const GardenScene& scene, const std::string& stem);
