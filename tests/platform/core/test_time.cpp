#include "platform/core/clock.h"
#include "platform/core/file_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "support/scoped_time_zone.h"

namespace {

using plat::FileTimeToUnixSeconds;
using qbtest::ScopedTimeZone;

// Central European rules written out, so the test needs no time-zone database.
constexpr const char* kBerlinRules = "CET-1CEST,M3.5.0,M10.5.0/3";

SYSTEMTIME Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    SYSTEMTIME st;
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    st.wSecond = static_cast<WORD>(s);
    st.wMilliseconds = static_cast<WORD>(ms);
    return st;
}

std::int64_t UnixOf(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    const SYSTEMTIME st = Make(y, mo, d, h, mi, s);
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
    return FileTimeToUnixSeconds(ft);
}

TEST(FileTimeSeconds, KnownValuesAndRange) {
    FILETIME ft;
    ASSERT_TRUE(plat::UnixSecondsToFileTime(0, &ft));
    EXPECT_EQ(FileTimeToU64(ft), 116444736000000000ULL);
    EXPECT_EQ(FileTimeToUnixSeconds(ft), 0);
    ASSERT_TRUE(plat::UnixSecondsToFileTime(-11644473600LL, &ft));
    EXPECT_EQ(FileTimeToU64(ft), 0u);
    EXPECT_EQ(FileTimeToUnixSeconds(U64ToFileTime(0)), -11644473600LL);

    // Below a second is dropped toward the past, also before 1970.
    EXPECT_EQ(FileTimeToUnixSeconds(U64ToFileTime(116444736000000000ULL + 9'999'999)), 0);
    EXPECT_EQ(FileTimeToUnixSeconds(U64ToFileTime(116444736000000000ULL - 1)), -1);

    FILETIME untouched = U64ToFileTime(42);
    EXPECT_FALSE(plat::UnixSecondsToFileTime(-11644473601LL, &untouched));
    EXPECT_FALSE(plat::UnixSecondsToFileTime(INT64_MAX, &untouched));
    EXPECT_EQ(FileTimeToU64(untouched), 42u);
    EXPECT_EQ(FileTimeToU64(plat::FileTimeFromUnixSeconds(INT64_MIN)), 0u);
    const std::uint64_t top = FileTimeToU64(plat::FileTimeFromUnixSeconds(INT64_MAX));
    EXPECT_GT(top, UINT64_MAX - plat::kTicksPerSecond);
    EXPECT_EQ(top % plat::kTicksPerSecond, 0u);

    for (std::int64_t s = -11644473600LL; s < 40'000'000'000LL; s += 987'654'321) {
        ASSERT_TRUE(plat::UnixSecondsToFileTime(s, &ft));
        ASSERT_EQ(FileTimeToUnixSeconds(ft), s);
    }
}

TEST(SystemTimes, KnownDates) {
    SYSTEMTIME st;
    const FILETIME zero = U64ToFileTime(0);
    ASSERT_TRUE(FileTimeToSystemTime(&zero, &st));
    EXPECT_EQ(st.wYear, 1601);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 1);
    EXPECT_EQ(st.wDayOfWeek, 1);  // a Monday

    const SYSTEMTIME leap = Make(2000, 2, 29, 12, 34, 56, 789);
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&leap, &ft));
    EXPECT_EQ(FileTimeToUnixSeconds(ft), 951827696);
    EXPECT_EQ(FileTimeToU64(ft) % plat::kTicksPerSecond, 7'890'000u);
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    EXPECT_EQ(st.wYear, 2000);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);
    EXPECT_EQ(st.wDayOfWeek, 2);  // a Tuesday
    EXPECT_EQ(st.wHour, 12);
    EXPECT_EQ(st.wMinute, 34);
    EXPECT_EQ(st.wSecond, 56);
    EXPECT_EQ(st.wMilliseconds, 789);

    EXPECT_EQ(plat::DayOfWeek(1970, 1, 1), 4);
    EXPECT_EQ(plat::DayOfWeek(2024, 1, 1), 1);
    EXPECT_EQ(plat::DayOfWeek(2000, 1, 1), 6);
    EXPECT_EQ(plat::DayOfWeek(1600, 3, 1), 3);
}

TEST(SystemTimes, InvalidFieldsFail) {
    FILETIME ft = U64ToFileTime(7);
    for (const SYSTEMTIME& bad :
         {Make(2001, 2, 29), Make(2000, 13, 1), Make(2000, 0, 1), Make(2000, 4, 31), Make(2000, 1, 0),
          Make(1600, 12, 31), Make(30828, 1, 1), Make(2000, 1, 1, 24), Make(2000, 1, 1, 0, 60),
          Make(2000, 1, 1, 0, 0, 60), Make(2000, 1, 1, 0, 0, 0, 1000)}) {
        EXPECT_FALSE(SystemTimeToFileTime(&bad, &ft)) << bad.wYear << "-" << bad.wMonth << "-" << bad.wDay;
    }
    EXPECT_EQ(FileTimeToU64(ft), 7u);
    SYSTEMTIME st = Make(1999, 1, 1);
    const FILETIME huge = U64ToFileTime(0x8000000000000000ULL);
    EXPECT_FALSE(FileTimeToSystemTime(&huge, &st));
    EXPECT_EQ(st.wYear, 1999);
}

TEST(SystemTimes, EveryDayFrom1601RoundTrips) {
    FILETIME ft;
    SYSTEMTIME back;
    int expectedDow = 1;  // 1601-01-01 was a Monday
    for (int y = 1601; y <= 2500; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= plat::DaysInMonth(y, m); ++d) {
                const SYSTEMTIME st = Make(y, m, d, 23, 59, 59, 999);
                ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
                ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
                ASSERT_EQ(back.wYear, y);
                ASSERT_EQ(back.wMonth, m);
                ASSERT_EQ(back.wDay, d);
                ASSERT_EQ(back.wHour, 23);
                ASSERT_EQ(back.wMilliseconds, 999);
                ASSERT_EQ(back.wDayOfWeek, expectedDow) << y << "-" << m << "-" << d;
                expectedDow = (expectedDow + 1) % 7;
            }
        }
    }
}

TEST(DosDateTime, Boundaries) {
    WORD date = 0, time = 0;
    ASSERT_TRUE(plat::SystemTimeToDosDateTime(Make(1980, 1, 1), &date, &time));
    EXPECT_EQ(date, 0x0021);
    EXPECT_EQ(time, 0x0000);
    ASSERT_TRUE(plat::SystemTimeToDosDateTime(Make(2107, 12, 31, 23, 59, 59), &date, &time));
    EXPECT_EQ(date, 0xFF9F);
    EXPECT_EQ(time, 0xBF7D);  // 59 seconds are stored as 58

    WORD keepDate = 0x1234, keepTime = 0x5678;
    EXPECT_FALSE(plat::SystemTimeToDosDateTime(Make(1979, 12, 31, 23, 59, 59), &keepDate, &keepTime));
    EXPECT_FALSE(plat::SystemTimeToDosDateTime(Make(2108, 1, 1), &keepDate, &keepTime));
    EXPECT_FALSE(plat::SystemTimeToDosDateTime(Make(2023, 2, 29), &keepDate, &keepTime));
    EXPECT_FALSE(plat::SystemTimeToDosDateTime(Make(2023, 1, 1, 24), &keepDate, &keepTime));
    EXPECT_EQ(keepDate, 0x1234);
    EXPECT_EQ(keepTime, 0x5678);

    SYSTEMTIME st;
    ASSERT_TRUE(plat::DosDateTimeToSystemTime(0xFF9F, 0xBF7D, &st));
    EXPECT_EQ(st.wYear, 2107);
    EXPECT_EQ(st.wSecond, 58);
    EXPECT_EQ(st.wDayOfWeek, plat::DayOfWeek(2107, 12, 31));
}

TEST(DosDateTime, EveryWordUnpacksOnlyWhenItNamesARealDateOrTime) {
    SYSTEMTIME st;
    int validDates = 0;
    for (int w = 0; w <= 0xFFFF; ++w) {
        const int year = 1980 + (w >> 9), month = (w >> 5) & 15, day = w & 31;
        const bool real = plat::IsValidDate(year, month, day);
        ASSERT_EQ(plat::DosDateTimeToSystemTime(static_cast<WORD>(w), 0, &st), real) << w;
        if (!real) continue;
        ++validDates;
        WORD again = 0;
        ASSERT_TRUE(plat::SystemTimeToDosDateTime(st, &again, nullptr));
        ASSERT_EQ(again, w);
    }
    EXPECT_EQ(validDates, 128 * 365 + 31);  // every day of 1980..2107 (2100 is no leap year)

    const WORD firstDay = 0x0021;
    for (int w = 0; w <= 0xFFFF; ++w) {
        const bool real = (w >> 11) < 24 && ((w >> 5) & 63) < 60 && (w & 31) < 30;
        ASSERT_EQ(plat::DosDateTimeToSystemTime(firstDay, static_cast<WORD>(w), &st), real) << w;
        if (!real) continue;
        WORD again = 0;
        ASSERT_TRUE(plat::SystemTimeToDosDateTime(st, nullptr, &again));
        ASSERT_EQ(again, w);
    }
}

TEST(DosDateTime, FileTimeForms) {
    FILETIME ft;
    ASSERT_TRUE(DosDateTimeToFileTime(0x0021, 0x0000, &ft));
    EXPECT_EQ(FileTimeToUnixSeconds(ft), 315532800);  // 1980-01-01, no zone applied
    WORD date = 1, time = 1;
    ft = plat::FileTimeFromUnixSeconds(315532799);
    EXPECT_FALSE(FileTimeToDosDateTime(&ft, &date, &time));
    EXPECT_EQ(date, 1);
    ft = plat::FileTimeFromUnixSeconds(UnixOf(2108, 1, 1));
    EXPECT_FALSE(FileTimeToDosDateTime(&ft, &date, &time));
    ft = plat::FileTimeFromUnixSeconds(UnixOf(2024, 7, 15, 13, 45, 31));
    ASSERT_TRUE(FileTimeToDosDateTime(&ft, &date, &time));
    EXPECT_EQ(date, ((2024 - 1980) << 9) | (7 << 5) | 15);
    EXPECT_EQ(time, (13 << 11) | (45 << 5) | 15);
    FILETIME untouched = U64ToFileTime(9);
    EXPECT_FALSE(DosDateTimeToFileTime(0x0000, 0, &untouched));
    EXPECT_EQ(FileTimeToU64(untouched), 9u);
}

TEST(LocalTime, DaylightSavingChangesInBerlin) {
    ScopedTimeZone tz(kBerlinRules);
    // Spring: at 01:00 UTC on 2024-03-31 the clocks jump from 02:00 to 03:00.
    const std::int64_t spring = UnixOf(2024, 3, 31, 1);
    EXPECT_EQ(plat::UtcToLocalSeconds(spring - 1), UnixOf(2024, 3, 31, 1, 59, 59));
    EXPECT_EQ(plat::UtcToLocalSeconds(spring), UnixOf(2024, 3, 31, 3));
    EXPECT_EQ(plat::LocalToUtcSeconds(UnixOf(2024, 3, 31, 3)), spring);
    // 02:30 does not exist that night: it is read as 02:30 winter time, which is 03:30 summer time.
    EXPECT_EQ(plat::LocalToUtcSeconds(UnixOf(2024, 3, 31, 2, 30)), UnixOf(2024, 3, 31, 1, 30));

    // Autumn: at 01:00 UTC on 2024-10-27 the clocks go back from 03:00 to 02:00.
    const std::int64_t autumn = UnixOf(2024, 10, 27, 1);
    EXPECT_EQ(plat::UtcToLocalSeconds(autumn - 1), UnixOf(2024, 10, 27, 2, 59, 59));
    EXPECT_EQ(plat::UtcToLocalSeconds(autumn), UnixOf(2024, 10, 27, 2));
    // 02:30 happens twice; the first one is taken.
    EXPECT_EQ(plat::LocalToUtcSeconds(UnixOf(2024, 10, 27, 2, 30)), UnixOf(2024, 10, 27, 0, 30));

    // Every quarter hour of the year comes back, except the second pass of the repeated hour.
    for (std::int64_t u = UnixOf(2024, 1, 1); u < UnixOf(2025, 1, 1); u += 900) {
        const std::int64_t back = plat::LocalToUtcSeconds(plat::UtcToLocalSeconds(u));
        if (u >= autumn && u < autumn + 3600) {
            ASSERT_EQ(back, u - 3600);
        } else {
            ASSERT_EQ(back, u) << u;
        }
    }
}

TEST(LocalTime, FileTimesUseTheRuleOfTheirOwnDate) {
    ScopedTimeZone tz(kBerlinRules);
    const FILETIME winter = plat::FileTimeFromUnixSeconds(UnixOf(2024, 1, 15, 12));
    const FILETIME summer = U64ToFileTime(FileTimeToU64(plat::FileTimeFromUnixSeconds(UnixOf(2024, 7, 15, 12))) + 5);
    FILETIME local;
    ASSERT_TRUE(FileTimeToLocalFileTime(&winter, &local));
    EXPECT_EQ(FileTimeToUnixSeconds(local), UnixOf(2024, 1, 15, 13));
    ASSERT_TRUE(FileTimeToLocalFileTime(&summer, &local));
    EXPECT_EQ(FileTimeToUnixSeconds(local), UnixOf(2024, 7, 15, 14));
    EXPECT_EQ(FileTimeToU64(local) % plat::kTicksPerSecond, 5u);  // ticks kept
}

TEST(LocalTime, NamedZoneWhenTheDatabaseIsInstalled) {
    struct stat info;
    if (stat("/usr/share/zoneinfo/Europe/Berlin", &info) != 0) GTEST_SKIP() << "no time-zone database";
    ScopedTimeZone tz("Europe/Berlin");
    EXPECT_EQ(plat::UtcToLocalSeconds(UnixOf(2024, 3, 31, 1)), UnixOf(2024, 3, 31, 3));
    EXPECT_EQ(plat::UtcToLocalSeconds(UnixOf(2024, 10, 27, 1)), UnixOf(2024, 10, 27, 2));
}

TEST(Clocks, OverrideFixesEveryReaderAndRestores) {
    ScopedTimeZone tz(kBerlinRules);
    const std::int64_t noon = UnixOf(2024, 7, 15, 12);
    {
        plat::FixedClock fixed(noon);
        plat::ClockOverride guard(fixed);
        EXPECT_EQ(&plat::CurrentClock(), &fixed);
        EXPECT_EQ(plat::NowUnixSeconds(), noon);
        SYSTEMTIME st;
        GetLocalTime(&st);
        EXPECT_EQ(st.wHour, 14);
        EXPECT_EQ(st.wDayOfWeek, 1);
        EXPECT_EQ(FileTimeToUnixSeconds(plat::NowLocalFileTime()), noon + 7200);
        EXPECT_EQ(FileTimeToUnixSeconds(plat::NowFileTime()), noon);

        fixed.Advance(90);
        EXPECT_EQ(plat::NowUnixSeconds(), noon + 90);
        fixed.Advance(-3600);
        EXPECT_EQ(plat::NowUnixSeconds(), noon + 90 - 3600);
        {
            plat::FixedClock other(0);
            plat::ClockOverride inner(other);
            EXPECT_EQ(plat::NowUnixSeconds(), 0);
        }
        EXPECT_EQ(&plat::CurrentClock(), &fixed);
        fixed.Set(plat::FileTimeFromUnixSeconds(5));
        EXPECT_EQ(plat::NowUnixSeconds(), 5);
    }
    EXPECT_EQ(&plat::CurrentClock(), &plat::SystemClock());
    const std::int64_t real = std::time(nullptr);
    EXPECT_LE(std::abs(plat::NowUnixSeconds() - real), 5);
}

}  // namespace
