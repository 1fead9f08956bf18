#include <gtest/gtest.h>

#include <clocale>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "foundation/log_file.h"
#include "platform/core/clock.h"
#include "platform/core/file_faults.h"
#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "resources/string_ids.h"
#include "support/scoped_time_zone.h"
#include "support/temp_dir.h"

namespace {

std::wstring W(const std::string& s) { return plat::Utf8ToWide(s); }

// Fixes the time zone and the C library's locale for one test.
class ScopedZoneAndLocale {
public:
    ScopedZoneAndLocale() : oldLocale_(std::setlocale(LC_TIME, nullptr)) { std::setlocale(LC_TIME, "C"); }
    ~ScopedZoneAndLocale() { std::setlocale(LC_TIME, oldLocale_.c_str()); }

private:
    qbtest::ScopedTimeZone zone_{"UTC0"};
    std::string oldLocale_;
};

std::vector<std::string> SplitCrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", from);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(from) + "<no line end>");
            break;
        }
        lines.push_back(bytes.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

TEST(LogWrite, EightBitAndWideLinesAsUtf8WithCrLfAndNoMark) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("task \xC3\xA9.log");
    CLog log(W(path), 100000, true);
    EXPECT_TRUE(
        log.WriteLine("Gr\xC3\xBC\xC3\x9F"
                      "e 1"));
    EXPECT_TRUE(log.WriteLineW(L"Gr\u00fc\u00dfe 2 \U0001F600"));
    EXPECT_TRUE(log.WriteLine("\xFF bytes as they are"));
    EXPECT_EQ(qbtest::ReadFileBytes(path),
              "Gr\xC3\xBC\xC3\x9F"
              "e 1\r\n"
              "Gr\xC3\xBC\xC3\x9F"
              "e 2 \xF0\x9F\x98\x80\r\n"
              "\xFF bytes as they are\r\n");

    // Each line closes the file: another log of the same path appends after it.
    CLog again(W(path), 0, false);
    EXPECT_TRUE(again.WriteLine("last"));
    EXPECT_EQ(SplitCrLfLines(qbtest::ReadFileBytes(path)).back(), "last");
}

TEST(LogWrite, EmptyTextWritesNothingNotEvenALineEnd) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("empty.log");
    CLog log(W(path), 0, true);
    EXPECT_TRUE(log.WriteLine(""));
    EXPECT_TRUE(log.WriteLineW(L""));
    EXPECT_EQ(qbtest::ReadFileBytes(path), "");
    EXPECT_TRUE(log.WriteLine("a"));
    EXPECT_TRUE(log.WriteLine(""));
    EXPECT_EQ(qbtest::ReadFileBytes(path), "a\r\n");
}

TEST(LogWrite, HeaderLineWithTheLocalDateAndTime) {
    const ScopedZoneAndLocale zone;
    plat::FixedClock clock(1704164645);  // 2024-01-02 03:04:05 UTC
    const plat::ClockOverride useClock(clock);
    qbtest::TempDir dir;
    const std::string path = dir.sub("h.log");
    CLog log(W(path), 0, true);

    const std::string start = log.WriteHeader(IDS_RUN_START_BANNER, "Starting");
    EXPECT_EQ(start, "--- Starting - 01/02/24 03:04:05  ---\r\n");
    clock.Advance(3600);
    const std::string done = log.WriteHeader(IDS_RUN_END_BANNER, "CHECK+SYNC");
    EXPECT_EQ(done, "--- CHECK+SYNC Completed - 01/02/24 04:04:05  ---\r\n");
    EXPECT_EQ(qbtest::ReadFileBytes(path), start + done);

    // The line comes back also when it could not be written.
    clock.Set(1704164645);
    CLog nowhere(W(dir.sub("no/such/folder/h.log")), 0, true);
    EXPECT_EQ(nowhere.WriteHeader(IDS_RUN_START_BANNER, "Starting"), start);
    CLog unnamed(L"", 0, true);
    EXPECT_EQ(unnamed.WriteHeader(IDS_RUN_START_BANNER, "Starting"), start);
}

TEST(LogLimits, KilobytesInSixtyFourBits) {
    EXPECT_EQ(CLog(L"x", 0, true).LimitBytes(), 102'400'000u);
    EXPECT_EQ(CLog(L"x", 1, true).LimitBytes(), 1'024u);
    EXPECT_EQ(CLog(L"x", 100000, true).LimitBytes(), 102'400'000u);
    EXPECT_EQ(CLog(L"x", 4'194'304, true).LimitBytes(), 4'294'967'296ull);
    EXPECT_EQ(CLog(L"x", 0xFFFFFFFF, true).LimitBytes(), 0xFFFFFFFFull * 1024);
}

TEST(LogFailures, MissingOrUnwritablePlacesDropLinesQuietly) {
    const plat::ScopedMessageBoxHandler boxes(IDOK);
    qbtest::TempDir dir;

    CLog missing(W(dir.sub("gone/x.log")), 0, true);
    EXPECT_FALSE(missing.WriteLine("lost"));
    EXPECT_FALSE(missing.WriteLineW(L"lost"));
    EXPECT_FALSE(missing.Clear());
    EXPECT_FALSE(plat::PathExists(dir.sub("gone")));

    qbtest::WriteFileBytes(dir.sub("file"), "");
    CLog underFile(W(dir.sub("file/x.log")), 0, true);
    EXPECT_FALSE(underFile.WriteLine("lost"));

    qbtest::WriteFileBytes(dir.sub("ro.log"), "kept\r\n");
    ASSERT_TRUE(plat::SetFileAttributes(dir.sub("ro.log"), FILE_ATTRIBUTE_READONLY));
    CLog readOnly(W(dir.sub("ro.log")), 0, true);
    EXPECT_FALSE(readOnly.WriteLine("lost"));
    EXPECT_FALSE(readOnly.Clear());
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("ro.log")), "kept\r\n");

    CLog unnamed(L"", 0, true);
    EXPECT_FALSE(unnamed.WriteLine("lost"));
    EXPECT_FALSE(unnamed.Clear());

    // The next write tries again.
    ASSERT_TRUE(plat::CreateFolder(dir.sub("gone")));
    EXPECT_TRUE(missing.WriteLine("found"));
    EXPECT_EQ(qbtest::ReadFileBytes(dir.sub("gone/x.log")), "found\r\n");

    EXPECT_TRUE(boxes.Requests().empty());
}

TEST(LogFailures, ALineThatDoesNotFitLeavesNothingOfItself) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("full.log");
    CLog log(W(path), 0, true);
    ASSERT_TRUE(log.WriteLine("first"));
    {
        plat::FileFaults faults;
        faults.diskFullPath = plat::FileFaults::SamePath(path);
        faults.diskFullAfterBytes = 5;
        const plat::ScopedFileFaults full(faults);
        EXPECT_FALSE(log.WriteLine("a line longer than what fits"));
        EXPECT_EQ(qbtest::ReadFileBytes(path), "first\r\n");
    }
    EXPECT_TRUE(log.WriteLine("third"));
    EXPECT_EQ(qbtest::ReadFileBytes(path), "first\r\nthird\r\n");
}

TEST(LogClear, EmptiesOrCreates) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("c.log");
    qbtest::WriteFileBytes(path, "old lines\r\n");
    CLog log(W(path), 0, true);
    EXPECT_TRUE(log.Clear());
    EXPECT_EQ(qbtest::ReadFileBytes(path), "");
    ASSERT_TRUE(plat::DeleteFile(path));
    EXPECT_TRUE(log.Clear());
    EXPECT_TRUE(plat::PathExists(path));
}

struct Question {
    std::string text;
    std::string caption;
};

TEST(LogCheckSize, AsksOnceWhenTheFileOnDiskIsOverTheLimit) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("big.log");
    std::vector<Question> asked;
    bool answer = false;
    const CLog::ClearQuestion ask = [&](const std::string& text, const std::string& caption) {
        asked.push_back({text, caption});
        return answer;
    };

    // At the limit: no question, asking stays allowed.
    qbtest::WriteFileBytes(path, std::string(1024, 'x'));
    CLog log(W(path), 1, true);
    log.CheckSize(ask);
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(log.MayAsk());

    // Over it, with no one to ask (a run's thread): nothing asked, file kept, still allowed.
    qbtest::WriteFileBytes(path, std::string(1025, 'x'));
    log.CheckSize();
    EXPECT_TRUE(log.MayAsk());
    EXPECT_EQ(qbtest::ReadFileBytes(path).size(), 1025u);

    // Asked: No keeps the file, and the log never asks again.
    log.CheckSize(ask);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Log file length has exceeded the maximum limit.  Do you want to clear it up now?");
    EXPECT_EQ(asked[0].caption, "Quarrybend Sync VEXO");
    EXPECT_FALSE(log.MayAsk());
    EXPECT_EQ(qbtest::ReadFileBytes(path).size(), 1025u);
    log.CheckSize(ask);
    EXPECT_EQ(asked.size(), 1u);

    // Yes clears it.
    answer = true;
    CLog second(W(path), 1, true);
    second.CheckSize(ask);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(qbtest::ReadFileBytes(path), "");

    // A log told not to ask, and a missing file, ask nothing.
    qbtest::WriteFileBytes(path, std::string(5000, 'x'));
    CLog quiet(W(path), 1, false);
    quiet.CheckSize(ask);
    CLog missing(W(dir.sub("none.log")), 1, true);
    missing.CheckSize(ask);
    EXPECT_TRUE(missing.MayAsk());
    EXPECT_EQ(asked.size(), 2u);
}

TEST(LogCheckSize, MessageBoxAnswerSource) {
    plat::ScopedMessageBoxHandler boxes(IDYES);
    qbtest::TempDir dir;
    const std::string path = dir.sub("big.log");
    qbtest::WriteFileBytes(path, std::string(2048, 'x'));
    CLog log(W(path), 1, true);
    log.CheckSize(&CLog::AskInMessageBox);
    const auto requests = boxes.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].owner, nullptr);
    EXPECT_EQ(requests[0].type & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(requests[0].caption, "Quarrybend Sync VEXO");
    EXPECT_EQ(qbtest::ReadFileBytes(path), "");
}

TEST(LogConcurrency, TwoWritersOfOneLogLoseNoLineAndMixNone) {
    qbtest::TempDir dir;
    const std::string path = dir.sub("shared.log");
    constexpr int kLines = 1000;
    CLog shared(W(path), 0, true);
    CLog other(W(dir.sub(".") + "/shared.log"), 0, true);  // another spelling, the same file

    auto writer = [&](CLog& log, char name, bool wide) {
        for (int i = 0; i < kLines; ++i) {
            std::ostringstream line;
            line << name << ' ' << i << ' ' << std::string(200 + i % 50, name);
            if (wide) {
                log.WriteLineW(plat::Utf8ToWide(line.str()));
            } else {
                log.WriteLine(line.str());
            }
        }
    };
    std::thread a(writer, std::ref(shared), 'A', false);
    std::thread b(writer, std::ref(other), 'B', true);
    std::thread c(writer, std::ref(shared), 'C', false);  // two threads on one object too
    a.join();
    b.join();
    c.join();

    const std::vector<std::string> lines = SplitCrLfLines(qbtest::ReadFileBytes(path));
    ASSERT_EQ(lines.size(), 3u * kLines);
    int next[3] = {0, 0, 0};
    for (const std::string& line : lines) {
        std::istringstream in(line);
        char name = 0;
        int index = -1;
        std::string filler;
        in >> name >> index >> filler;
        ASSERT_TRUE(name == 'A' || name == 'B' || name == 'C') << line;
        EXPECT_EQ(index, next[name - 'A']++) << line;
        EXPECT_EQ(filler, std::string(200 + index % 50, name)) << line;
    }
}

}  // namespace
