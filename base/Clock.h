// Wall-clock times as whole seconds since 1970 (UTC), and their local
// time of day as the user's locale writes it. The drop-out monitor keeps its
// times this way so that a time zone or daylight-saving change moves only
// how they read, never what they are.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

int64_t UnixNow();
// The local time by the time zone's rules for that date, not today's bias;
// false for a time the system cannot convert.
bool ToLocalTime(int64_t unixSeconds, SYSTEMTIME& local);
// The local time of day, "14:02", or with seconds "14:02:33"; empty for a
// time that cannot be converted.
std::string LocalTimeText(int64_t unixSeconds, bool withSeconds = false);
