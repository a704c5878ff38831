// Global memory blocks (GlobalAlloc and friends, declared in winapi.h):
// fixed blocks are their own handles, movable blocks are opaque handles
// that must be locked to reach their bytes. Lock counts are real, a locked
// movable block is never moved, and every call fails safely on a handle it
// does not know. These functions let tests watch the allocations.
#pragma once

#include <cstddef>
#include <vector>

// Number of blocks allocated and not yet freed.
std::size_t GlobalLiveBlocks();

// Sizes requested by each successful GlobalAlloc and GlobalReAlloc since the
// last reset, in call order.
const std::vector<std::size_t>& GlobalSizeLog();

// Frees every block and clears the log (test isolation).
void ResetGlobalMemory();
