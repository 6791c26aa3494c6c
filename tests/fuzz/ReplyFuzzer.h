// Malformed replies and failing statuses in place of the simulated driver's
// answers. Each request is decided on its own from the iteration's seed, its
// control code and how many requests of that code came before it, so that a
// request the listener's timing adds or drops changes no other decision.
// Failures only ever replace failures or successes: a failed request never
// turns into a success.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

class ReplyFuzzer {
public:
    // percent: the chance that one request is tampered with.
    ReplyFuzzer(uint64_t seed, uint32_t percent);

    // The simulator's reply filter.
    void Filter(uint32_t code, uint32_t& status, std::vector<uint8_t>& reply, DWORD& returned);
    size_t Tampered() const { return m_Tampered; }

private:
    uint64_t m_Seed;
    uint32_t m_Percent;
    std::map<uint32_t, uint32_t> m_Calls;
    size_t m_Tampered = 0;
};
