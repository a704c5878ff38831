// Folders for the tools: running loaders inside the texture folder, and
// where that folder is when none is given.
#pragma once

#include <string>

// Runs `work` with `dir` as the current folder (the texture loaders open
// their files by bare name) and returns to the old one. Returns an empty
// string or a one-line error.
std::string InFolder(const std::string& dir, void (*work)());

// The current folder when it holds the garden's textures (gras.bmp),
// otherwise the build's run folder beside the tool's own folder
// (build/tools/.. -> build/run).
std::string DefaultTextureDir();
