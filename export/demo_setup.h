// The GL state the demo sets between creating its window and building the
// garden: perspective projection, back-face culling and light 0. The export
// tools set the same, through the capture or a real context, so that what
// they record and draw is what the demo records and draws.
#pragma once

#include <cstdint>

// Sets Width and Height, then the projection, culling and light exactly as
// the demo's start-up does. Needs GL entry points in the dispatch table.
void SetUpGardenGL(std::int32_t width, std::int32_t height);
