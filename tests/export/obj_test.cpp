// The OBJ and MTL text read back: objects, vertices, faces and materials
// against the scene they were written from.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "export/obj.h"
#include "garden_fixture.h"

namespace {

struct ObjObject {
  std::string name;
  std::size_t firstVertex = 0, vertices = 0, faces = 0;
  std::set<std::string> materials;
};

struct ObjRead {
  std::string mtllib;
  std::vector<std::array<double, 3>> v, vn;
  std::vector<std::array<double, 2>> vt;
  std::vector<std::array<std::size_t, 3>> faces;  // vertex indices, 0-based
  std::vector<ObjObject> objects;
  std::set<std::string> used;
};

ObjRead ParseObj(const std::string& text) {
  ObjRead r;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream l(line);
    std::string tag;
    l >> tag;
    if (tag == "mtllib") {
      l >> r.mtllib;
    } else if (tag == "o") {
      ObjObject o;
      l >> o.name;
      o.firstVertex = r.v.size();
      r.objects.push_back(o);
    } else if (tag == "v" || tag == "vn") {
      std::array<double, 3> a{};
      l >> a[0] >> a[1] >> a[2];
      EXPECT_TRUE(l) << line;
      (tag == "v" ? r.v : r.vn).push_back(a);
      if (tag == "v") r.objects.back().vertices++;
    } else if (tag == "vt") {
      std::array<double, 2> a{};
      l >> a[0] >> a[1];
      r.vt.push_back(a);
    } else if (tag == "usemtl") {
      std::string m;
      l >> m;
      r.used.insert(m);
      r.objects.back().materials.insert(m);
    } else if (tag == "f") {
      std::array<std::size_t, 3> face{};
      for (std::size_t k = 0; k < 3; ++k) {
        std::string corner;
        l >> corner;
        std::size_t a = 0, b = 0, c = 0;
        char s1 = 0, s2 = 0;
        std::istringstream cs(corner);
        cs >> a >> s1 >> b >> s2 >> c;
        EXPECT_TRUE(cs && s1 == '/' && s2 == '/') << line;
        EXPECT_GE(a, 1u);
        EXPECT_LE(a, r.v.size()) << line;
        EXPECT_LE(b, r.vt.size()) << line;
        EXPECT_LE(c, r.vn.size()) << line;
        face[k] = a - 1;
      }
      std::string extra;
      EXPECT_FALSE(l >> extra) << "more than three corners: " << line;
      r.faces.push_back(face);
      r.objects.back().faces++;
    } else {
      EXPECT_TRUE(tag.empty() || tag[0] == '#') << line;
    }
  }
  return r;
}

// Three of the garden's plants keep the text small: one scaled, one only
// moved, one at the origin.
GardenScene SmallGarden() {
  GardenScene small;
  for (const PlantMesh& p : exporttest::DefaultGarden().plants) {
    if (p.name == "Cespuglio" || p.name == "Canna[0]" || p.name == "Erba") small.plants.push_back(p);
  }
  small.textures = exporttest::DefaultGarden().textures;
  return small;
}

TEST(ExportObj, ObjectsHoldThePlantsPlacedInTheGarden) {
  const GardenScene scene = SmallGarden();
  ASSERT_EQ(scene.plants.size(), 3u);
  const ObjFiles files = EncodeObj(scene, "garden");
  const ObjRead r = ParseObj(files.obj);
  EXPECT_EQ(r.mtllib, "garden.mtl");
  EXPECT_EQ(r.v.size(), r.vt.size());
  EXPECT_EQ(r.v.size(), r.vn.size());
  ASSERT_EQ(r.objects.size(), scene.plants.size());
  for (std::size_t p = 0; p < scene.plants.size(); ++p) {
    const PlantMesh& plant = scene.plants[p];
    const ObjObject& o = r.objects[p];
    SCOPED_TRACE(plant.name);
    EXPECT_EQ(o.name, plant.name);
    std::size_t vertices = 0, faces = 0;
    for (const MeshPart& part : plant.parts) {
      vertices += part.positions.size();
      faces += part.indices.size() / 3;
    }
    EXPECT_EQ(o.vertices, vertices);
    EXPECT_EQ(o.faces, faces);
    EXPECT_EQ(o.materials.size(), plant.parts.size());
    // The first vertex of the object: placed position, normal, and the
    // texture coordinate with v counted from the bottom.
    const MeshPart& part = plant.parts.at(0);
    const auto& pos = r.v[o.firstVertex];
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(pos[i], part.positions[0][i] * plant.scale + plant.translation[i], 1e-5);
      EXPECT_NEAR(r.vn[o.firstVertex][i], part.normals[0][i], 1e-6);
    }
    EXPECT_NEAR(r.vt[o.firstVertex][0], part.texcoords[0][0], 1e-6);
    EXPECT_NEAR(r.vt[o.firstVertex][1], 1.0 - part.texcoords[0][1], 1e-6);
  }
  // Faces keep the corner order of the mesh (and so GL's front face).
  const MeshPart& first = scene.plants[0].parts[0];
  for (std::size_t f = 0; f < 50 && f < first.indices.size() / 3; ++f) {
    EXPECT_EQ(r.faces[f], (std::array<std::size_t, 3>{first.indices[3 * f], first.indices[3 * f + 1],
                                                      first.indices[3 * f + 2]}));
  }
}

TEST(ExportObj, MaterialsNameTheirTexturesAndCutOuts) {
  const GardenScene scene = SmallGarden();
  const ObjFiles files = EncodeObj(scene, "giardino");
  const ObjRead r = ParseObj(files.obj);
  ASSERT_EQ(files.textureFiles.size(), scene.textures.size());
  for (std::size_t i = 0; i < scene.textures.size(); ++i) {
    EXPECT_EQ(files.textureFiles[i], "giardino_" + scene.textures[i].label + ".png");
  }

  std::map<std::string, std::vector<std::string>> mtl;  // material -> its map lines
  std::istringstream in(files.mtl);
  std::string line, current;
  while (std::getline(in, line)) {
    if (line.rfind("newmtl ", 0) == 0) {
      current = line.substr(7);
      EXPECT_EQ(mtl.count(current), 0u) << "defined twice: " << current;
      mtl[current];
    } else if (line.rfind("map_", 0) == 0) {
      mtl[current].push_back(line);
    }
  }
  EXPECT_EQ(mtl.size(), r.used.size());
  for (const std::string& name : r.used) {
    SCOPED_TRACE(name);
    ASSERT_EQ(mtl.count(name), 1u);
    const auto& maps = mtl[name];
    ASSERT_FALSE(maps.empty());
    const std::string file = maps[0].substr(maps[0].find(' ') + 1);
    EXPECT_EQ(maps[0].rfind("map_Kd ", 0), 0u);
    EXPECT_NE(std::find(files.textureFiles.begin(), files.textureFiles.end(), file), files.textureFiles.end());
    const bool cutout = name.find("_cutout") != std::string::npos;
    EXPECT_EQ(maps.size(), cutout ? 2u : 1u);
    if (cutout) {
      EXPECT_EQ(maps[1], "map_d " + file);
    }
  }
}

}  // namespace
