// The fuzz over the whole program: seeded iterations of malformed driver
// replies and failing statuses while reloads, driver events, page switches,
// dialogs and Applies run, each followed by every rule of ProgramChecks.
//
// DEMTREL_FUZZ_SEED and DEMTREL_FUZZ_ITERATIONS choose the seeds (iteration i
// runs seed SEED + i); without them the fixed range that CI runs. Each
// iteration starts from the simulator's default set-up, so one seed replays
// alone: make fuzz SEED=<seed> ITERATIONS=1.
#include "FatalException.h"
#include "ProgramFuzz.h"
#include "ShellFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr uint64_t kCiFirstSeed = 1;
constexpr uint64_t kCiIterations = 100;
constexpr uint64_t kProgressEvery = 1000;

const char* Architecture() {
    return sizeof(void*) == 8 ? "x86_64" : "i686";
}

uint64_t EnvironmentNumber(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

void PrintReplay(uint64_t seed) {
    std::printf("fuzz: replay: make fuzz SEED=%llu ITERATIONS=1 BITS=%s\n",
                static_cast<unsigned long long>(seed), Architecture());
    std::fflush(stdout);
}

// The seed that runs, for the report of a crash: an exception handler gets
// no parameter of its own.
uint64_t g_RunningSeed = 0;

LONG CALLBACK ReportCrash(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    const bool fatal = IsFatalException(code);
    if (fatal) {
        std::printf("fuzz: FAILED seed %llu: exception 0x%08lX\n",
                    static_cast<unsigned long long>(g_RunningSeed), code);
        PrintReplay(g_RunningSeed);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

class ProgramFuzzTest : public ShellFixture {
protected:
    // Hidden, as with "-hide": nothing is painted, which keeps the iterations
    // quick; the pages and dialogs work the same.
    void SetUp() override {
        ShellFixture::SetUp();
        OpenShell(SW_HIDE);
    }
};

TEST_F(ProgramFuzzTest, SeedRangeKeepsEveryRule) {
    const uint64_t first = EnvironmentNumber("DEMTREL_FUZZ_SEED", kCiFirstSeed);
    const uint64_t iterations = EnvironmentNumber("DEMTREL_FUZZ_ITERATIONS", kCiIterations);
    ProgramFuzz fuzz(*frame, *view);
    void* handler = ::AddVectoredExceptionHandler(1, &ReportCrash);
    const auto start = std::chrono::steady_clock::now();
    uint64_t done = 0;
    for (; done < iterations; ++done) {
        g_RunningSeed = first + done;
        const std::vector<std::string> breaches = fuzz.RunIteration(g_RunningSeed);
        if (!breaches.empty()) {
            for (const std::string& breach : breaches)
                std::printf("fuzz: FAILED seed %llu: %s\n",
                            static_cast<unsigned long long>(g_RunningSeed), breach.c_str());
            PrintReplay(g_RunningSeed);
            ADD_FAILURE() << "seed " << g_RunningSeed << ": " << breaches.front();
            ++done;
            break;
        }
        if ((done + 1) % kProgressEvery == 0) {
            std::printf(
                "fuzz: %llu iterations done after %.0f s\n",
                static_cast<unsigned long long>(done + 1),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            std::fflush(stdout);
        }
    }
    ::RemoveVectoredExceptionHandler(handler);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("fuzz: %llu iterations (seeds %llu to %llu) in %.1f s on %s; %zu requests "
                "tampered with, %zu dialogs closed\n",
                static_cast<unsigned long long>(done), static_cast<unsigned long long>(first),
                static_cast<unsigned long long>(first + done - 1), seconds, Architecture(),
                fuzz.TamperedRequests(), fuzz.DialogsClosed());
    std::fflush(stdout);
}

} // namespace
