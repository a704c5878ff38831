// What the region calls saw, for tests: the rectangle count of every
// region-data block ExtCreateRegion accepted since the last reset.
#pragma once

#include <vector>

#include "platform/winapi.h"

const std::vector<DWORD>& RegionDataLog();
void ResetRegionDataLog();
