// glTF 2.0 of a garden scene: one node per plant with its placement, one
// mesh per plant with one primitive per material, PNG images in the binary
// buffer, cut-out materials (alphaMode MASK) for alpha-tested leaves and
// grass, doubleSided where GL lit both sides.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/scene.h"

// A .gltf file: JSON with the buffer embedded as a base64 data URI.
std::string EncodeGltf(const GardenScene& scene);
// A .glb file: the same JSON and the buffer in binary chunks.
std::vector<std::uint8_t> EncodeGlb(const GardenScene& scene);

// Shortest text that reads back as the same float ("0.4", "-2", "1e-08").
std::string FloatText(float v);
