// The demo's garden as an export scene, built once for all export tests.
#pragma once

#include <gtest/gtest.h>

#include "export/scene.h"
#include "test_files.h"

namespace exporttest {

inline GardenScene BuildScene(SceneRequest request) {
  request.textureDir = RunFolder();
  GardenScene scene;
  const std::string error = BuildGardenScene(request, scene);
  EXPECT_EQ(error, "");
  return scene;
}

inline const GardenScene& DefaultGarden() {
  static const GardenScene scene = BuildScene({});
  return scene;
}

}  // namespace exporttest
