// MT19937 with the 2002 reference initialisation by a single seed, plus the
// scaling functions built on one draw.
#include "render/random.h"

namespace {

constexpr int kN = 624;
constexpr int kM = 397;
constexpr std::uint32_t kMatrixA = 0x9908B0DFu;
constexpr std::uint32_t kUpperMask = 0x80000000u;
constexpr std::uint32_t kLowerMask = 0x7FFFFFFFu;
constexpr std::int32_t kUnseeded = 625;

std::uint64_t drawCount = 0;

// Regenerates the whole table with the MT19937 recurrence.
void Regenerate() {
  for (int k = 0; k < kN; ++k) {
    const std::uint32_t y = (mt[k] & kUpperMask) | (mt[(k + 1) % kN] & kLowerMask);
    mt[k] = mt[(k + kM) % kN] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
  }
}

}  // namespace

std::array<std::uint32_t, 624> mt{};
std::int32_t mti = kUnseeded;
std::int32_t RandSeed = 0;
std::int32_t OldRandSeed = 0;

void sgenrand_MT19937(std::uint32_t seed) {
  mt[0] = seed;
  for (std::uint32_t i = 1; i < kN; ++i) {
    mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + i;  // mod 2^32
  }
  mti = kN;
}

std::uint32_t genrand_MT19937() {
  if (RandSeed != OldRandSeed) mti = kUnseeded;
  if (mti >= kN) {
    if (mti == kUnseeded) {
      sgenrand_MT19937(static_cast<std::uint32_t>(RandSeed));
      RandSeed = ~RandSeed;
      OldRandSeed = RandSeed;
    }
    Regenerate();
    mti = 0;
  }
  std::uint32_t y = mt[static_cast<std::size_t>(mti)];
  ++mti;
  ++drawCount;
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

long double Random() {
  // 2^-32 is exact; the product of a 32-bit integer by it needs no rounding.
  return static_cast<long double>(genrand_MT19937()) * 0x1p-32L;
}

std::int32_t Random(std::int32_t n) {
  if (n < 0) n = n + 1;  // cannot overflow: n < 0
  const std::int64_t u = genrand_MT19937();
  // High half of the signed 64-bit product; the shift floors negatives.
  return static_cast<std::int32_t>((static_cast<std::int64_t>(n) * u) >> 32);
}

float RandomF(float Range) {
  return static_cast<float>((Random() / 0.9L) * static_cast<long double>(Range));
}

float DegToRad(float Degree) {
  constexpr long double kPi = 3.141592653589793238462643383279502884L;
  return static_cast<float>(static_cast<long double>(Degree) * kPi / 180.0L);
}

std::uint64_t RandomDraws() { return drawCount; }

void ResetRandom() {
  mt.fill(0);
  mti = kUnseeded;
  RandSeed = 0;
  OldRandSeed = 0;
  drawCount = 0;
}
