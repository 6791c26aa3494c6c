#include "Clock.h"

namespace {

constexpr int64_t kEpochSeconds = 11644473600; // from 1601, FILETIME's zero, to 1970
constexpr int64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns

} // namespace

int64_t UnixNow() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return static_cast<int64_t>(ticks / kTicksPerSecond) - kEpochSeconds;
}

bool ToLocalTime(int64_t unixSeconds, SYSTEMTIME& local) {
    if (unixSeconds < -kEpochSeconds)
        return false;
    const uint64_t ticks = static_cast<uint64_t>(unixSeconds + kEpochSeconds) * kTicksPerSecond;
    const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{};
    return ::FileTimeToSystemTime(&file, &utc) &&
           ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
}

std::string LocalTimeText(int64_t unixSeconds, bool withSeconds) {
    SYSTEMTIME local{};
    char text[64] = {};
    if (!ToLocalTime(unixSeconds, local) ||
        ::GetTimeFormatA(LOCALE_USER_DEFAULT, withSeconds ? 0 : TIME_NOSECONDS, &local, nullptr,
                         text, sizeof text) == 0)
        return std::string();
    return text;
}
