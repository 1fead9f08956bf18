// Appending members without rewriting the archive: the rest of the file stays as it was,
// other ZIP tools read the result, a kill at any write leaves the old archive or the new
// one, the ZIP64 end records once the classic ones cannot count the members, and the
// members read back whole in one pass.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/text.h"
#include "platform/core/zip_append.h"
#include "platform/core/zip_bulk_reader.h"
#include "platform/core/zip_command.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "zip_test_commands.h"

using namespace ziptest;

namespace {

bool Succeeds(const std::string& command) {
    return std::system((command + " </dev/null >/dev/null 2>&1").c_str()) == 0;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// What any ZIP tool given the password makes of the archive: every member tested.
bool ZipToolAccepts(const std::string& archive) {
    return Succeeds(std::string("unzip -tqq -P ") + kPassword + " " + Quote(archive));
}

std::string Record(int n) {
    std::string bytes(4672, '\0');
    const std::string text = "record " + std::to_string(n);
    bytes.replace(0, text.size(), text);
    return bytes;
}

std::string Name(int n) { return plat::Format("\"%d\"", n); }

// Ends appends after `writes` writes until the object goes.
class Interrupted {
public:
    explicit Interrupted(int writes) {
        plat::zip_detail::SetAppendInterruption([writes](int done) { return done < writes; });
    }
    ~Interrupted() { plat::zip_detail::SetAppendInterruption({}); }
    Interrupted(const Interrupted&) = delete;
    Interrupted& operator=(const Interrupted&) = delete;
};

std::vector<std::filesystem::path> FilesIn(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
    return files;
}

TEST(ZipAppend, AnAppendWritesOnlyTheNewMemberAndOtherToolsReadTheArchive) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("history.fhs");
    ASSERT_EQ(Append(archive, Name(0), Record(0)), kZipOk);
    const std::string first = qbtest::ReadFileBytes(archive);
    ASSERT_EQ(Append(archive, Name(1), Record(1)), kZipOk);
    ASSERT_EQ(Append(archive, Name(2), Record(2)), kZipOk);
    const std::string third = qbtest::ReadFileBytes(archive);

    // The file keeps its length; the first member lies where it lay.
    ASSERT_EQ(third.size(), first.size());
    const std::size_t firstEnd = first.find("PK\x07\x08") + 16;  // past its data descriptor
    ASSERT_LT(firstEnd, first.size());
    EXPECT_EQ(third.substr(0, firstEnd), first.substr(0, firstEnd));

    EXPECT_EQ(Count(archive), 3u);
    for (int n = 0; n < 3; ++n) EXPECT_EQ(Extract(archive, Name(n)), Record(n));
    EXPECT_EQ(ExtractByIndex(archive, 0), Record(2)) << "the newest member is listed first";
    EXPECT_TRUE(ZipToolAccepts(archive));
    qbtest::WriteFileBytes(dir.sub("one"), Record(1));
    EXPECT_TRUE(Succeeds(std::string("(unzip -p -P ") + kPassword + " " + Quote(archive) + " " + Quote(Name(1)) +
                         " | cmp -s - " + Quote(dir.sub("one")) + ")"));

    // A name in use is refused, and nothing changes.
    EXPECT_EQ(Append(archive, Name(1), "other"), kZipMemberExists);
    EXPECT_EQ(qbtest::ReadFileBytes(archive), third);

    // All at once: each member in its slot, a wrong password finds every one unsound.
    std::vector<std::string> slots(3);
    plat::BulkExtraction what;
    what.slotCount = 3;
    what.maxSize = 4672;
    what.password = kPassword;
    what.slotOf = [](std::string_view name) -> std::optional<std::size_t> { return name[1] - '0'; };
    what.take = [&slots](std::size_t slot, std::span<const std::uint8_t> bytes) {
        slots[slot].assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    const auto all = plat::ExtractMembers(archive, what);
    ASSERT_TRUE(all.has_value());
    EXPECT_TRUE(all->damaged.empty());
    for (int n = 0; n < 3; ++n) EXPECT_EQ(slots[static_cast<std::size_t>(n)], Record(n));
    what.password = "wrong";
    EXPECT_EQ(plat::ExtractMembers(archive, what)->damaged, (std::vector<std::size_t>{0, 1, 2}));
}

TEST(ZipAppend, AKillAtAnyWriteLeavesTheOldArchiveOrTheNewOne) {
    for (int writes = 1; writes <= 3; ++writes) {
        SCOPED_TRACE(writes);
        qbtest::TempDir dir;
        const std::string archive = dir.sub("history.fhs");
        ASSERT_EQ(Append(archive, Name(0), Record(0)), kZipOk);
        ASSERT_EQ(Append(archive, Name(1), Record(1)), kZipOk);
        {
            const Interrupted kill(writes);
            Append(archive, Name(2), Record(2));
        }
        const bool isNew = writes == 3;  // the end records were written
        EXPECT_EQ(Count(archive), isNew ? 3u : 2u);
        EXPECT_EQ(Extract(archive, Name(1)), Record(1));
        EXPECT_EQ(Find(archive, Name(2)) == 0, isNew);
        EXPECT_TRUE(ZipToolAccepts(archive));
        // The next append finds the archive as the kill left it.
        ASSERT_EQ(Append(archive, Name(3), Record(3)), kZipOk);
        EXPECT_EQ(Count(archive), isNew ? 4u : 3u);
        EXPECT_EQ(Extract(archive, Name(3)), Record(3));
        EXPECT_TRUE(ZipToolAccepts(archive));
    }

    // A file laid out anew is renamed into place whole, or not at all.
    qbtest::TempDir dir;
    const std::string archive = dir.sub("history.fhs");
    ASSERT_EQ(Store(archive, Name(0), Record(0)), kZipOk);  // as older versions wrote it
    const std::string before = qbtest::ReadFileBytes(archive);
    {
        const Interrupted kill(1);
        Append(archive, Name(1), Record(1));
    }
    EXPECT_EQ(qbtest::ReadFileBytes(archive), before);
    EXPECT_EQ(FilesIn(dir.path()).size(), 2u) << "the killed rewrite's file is left, beside the archive";
    ASSERT_EQ(Append(archive, Name(1), Record(1)), kZipOk);
    EXPECT_EQ(Count(archive), 2u);
    EXPECT_TRUE(ZipToolAccepts(archive));
}

TEST(ZipAppend, PastTheClassicLimitTheEndRecordsTakeTheZip64Form) {
    // Each append flushes its writes; in memory that costs nothing, on a disk 65,536 of
    // them would take half a minute.
    const qbtest::ScopedEnv inMemory("TMPDIR", std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp");
    qbtest::TempDir dir;
    const std::string archive = dir.sub("big.fhs");
    constexpr int kMembers = 65536;  // one more than the classic end record can count
    for (int n = 0; n < kMembers; ++n) {
        ASSERT_EQ(Append(archive, Name(n), std::to_string(n), nullptr, 0), kZipOk) << n;
    }
    EXPECT_EQ(Count(archive), static_cast<DWORD>(kMembers));
    const std::uintmax_t size = std::filesystem::file_size(archive);
    ASSERT_EQ(Append(archive, Name(kMembers), "last", nullptr, 0), kZipOk);
    EXPECT_EQ(std::filesystem::file_size(archive), size) << "appended in place in the ZIP64 form too";
    EXPECT_EQ(Extract(archive, Name(0), nullptr), "0");
    EXPECT_EQ(Extract(archive, Name(kMembers), nullptr), "last");
    EXPECT_TRUE(Succeeds("unzip -tqq " + Quote(archive)));
}

}  // namespace
