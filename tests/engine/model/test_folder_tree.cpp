#include "engine/model/folder_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/text.h"

namespace {

// The lookup with the path given as wide text, as the names below are written.
FolderTreeNode* FindNode(std::wstring_view relativePath, const FolderTreeNode& node, bool descend, bool caseSensitive) {
    return FindFileInfoNode(plat::WideToUtf8(relativePath), node, descend, caseSensitive);
}

std::unique_ptr<FolderTreeNode> FolderNode(const std::wstring& relativePath) {
    auto node = std::make_unique<FolderTreeNode>();
    node->folder = std::make_unique<CFileInfo>();
    node->folder->Set(L"/side/" + relativePath, 0, FILE_ATTRIBUTE_DIRECTORY, 0, relativePath, ItemState::kFolder);
    return node;
}

void AddFile(FolderTreeNode& node, const std::wstring& relativePath) {
    if (!node.files) node.files = std::make_unique<CFileInfoArray>(CompareFileInfoBySecondName);
    CFileInfo file;
    file.Set(L"/side/" + relativePath, 1, FILE_ATTRIBUTE_ARCHIVE, 1, relativePath, 0);
    node.files->OrderedInsert(std::move(file));
}

// root
//   Photos            (files: Photos/a.jpg)
//     Photos/Été      (a name with non-ASCII letters)
//       Photos/Été/\xff-raw   (a byte that is not UTF-8)
//   docs
//     docs/Photos     (same last name as the first child, deeper)
struct SampleTree {
    std::unique_ptr<FolderTreeNode> root = std::make_unique<FolderTreeNode>();
    FolderTreeNode* photos = nullptr;
    FolderTreeNode* ete = nullptr;
    FolderTreeNode* raw = nullptr;
    FolderTreeNode* docs = nullptr;
    FolderTreeNode* docsPhotos = nullptr;
    std::wstring eteName = plat::Utf8ToWide("Photos/\xC3\x89t\xC3\xA9");
    std::wstring rawName = eteName + plat::Utf8ToWide("/\xFF-raw");

    SampleTree() {
        photos = root->AppendChild(FolderNode(L"Photos"));
        AddFile(*photos, L"Photos/a.jpg");
        ete = photos->AppendChild(FolderNode(eteName));
        raw = ete->AppendChild(FolderNode(rawName));
        AddFile(*raw, rawName + L"/f");
        docs = root->AppendChild(FolderNode(L"docs"));
        docsPhotos = docs->AppendChild(FolderNode(L"docs/Photos"));
    }
};

TEST(FolderTree, RawByteNamesTravelAsEscapes) {
    SampleTree t;
    EXPECT_NE(t.rawName.find(static_cast<wchar_t>(0xDCFF)), std::wstring::npos);
    EXPECT_EQ(plat::WideToUtf8(t.rawName), "Photos/\xC3\x89t\xC3\xA9/\xFF-raw");
}

TEST(FolderTree, DirectChildrenOnlyWithoutDescend) {
    SampleTree t;
    EXPECT_EQ(FindNode(L"Photos", *t.root, false, true), t.photos);
    EXPECT_EQ(FindNode(L"docs", *t.root, false, true), t.docs);
    EXPECT_EQ(FindNode(t.eteName, *t.root, false, true), nullptr);
    EXPECT_EQ(FindNode(t.eteName, *t.photos, false, true), t.ete);
    EXPECT_EQ(FindNode(L"Photos", *t.photos, false, true), nullptr);  // a node is not its own child
}

TEST(FolderTree, DescendFindsDeepNamesIncludingRawBytes) {
    SampleTree t;
    EXPECT_EQ(FindNode(t.eteName, *t.root, true, true), t.ete);
    EXPECT_EQ(FindNode(t.rawName, *t.root, true, true), t.raw);
    EXPECT_EQ(FindNode(L"docs/Photos", *t.root, true, true), t.docsPhotos);
    EXPECT_EQ(FindNode(L"Photos/nothing", *t.root, true, true), nullptr);
    // Another raw byte is another name.
    EXPECT_EQ(FindNode(plat::Utf8ToWide("Photos/\xC3\x89t\xC3\xA9/\xFE-raw"), *t.root, true, true), nullptr);
}

TEST(FolderTree, CaseFoldingFollowsTheFlag) {
    SampleTree t;
    EXPECT_EQ(FindNode(L"PHOTOS", *t.root, false, false), t.photos);
    EXPECT_EQ(FindNode(L"PHOTOS", *t.root, false, true), nullptr);
    const std::wstring upperEte = plat::Utf8ToWide("photos/\xC3\xA9T\xC3\x89");
    EXPECT_EQ(FindNode(upperEte, *t.root, true, false), t.ete);
    EXPECT_EQ(FindNode(upperEte, *t.root, true, true), nullptr);
    const std::wstring upperRaw = plat::Utf8ToWide("PHOTOS/\xC3\x89T\xC3\x89/\xFF-RAW");
    EXPECT_EQ(FindNode(upperRaw, *t.root, true, false), t.raw);
}

TEST(FolderTree, DescendSearchesEachSubtreeBeforeTheNextSibling) {
    auto root = std::make_unique<FolderTreeNode>();
    FolderTreeNode* first = root->AppendChild(FolderNode(L"a"));
    FolderTreeNode* deep = first->AppendChild(FolderNode(L"same"));  // a malformed tree: same path twice
    root->AppendChild(FolderNode(L"same"));
    EXPECT_EQ(FindNode(L"same", *root, true, true), deep);
    EXPECT_NE(FindNode(L"same", *root, false, true), deep);
}

TEST(FolderTree, ChildrenKeepTheOrderFound) {
    auto root = std::make_unique<FolderTreeNode>();
    for (const wchar_t* name : {L"z", L"a", L"m"}) root->AppendChild(FolderNode(name));
    ASSERT_EQ(root->children.size(), 3u);
    EXPECT_EQ(root->children[0]->folder->relativePath, "z");
    EXPECT_EQ(root->children[2]->folder->relativePath, "m");
}

TEST(FolderTree, SkipCountsAddUpOverTheWholeTree) {
    SampleTree t;
    t.root->skippedFiles = 1;
    t.raw->skippedFiles = 2;
    t.raw->skippedFolders = 5;
    t.docsPhotos->skippedFolders = 7;
    DWORD files = 10;
    DWORD folders = 20;
    SumSkipCounts(*t.root, files, folders);
    EXPECT_EQ(files, 13u);
    EXPECT_EQ(folders, 32u);
    DWORD subFiles = 0;
    DWORD subFolders = 0;
    SumSkipCounts(*t.docs, subFiles, subFolders);
    EXPECT_EQ(subFiles, 0u);
    EXPECT_EQ(subFolders, 7u);
}

TEST(FolderTree, TreeItemHandlesAreResetEverywhere) {
    SampleTree t;
    t.photos->folder->treeItem = 4;
    (*t.photos->files)[0].treeItem = 5;
    t.raw->folder->treeItem = 6;
    (*t.raw->files)[0].treeItem = 7;
    t.docsPhotos->folder->treeItem = 8;
    ResetTreeItemHandles(*t.root);
    EXPECT_EQ(t.photos->folder->treeItem, -1);
    EXPECT_EQ((*t.photos->files)[0].treeItem, -1);
    EXPECT_EQ(t.raw->folder->treeItem, -1);
    EXPECT_EQ((*t.raw->files)[0].treeItem, -1);
    EXPECT_EQ(t.docsPhotos->folder->treeItem, -1);
}

TEST(FolderTree, VeryDeepAndVeryWideTreesAreFreedWithoutRecursion) {
    auto root = std::make_unique<FolderTreeNode>();
    FolderTreeNode* node = root.get();
    for (int depth = 0; depth < 200000; ++depth) node = node->AppendChild(std::make_unique<FolderTreeNode>());
    node->skippedFiles = 1;
    DWORD files = 0;
    DWORD folders = 0;
    SumSkipCounts(*root, files, folders);
    EXPECT_EQ(files, 1u);
    ResetTreeItemHandles(*root);
    EXPECT_EQ(FindNode(L"absent", *root, true, true), nullptr);
    FreeFolderTree(root);
    EXPECT_EQ(root, nullptr);

    auto wide = std::make_unique<FolderTreeNode>();
    for (int i = 0; i < 20000; ++i) wide->AppendChild(FolderNode(std::to_wstring(i)));
    EXPECT_EQ(FindNode(L"19999", *wide, false, true), wide->children.back().get());
    FreeFolderTree(wide);
    EXPECT_EQ(wide, nullptr);
}

TEST(FolderTree, CounterpartLinksDoNotOwn) {
    auto left = std::make_unique<FolderTreeNode>();
    auto right = std::make_unique<FolderTreeNode>();
    left->counterpart = right.get();
    right->counterpart = left.get();
    FreeFolderTree(left);
    EXPECT_EQ(right->counterpart != nullptr, true);  // right is intact; its link is the caller's to clear
    right->counterpart = nullptr;
}

}  // namespace
