// Global memory blocks: movable blocks behind handles, locked to get their
// address; reallocation keeps the contents.
#include <cstring>
#include <map>
#include <memory>

#include "platform/layer.h"

namespace {

struct Block {
  std::unique_ptr<std::uint8_t[]> data;
  std::size_t size = 0;
  int locks = 0;
};

std::map<std::uintptr_t, Block> g_blocks;

Block* Find(HGLOBAL h) {
  auto it = g_blocks.find(reinterpret_cast<std::uintptr_t>(h));
  return it == g_blocks.end() ? nullptr : &it->second;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, SIZE_T bytes) {
  Block b;
  b.size = bytes;
  b.data = std::make_unique<std::uint8_t[]>(bytes ? bytes : 1);  // value-initialised: zeroed
  const std::uintptr_t h = layer::NewHandleValue();
  g_blocks.emplace(h, std::move(b));
  return reinterpret_cast<HGLOBAL>(h);
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
  Block* b = Find(memory);
  if (!b) return nullptr;
  if (b->locks > 0 && !(flags & GMEM_MOVEABLE)) return nullptr;  // a locked fixed block cannot move
  auto data = std::make_unique<std::uint8_t[]>(bytes ? bytes : 1);
  std::memcpy(data.get(), b->data.get(), std::min(b->size, bytes));
  b->data = std::move(data);
  b->size = bytes;
  return memory;
}

LPVOID GlobalLock(HGLOBAL memory) {
  Block* b = Find(memory);
  if (!b) return nullptr;
  ++b->locks;
  return b->data.get();
}

BOOL GlobalUnlock(HGLOBAL memory) {
  Block* b = Find(memory);
  if (!b || b->locks == 0) return FALSE;
  --b->locks;
  return b->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  if (!Find(memory)) return memory;
  g_blocks.erase(reinterpret_cast<std::uintptr_t>(memory));
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  Block* b = Find(memory);
  return b ? b->size : 0;
}
