#include "FuzzRandom.h"

FuzzRandom FuzzRandom::For(uint64_t seed, uint64_t key1, uint64_t key2) {
    FuzzRandom mixer(seed ^ (key1 * 0x9E3779B97F4A7C15ull) ^ (key2 * 0xC2B2AE3D27D4EB4Full));
    return FuzzRandom(mixer.Next());
}

uint64_t FuzzRandom::Next() {
    uint64_t z = (m_State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t FuzzRandom::Below(uint32_t bound) {
    return bound ? static_cast<uint32_t>((static_cast<uint64_t>(Word()) * bound) >> 32) : 0;
}

uint32_t FuzzRandom::OneOf(std::initializer_list<uint32_t> values) {
    return values.begin()[Below(static_cast<uint32_t>(values.size()))];
}
