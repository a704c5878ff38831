// OBJ writer. Texture coordinates are flipped to OBJ's bottom-up v, since
// the PNG rows run from t = 0 at the top.
#include "export/obj.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "export/gltf.h"

namespace {

std::string MaterialName(const SceneMaterial& m, const GardenScene& scene) {
  std::string label = "untextured";
  for (const SceneTexture& t : scene.textures) {
    if (t.name == m.texture) label = t.label;
  }
  if (m.alphaTest) label += "_cutout";
  if (m.twoSide) label += "_twosided";
  return label;
}

void AppendFloat(std::string& out, float v) {
  if (!std::isfinite(v) || v == 0) v = 0;  // no "-0", nan or inf
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.push_back(' ');
  out.append(buf, r.ptr);
}

void AppendIndex(std::string& out, std::size_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

}  // namespace

ObjFiles EncodeObj(const GardenScene& scene, const std::string& stem) {
  ObjFiles files;
  for (const SceneTexture& t : scene.textures) files.textureFiles.push_back(stem + "_" + t.label + ".png");

  std::string& o = files.obj;
  o.reserve(static_cast<std::size_t>(SceneVertexCount(scene)) * 110);
  o = "# garden_export\nmtllib " + stem + ".mtl\n";
  std::vector<SceneMaterial> materials;
  std::size_t base = 1;  // OBJ indices start at 1
  for (const PlantMesh& plant : scene.plants) {
    o += "o " + plant.name + "\n";
    for (const MeshPart& part : plant.parts) {
      if (std::find(materials.begin(), materials.end(), part.material) == materials.end()) {
        materials.push_back(part.material);
      }
      for (const auto& p : part.positions) {
        o += "v";
        for (std::size_t i = 0; i < 3; ++i) AppendFloat(o, p[i] * plant.scale + plant.translation[i]);
        o += '\n';
      }
      for (const auto& n : part.normals) {
        o += "vn";
        for (float c : n) AppendFloat(o, c);
        o += '\n';
      }
      for (const auto& t : part.texcoords) {
        o += "vt";
        AppendFloat(o, t[0]);
        AppendFloat(o, 1.0f - t[1]);
        o += '\n';
      }
      o += "usemtl " + MaterialName(part.material, scene) + "\n";
      for (std::size_t i = 0; i + 2 < part.indices.size(); i += 3) {
        o += 'f';
        for (std::size_t k = 0; k < 3; ++k) {
          const std::size_t v = base + part.indices[i + k];
          o += ' ';
          AppendIndex(o, v);
          o += '/';
          AppendIndex(o, v);
          o += '/';
          AppendIndex(o, v);
        }
        o += '\n';
      }
      base += part.positions.size();
    }
  }

  std::string& m = files.mtl;
  m = "# garden_export\n";
  for (const SceneMaterial& mat : materials) {
    m += "\nnewmtl " + MaterialName(mat, scene) + "\nKa 1 1 1\nKd 1 1 1\nKs 0 0 0\nd 1\nillum 1\n";
    for (std::size_t i = 0; i < scene.textures.size(); ++i) {
      if (scene.textures[i].name != mat.texture) continue;
      m += "map_Kd " + files.textureFiles[i] + "\n";
      // Cut-out leaves: the texture's alpha is the dissolve map.
      if (mat.alphaTest) m += "map_d " + files.textureFiles[i] + "\n";
    }
  }
  return files;
}
