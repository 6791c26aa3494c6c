// A small, fast generator of pseudo-random numbers (splitmix64) whose whole
// sequence follows from its seed, so that a failing run can be replayed.
#pragma once

#include <cstdint>
#include <initializer_list>

class FuzzRandom {
public:
    explicit FuzzRandom(uint64_t seed) : m_State(seed) {}
    // A generator for one part of an iteration, independent of how much any
    // other part drew: the same seed and keys give the same sequence.
    static FuzzRandom For(uint64_t seed, uint64_t key1, uint64_t key2 = 0);

    uint64_t Next();
    uint32_t Word() { return static_cast<uint32_t>(Next() >> 32); }
    // 0 to bound - 1; 0 when bound is 0.
    uint32_t Below(uint32_t bound);
    // True with the given chance in percent.
    bool Chance(uint32_t percent) { return Below(100) < percent; }
    // One of the given values, each equally likely.
    uint32_t OneOf(std::initializer_list<uint32_t> values);

private:
    uint64_t m_State;
};
