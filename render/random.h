// The program's one pseudo-random sequence: a Mersenne Twister (MT19937)
// seeded with RandSeed (0) at its first draw and never from the clock, so
// every run grows the same garden. Every irregularity of the plants comes
// from here; each Random/RandomF call consumes exactly one draw.
// Also DegToRad, the degree-to-radian conversion of the library.
#pragma once

#include <array>
#include <cstdint>

// Generator state. mti = 624 means the table is used up, 625 that the
// sequence has not been seeded yet.
extern std::array<std::uint32_t, 624> mt;
extern std::int32_t mti;
// Public seed; assigning it makes the next draw reseed with its value.
// After a seeding it holds the complement of the seed used.
extern std::int32_t RandSeed;
extern std::int32_t OldRandSeed;

// Fills the state table from one 32-bit seed and sets mti = 624.
void sgenrand_MT19937(std::uint32_t seed);
// One draw: the next 32-bit output of the sequence.
std::uint32_t genrand_MT19937();

// One draw as a value in [0, 1 - 2^-32], exact in extended precision.
long double Random();
// One draw scaled to 0..n-1 (n > 0), 0 (n = 0) or n+1..0 (n < 0, where n is
// first raised by one). Always consumes a draw, even for n = 0.
std::int32_t Random(std::int32_t n);
// One draw as (Random / 0.9) * Range in extended precision, rounded to
// single: [0, Range/0.9) for a positive Range.
float RandomF(float Range);

// Degree * pi / 180 in extended precision, rounded to single.
float DegToRad(float Degree);

// For tests and tools: draws taken since start or the last ResetRandom, and
// a return to the unseeded start state (the next draw seeds with 0 again).
std::uint64_t RandomDraws();
void ResetRandom();
