#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "foundation/options/filter_options.h"
#include "foundation/options/filter_text_fit.h"
#include "foundation/quoted_list.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "platform/core/text.h"
#include "support/settings_fixture.h"

namespace {

using FilterOptionsTest = qbtest::SettingsFileTest;

TEST_F(FilterOptionsTest, EmptySettingsFileGivesTheDefaults) {
    const CConfigCompressFilterPage page(false, L"/home/me");
    EXPECT_EQ(page.filterMode, 0u);
    EXPECT_EQ(page.excludeText, L"");
    EXPECT_EQ(page.includeText, L"");
    EXPECT_TRUE(page.system);
    EXPECT_FALSE(page.readonly);
    EXPECT_TRUE(page.hidden);
    EXPECT_FALSE(page.empty);
    EXPECT_EQ(page.AttributeMask(), kExcludeHiddenBit | kExcludeSystemBit);
    EXPECT_EQ(page.startFolder, L"/home/me");
    EXPECT_FALSE(page.changed);
}

TEST_F(FilterOptionsTest, OpeningSplitsTheTextsIntoItems) {
    WriteSetting(settings::kFilterMode, 3);
    WriteSettingW(settings::kFilterExclude, L"*.tmp \"/home/me/My Pictures/*.*\"");
    CConfigCompressFilterPage page(false, L"");
    const FilterPageControls controls = page.OnOpen();
    EXPECT_TRUE(controls.useExclusion);
    EXPECT_TRUE(controls.useInclusion);
    EXPECT_EQ(controls.exclusionItems, (std::vector<std::wstring>{L"*.tmp", L"\"/home/me/My Pictures/*.*\""}));
    EXPECT_TRUE(controls.inclusionItems.empty());
    EXPECT_TRUE(controls.system);
    EXPECT_TRUE(controls.hidden);
    EXPECT_FALSE(controls.readonly);
}

TEST_F(FilterOptionsTest, TextRebuildTrimsEveryItemAndTheEnd) {
    EXPECT_EQ(CConfigCompressFilterPage::BuildFilterText({L"  *.tmp  ", L"\t*.bak", L"\"a b\\*.*\" "}),
              L"*.tmp *.bak \"a b\\*.*\"");
    EXPECT_EQ(CConfigCompressFilterPage::BuildFilterText({}), L"");
    // An item typed with ';' between its entries keeps the blanks of each.
    const std::wstring text =
        CConfigCompressFilterPage::BuildFilterText({L"*.log", L" /home/me/My Docs/*.*;*.tmp; \"x;y z\""});
    EXPECT_EQ(text, L"*.log \"/home/me/My Docs/*.*\" *.tmp \"x;y z\"");
    FilterPatterns patterns;
    ParseFilterPatterns(patterns, L"", text);
    EXPECT_EQ(patterns.excludeFolders, std::vector<std::wstring>{L"/home/me/my docs/"});
    EXPECT_EQ(patterns.excludePatterns, (std::vector<std::wstring>{L"*.log", L"*.tmp", L"x;y z"}));
    EXPECT_EQ(CConfigCompressFilterPage::BuildFilterText({L"   "}), L"");
}

TEST_F(FilterOptionsTest, SwitchedOnListWithoutItemsIsRefusedWithItsText) {
    CConfigCompressFilterPage page(false, L"");
    FilterPageControls controls = page.OnOpen();
    controls.useInclusion = true;
    controls.system = false;
    FilterOkResult result = page.ApplyOk(controls);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.refusal, "You selected 'Use inclusion filter'; however, you have not entered any filters");
    // A refusal leaves the record as it was.
    EXPECT_EQ(page.filterMode, 0u);
    EXPECT_TRUE(page.system);
    EXPECT_FALSE(page.changed);

    controls.useExclusion = true;
    result = page.ApplyOk(controls);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.refusal, "You selected 'Use exclusion filter'; however, you have not entered any filters");
}

TEST_F(FilterOptionsTest, OkBuildsModeTextsAndMask) {
    CConfigCompressFilterPage page(false, L"");
    FilterPageControls controls = page.OnOpen();
    controls.useExclusion = true;
    controls.exclusionItems = {L" *.tmp ", L"\"/home/me/Old Stuff/*.*\""};
    controls.inclusionItems = {L"*.doc *.txt *.rtf"};  // kept while the list is off
    controls.readonly = true;
    controls.hidden = false;
    controls.system = true;
    const FilterOkResult result = page.ApplyOk(controls);
    ASSERT_TRUE(result.accepted);
    EXPECT_EQ(page.filterMode, 1u);
    EXPECT_EQ(page.excludeText, L"*.tmp \"/home/me/Old Stuff/*.*\"");
    EXPECT_EQ(page.includeText, L"*.doc *.txt *.rtf");
    EXPECT_EQ(page.AttributeMask(), 5u);
    EXPECT_TRUE(page.changed);
    EXPECT_EQ(SettingsBytes(), "");

    controls.useInclusion = true;
    ASSERT_TRUE(page.ApplyOk(controls).accepted);
    EXPECT_EQ(page.filterMode, 3u);
    controls.useExclusion = false;
    ASSERT_TRUE(page.ApplyOk(controls).accepted);
    EXPECT_EQ(page.filterMode, 2u);
}

TEST_F(FilterOptionsTest, OkWithoutChangesLeavesTheChangedFlagAlone) {
    WriteSetting(settings::kFilterMode, 1);
    WriteSettingW(settings::kFilterExclude, L"*.tmp \"a b\"");
    CConfigCompressFilterPage page(false, L"");
    ASSERT_TRUE(page.ApplyOk(page.OnOpen()).accepted);
    EXPECT_FALSE(page.changed);
    EXPECT_EQ(page.excludeText, L"*.tmp \"a b\"");

    // The flag is the caller's to clear: a later OK without changes keeps it set.
    FilterPageControls controls = page.OnOpen();
    controls.empty = true;
    page.ApplyOk(controls);
    EXPECT_TRUE(page.changed);
    page.OnOpen();
    page.ApplyOk(page.OnOpen());
    EXPECT_TRUE(page.changed);
}

TEST_F(FilterOptionsTest, DefaultsPageWritesItsKeysInOrder) {
    CConfigCompressFilterPage page(true, L"");
    FilterPageControls controls = page.OnOpen();
    controls.useExclusion = true;
    controls.useInclusion = true;
    controls.exclusionItems = {L"*.tmp", L"\"/srv/My Files/*.*\""};
    controls.inclusionItems = {L"*.pdf", L"Résumé.odt"};
    controls.readonly = true;
    controls.hidden = false;
    controls.system = false;
    controls.empty = true;
    ASSERT_TRUE(page.ApplyOk(controls).settingsWritten);
    EXPECT_EQ(SettingsBytes(),
              "[Configuration - Filters]\r\nFilter Mode=3\r\nReadonly=1\r\nSystem=0\r\nHidden=0\r\nEmpty=1\r\n"
              "Exclude=*.tmp \"/srv/My Files/*.*\"\r\nInclude=*.pdf R\xC3\xA9sum\xC3\xA9.odt\r\n");

    // Read back by a new task, the quoted folder is still one entry.
    CConfigCompressFilterPage task(false, L"");
    const FilterPageControls reopened = task.OnOpen();
    EXPECT_EQ(reopened.exclusionItems, controls.exclusionItems);
    EXPECT_EQ(task.AttributeMask(), kExcludeReadonlyBit);
    EXPECT_TRUE(task.empty);
}

TEST_F(FilterOptionsTest, CancelRestoresTextsModeAndFlags) {
    CConfigCompressFilterPage page(false, L"");
    page.OnOpen();
    FilterPageControls controls;
    controls.useExclusion = true;
    controls.exclusionItems = {L"*.tmp"};
    controls.readonly = true;
    controls.empty = true;
    ASSERT_TRUE(page.ApplyOk(controls).accepted);  // Apply, then Cancel
    page.OnCancel();
    EXPECT_EQ(static_cast<const FilterOptionValues&>(page), FilterOptionValues());
    EXPECT_FALSE(page.useExclusion);
    EXPECT_EQ(page.AttributeMask(), kExcludeHiddenBit | kExcludeSystemBit);
}

TEST_F(FilterOptionsTest, AttributeMaskSetsTheFlags) {
    CConfigCompressFilterPage page(false, L"");
    page.SetAttributeMask(kExcludeReadonlyBit);
    EXPECT_TRUE(page.readonly);
    EXPECT_FALSE(page.hidden);
    EXPECT_FALSE(page.system);
    const FilterPageControls controls = page.OnOpen();
    EXPECT_TRUE(controls.readonly);
    EXPECT_FALSE(controls.hidden);
    EXPECT_EQ(page.AttributeMask(), 1u);
}

TEST_F(FilterOptionsTest, HelpIdsAndModifiedControls) {
    const std::pair<int, UINT> expected[] = {{8819, 11233}, {8820, 11234}, {47945, 11235}, {8832, 11236},
                                             {8833, 11237}, {8834, 11238}, {8840, 11239},  {8841, 11240},
                                             {8836, 11241}, {6027, 11242}, {6028, 11243},  {6029, 11244}};
    for (const auto& [control, text] : expected) {
        EXPECT_EQ(CConfigCompressFilterPage::HelpTextId(control), text) << control;
        EXPECT_TRUE(CConfigCompressFilterPage::MarksModified(control)) << control;
    }
    EXPECT_EQ(CConfigCompressFilterPage::HelpTextId(12), 0u);
    EXPECT_FALSE(CConfigCompressFilterPage::MarksModified(12));
}

// Fitting a text into a fixed field.

constexpr std::size_t kField = 2048;  // 1023 UTF-16 units and the NUL

TEST(FilterTextFit, TextThatFitsIsKeptByteForByte) {
    const std::wstring text = L"*.tmp  \"a b\";*.bak";
    const FittedFilterText fitted = FitFilterText(text, kField, FieldEncoding::Utf16);
    EXPECT_EQ(fitted.text, text);
    EXPECT_FALSE(fitted.WasCut());

    const std::wstring exact(1023, L'x');
    EXPECT_EQ(FitFilterText(exact, kField, FieldEncoding::Utf16).text, exact);
    EXPECT_TRUE(FitFilterText(exact + L"x", kField, FieldEncoding::Utf16).WasCut());
}

TEST(FilterTextFit, LongTextLosesWholeTrailingEntriesNeverPartOfAQuotedOne) {
    std::wstring text;
    std::vector<std::wstring> entries;
    for (int i = 0; i < 60; ++i) {
        std::wstring entry = L"\"/home/me/Folder with blanks " + std::to_wstring(i) + L"/*.*\"";
        entries.push_back(entry);
        text += entry + L" ";
    }
    const FittedFilterText fitted = FitFilterText(text, kField, FieldEncoding::Utf16);
    ASSERT_TRUE(fitted.WasCut());
    EXPECT_LE(plat::WideToUtf16(fitted.text).size(), 1023u);

    std::vector<std::wstring> kept;
    SplitQuotedList(fitted.text, kept);
    ASSERT_EQ(kept.size() + fitted.dropped.size(), entries.size());
    for (std::size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(kept[i], entries[i]);
    for (std::size_t i = 0; i < fitted.dropped.size(); ++i) EXPECT_EQ(fitted.dropped[i], entries[kept.size() + i]);
    EXPECT_EQ(std::count(fitted.text.begin(), fitted.text.end(), L'"') % 2, 0);

    // The fitted text is stored whole by the bounded field writer.
    std::vector<std::uint8_t> field(kField, 0xEE);
    EXPECT_TRUE(plat::WriteUtf16Field(field, fitted.text));
    EXPECT_EQ(plat::ReadUtf16Field(field), fitted.text);
}

TEST(FilterTextFit, LaterEntriesAreDroppedEvenWhenShortEnoughToFit) {
    const std::wstring text = L"*.a " + std::wstring(20, L'b') + L" *.c";
    const FittedFilterText fitted = FitFilterText(text, 2 * 16, FieldEncoding::Utf16);  // 15 units
    EXPECT_EQ(fitted.text, L"*.a");
    EXPECT_EQ(fitted.dropped, (std::vector<std::wstring>{std::wstring(20, L'b'), L"*.c"}));
}

TEST(FilterTextFit, CountsTheFieldsOwnUnits) {
    // U+1F600 takes two UTF-16 units and four UTF-8 bytes; é one unit and two bytes.
    const std::wstring text = L"\U0001F600\U0001F600 \u00e9\u00e9";
    FittedFilterText fitted = FitFilterText(text, 2 * 5, FieldEncoding::Utf16);  // 4 units
    EXPECT_EQ(fitted.text, L"\U0001F600\U0001F600");
    fitted = FitFilterText(text, 2 * 6, FieldEncoding::Utf16);
    EXPECT_EQ(fitted.text, L"\U0001F600\U0001F600");
    fitted = FitFilterText(text, 2 * 8, FieldEncoding::Utf16);
    EXPECT_EQ(fitted.text, text);

    fitted = FitFilterText(text, 9, FieldEncoding::Utf8);  // 8 bytes
    EXPECT_EQ(fitted.text, L"\U0001F600\U0001F600");
    fitted = FitFilterText(text, 14, FieldEncoding::Utf8);
    EXPECT_EQ(fitted.text, text);
}

TEST(FilterTextFit, EntryLargerThanTheFieldLeavesAnEmptyText) {
    const FittedFilterText fitted = FitFilterText(L"\"a very long quoted entry\"", 8, FieldEncoding::Utf8);
    EXPECT_EQ(fitted.text, L"");
    ASSERT_EQ(fitted.dropped.size(), 1u);
    EXPECT_EQ(FitFilterText(L"x", 0, FieldEncoding::Utf16).text, L"");
}

TEST(FilterTextFit, CutIsDescribedInOneLine) {
    const FittedFilterText fitted = FitFilterText(L"*.a \"b c\" *.d", 8, FieldEncoding::Utf8);
    EXPECT_EQ(DescribeFilterCut("Photos", "exclusion", fitted),
              "Task 'Photos': the exclusion filter is too long to store; 2 entries were left out: \"b c\" *.d");
    const FittedFilterText one = FitFilterText(L"*.a *.d", 4, FieldEncoding::Utf8);
    EXPECT_EQ(DescribeFilterCut("T", "inclusion", one),
              "Task 'T': the inclusion filter is too long to store; 1 entry was left out: *.d");
}

}  // namespace
