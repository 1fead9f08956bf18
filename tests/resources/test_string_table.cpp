#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(UINT id) {
    const auto text = res::FindString(id);
    EXPECT_TRUE(text.has_value()) << "missing string " << id;
    return text ? std::string(*text) : std::string();
}

TEST(StringTable, TextsAreKeptByteForByte) {
    EXPECT_EQ(Text(11086), "Task '%s' is busy due to source or target folder lock.  Please try later.");
    EXPECT_EQ(Text(11138), "%s is busy.  Try it later!");
    EXPECT_EQ(Text(5091), "Copy Time to Let");
    EXPECT_EQ(Text(32833), "Compare Filers");
    EXPECT_EQ(Text(5065), "ResetTask");
    EXPECT_EQ(Text(11273), "Successully set volume '%s' name as '%s");
    EXPECT_EQ(Text(11116), " (Check)");
    EXPECT_EQ(Text(48014), "--- %s - %s ---");
    EXPECT_EQ(Text(48021), "--- %s Completed - %s ---");
    EXPECT_EQ(Text(57344), "Quarrybend Sync VEXO");
    EXPECT_EQ(Text(65301),
              "Sync cannot close because there are currently %lu tasks active.  Do you still want to close Sync?");
    EXPECT_EQ(Text(11262),
              "Right to Left Backup will copy files from right to left folder, even right file is older than the "
              "left file.  No catalog is created.  This is the fast method to back up data.");
}

TEST(StringTable, StatusBarTextsKeepTheirTrailingBlanks) {
    EXPECT_EQ(Text(65051), "No action" + std::string(12, ' '));
    EXPECT_EQ(Text(65072), "No task" + std::string(16, ' '));
}

TEST(StringTable, SameTextUnderSeveralIds) {
    EXPECT_EQ(Text(11102), "Left Folder");
    EXPECT_EQ(Text(11173), "Left Folder");
    EXPECT_EQ(Text(11118), Text(11119));
}

TEST(StringTable, UnknownIdsFailCleanly) {
    // 65414 and 65515 are looked up by the program and must not exist.
    for (const UINT id : {0u, 1u, 5020u, 11231u, 65414u, 65515u, 65535u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(res::FindString(id).has_value()) << id;
    }
}

TEST(StringTable, EveryEntryIsFoundByItsId) {
    const auto table = res::StringTable();
    EXPECT_EQ(table.size(), 276u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(table[i - 1].id, table[i].id);
        }
        const auto found = res::FindString(table[i].id);
        ASSERT_TRUE(found.has_value()) << table[i].id;
        EXPECT_EQ(found->data(), table[i].text.data());
        EXPECT_FALSE(found->empty());
    }
}

}  // namespace
