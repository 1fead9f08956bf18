#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/file_api.h"
#include "platform/core/gui_services.h"
#include "platform/core/text.h"
#include "support/temp_dir.h"

namespace {

// Answers the pickers the way a user would, without a display.
class ScriptedPickers : public plat::GuiServices {
public:
    ScriptedPickers() : previous_(plat::SetGuiServices(this)) {}
    ~ScriptedPickers() override { plat::SetGuiServices(previous_); }

    std::optional<std::wstring> OpenFileName(const plat::OpenFileRequest& request) override {
        lastTitle = request.title;
        lastFilter = request.filterDescription;
        return answer;
    }
    std::optional<std::wstring> BrowseForFolder(HWND, const std::wstring& title, const std::wstring& initial) override {
        lastTitle = title;
        lastInitial = initial;
        return answer;
    }
    HWND CreateComboBoxEx(HWND, DWORD, const RECT&, UINT) override { return nullptr; }

    std::optional<std::wstring> answer;
    std::wstring lastTitle, lastFilter, lastInitial;

private:
    plat::GuiServices* previous_;
};

TEST(CreateComplexDirectory, CreatesEveryLevelAndAcceptsExisting) {
    qbtest::TempDir dir;
    const std::wstring deep = plat::Utf8ToWide(dir.sub("one/two/three"));
    EXPECT_TRUE(CreateComplexDirectory(deep));
    EXPECT_TRUE(std::filesystem::is_directory(dir.sub("one/two/three")));
    EXPECT_TRUE(CreateComplexDirectory(deep + L"/"));
    EXPECT_TRUE(CreateComplexDirectory(L"/"));
    EXPECT_FALSE(CreateComplexDirectory(L""));
    EXPECT_TRUE(FileExistsWrapper(deep));
    EXPECT_FALSE(MyCreateDirectory(deep));  // already there
}

TEST(Pickers, ChosenAndCancelled) {
    ScriptedPickers pickers;
    std::wstring result;
    pickers.answer = L"/home/u/chosen.txt";
    EXPECT_TRUE(MyGetOpenFileName(nullptr, L"Get File Name", L"start.txt", L"All Files", result));
    EXPECT_EQ(result, L"/home/u/chosen.txt");
    EXPECT_EQ(pickers.lastFilter, L"All Files");

    pickers.answer.reset();
    EXPECT_FALSE(MyGetOpenFileName(nullptr, L"Get File Name", L"start.txt", L"All Files", result));
    EXPECT_EQ(result, L"start.txt");  // the buffer keeps what it was given

    EXPECT_FALSE(BrowseForFolder(nullptr, L"Left Folder", L"/home", result));
    EXPECT_TRUE(result.empty());
    pickers.answer = L"/media/u/CARD";
    EXPECT_TRUE(BrowseForFolder(nullptr, L"Left Folder", L"/home", result));
    EXPECT_EQ(result, L"/media/u/CARD");
    EXPECT_EQ(pickers.lastInitial, L"/home");
}

TEST(Pickers, NoGuiMeansCancelled) {
    ASSERT_EQ(plat::GetGuiServices(), nullptr);
    std::wstring result = L"x";
    EXPECT_FALSE(BrowseForFolder(nullptr, L"t", L"/", result));
    EXPECT_TRUE(result.empty());
    EXPECT_EQ(CreateComboBoxExW(nullptr, 0, RECT{}, 7016), nullptr);
}

TEST(TextConversion, EveryByteOfANameSurvives) {
    const std::string name("caf\xc3\xa9-\xff\xfe-raw", 13);
    EXPECT_EQ(UnicodeStringToMultiByte(MultiByteToUnicodeString(name)), name);
}

}  // namespace
