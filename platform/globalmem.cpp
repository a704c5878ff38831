#include "platform/globalmem.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/winapi.h"

namespace {

struct Block {
  std::unique_ptr<std::uint8_t[]> bytes;
  SIZE_T size = 0;
  bool movable = false;
  unsigned locks = 0;
};

// Keyed by handle value. Movable handles are small tagged numbers, never
// addresses, so a stale handle cannot be mistaken for memory.
std::map<std::uintptr_t, Block>& Blocks() {
  static std::map<std::uintptr_t, Block> blocks;
  return blocks;
}
std::vector<std::size_t>& Log() {
  static std::vector<std::size_t> log;
  return log;
}
std::uintptr_t g_nextMovable = 0;

constexpr std::uintptr_t kMovableTag = 0x6D000000;  // handle = tag + 8 * n, n >= 1

Block* Find(HGLOBAL h) {
  auto it = Blocks().find(reinterpret_cast<std::uintptr_t>(h));
  return it == Blocks().end() ? nullptr : &it->second;
}

std::unique_ptr<std::uint8_t[]> NewBytes(SIZE_T size, bool zero) {
  // At least one byte, so a zero-sized fixed block still has a unique address.
  const SIZE_T n = size == 0 ? 1 : size;
  return zero ? std::make_unique<std::uint8_t[]>(n) : std::make_unique_for_overwrite<std::uint8_t[]>(n);
}

constexpr SIZE_T kMaxBlock = SIZE_T{1} << 31;  // refuse absurd sizes instead of throwing

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (bytes >= kMaxBlock) return nullptr;
  Block block;
  block.bytes = NewBytes(bytes, (flags & GMEM_ZEROINIT) != 0);
  block.size = bytes;
  block.movable = (flags & GMEM_MOVEABLE) != 0;
  std::uintptr_t key = block.movable ? kMovableTag + 8 * ++g_nextMovable
                                     : reinterpret_cast<std::uintptr_t>(block.bytes.get());
  Blocks().emplace(key, std::move(block));
  Log().push_back(bytes);
  return reinterpret_cast<HGLOBAL>(key);
}

LPVOID GlobalLock(HGLOBAL memory) {
  Block* b = Find(memory);
  if (!b) return nullptr;
  if (!b->movable) return b->bytes.get();
  if (b->size == 0) return nullptr;  // a zero-sized movable block has nothing to lock
  ++b->locks;
  return b->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL memory) {
  Block* b = Find(memory);
  if (!b || !b->movable || b->locks == 0) return FALSE;
  --b->locks;
  return b->locks != 0 ? TRUE : FALSE;  // TRUE while still locked
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
  Block* b = Find(memory);
  if (!b || bytes >= kMaxBlock) return nullptr;
  // Moving a locked block would leave its holders with a dangling pointer;
  // a fixed block would change its handle, which only GMEM_MOVEABLE allows.
  if (b->movable && b->locks != 0) return nullptr;
  if (!b->movable && (flags & GMEM_MOVEABLE) == 0) return nullptr;
  auto fresh = NewBytes(bytes, (flags & GMEM_ZEROINIT) != 0);
  std::copy(b->bytes.get(), b->bytes.get() + std::min(b->size, bytes), fresh.get());
  b->bytes = std::move(fresh);
  b->size = bytes;
  Log().push_back(bytes);
  if (b->movable) return memory;
  // A fixed block's handle is its address, which has just changed.
  Block moved = std::move(*b);
  Blocks().erase(reinterpret_cast<std::uintptr_t>(memory));
  const auto key = reinterpret_cast<std::uintptr_t>(moved.bytes.get());
  Blocks().emplace(key, std::move(moved));
  return reinterpret_cast<HGLOBAL>(key);
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  if (Blocks().erase(reinterpret_cast<std::uintptr_t>(memory)) == 0) return memory;
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  Block* b = Find(memory);
  return b ? b->size : 0;
}

std::size_t GlobalLiveBlocks() { return Blocks().size(); }
const std::vector<std::size_t>& GlobalSizeLog() { return Log(); }

void ResetGlobalMemory() {
  Blocks().clear();
  Log().clear();
}
