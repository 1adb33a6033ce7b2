// The file list and its icon table: icons per extension, rows of each kind, and the order of
// folders and files in every sort mode.
#include "winza/GFileListCtrl.h"

#include "winza/GFileItem.h"
#include "winza/GLib.h"
#include "winza_test_support.h"
#include "list_labels.h"

#include <TestDevice.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

void WriteFile(const std::string& host, const std::string& bytes = "x") {
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
}

WIN32_FIND_DATAW Found(const char16_t* name, bool folder, DWORD size, DWORD time) {
    WIN32_FIND_DATAW d{};
    d.dwFileAttributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    d.nFileSizeLow = size;
    // Whole hours apart, so local time keeps the order.
    const ULONGLONG t = 130000000000000000ULL + static_cast<ULONGLONG>(time) * 36000000000ULL;
    d.ftCreationTime.dwLowDateTime = static_cast<DWORD>(t);
    d.ftCreationTime.dwHighDateTime = static_cast<DWORD>(t >> 32);
    lstrcpynW(d.cFileName, name, MAX_PATH);
    return d;
}

class FileListTest : public WinzaTest {
protected:
    void SetUp() override {
        WinzaTest::SetUp();
        ResetDisplayMode();
        InitGLibControl();
        ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320), 1);
        list = std::make_unique<GFileListCtrl>();
        RECT r{0, 0, 240, 200};
        ASSERT_EQ(list->Create(parent.GetSafeHwnd(), &parent, WS_CHILD | WS_VISIBLE, &r, 1034), 1);
        list->InitFileList(1);
    }
    void TearDown() override {
        list.reset();
        WinzaTest::TearDown();
        FreeGLibControl();
        ResetDisplayMode();
    }
    TestDevice device;
    LoggingWinza parent;
    std::unique_ptr<GFileListCtrl> list;
};

// ---- Icon table -------------------------------------------------------------------------------

TEST_F(FileListTest, IconTableStartsWithRootFolderAndNewFolderOnThreeBackgrounds) {
    GExtImageArray icons;
    ASSERT_EQ(icons.Init(RGB(255, 255, 255), RGB(0, 0, 200)), 1);
    GImageList* lists[] = {icons.GetDefImageList(), icons.GetSelImageList(),
                           icons.GetDlgBackImageList()};
    const COLORREF backs[] = {RGB(255, 255, 255), RGB(0, 0, 200), GetGLibColor(79)};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(lists[i]->GetItemSize(), 3) << i;
        EXPECT_EQ(lists[i]->GetItemWidth(), 16);
        EXPECT_EQ(lists[i]->GetItemHeight(), 16);
        // The folder icon leaves its top left corner to the background.
        EXPECT_EQ(lists[i]->GetPixelColor(16, 0), backs[i]) << i;
    }
    EXPECT_EQ(icons.GetKeyCount(), 0);
    // The same pictures in every list: a pixel inside the folder drawing agrees.
    const COLORREF a = lists[0]->GetPixelColor(16 + 8, 9), b = lists[1]->GetPixelColor(16 + 8, 9);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, RGB(255, 255, 255));
}

TEST_F(FileListTest, IconsAreSharedPerExtensionAndOwnedPerProgram) {
    WriteFile(device.Host("Docs/a.txt"));
    WriteFile(device.Host("Docs/b.TXT"));
    WriteFile(device.Host("Docs/c.pad"));
    WriteFile(device.Host("Docs/README"));
    WriteFile(device.Host("Docs/NOTES"));
    WriteFile(device.Host("Docs/one.exe"));
    WriteFile(device.Host("Docs/two.exe"));
    std::filesystem::create_directories(device.Host("Docs/Sub"));
    GExtImageArray icons;
    ASSERT_EQ(icons.Init(RGB(255, 255, 255), RGB(0, 0, 200)), 1);

    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs\\missing.txt"), 0);
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs\\Sub"), 0) << "a plain folder";
    EXPECT_EQ(icons.GetExtImageIndex(nullptr), 0);
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs\\a.txt"), 3);
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs", u"b.TXT"), 3) << "the key ignores case";
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs\\", u"c.pad"), 4);
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs\\README"), 5);
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs\\NOTES"), 5);
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs\\one.exe"), 6);
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs\\two.exe"), 7) << "every program its own icon";
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Docs\\one.exe"), 6);
    ASSERT_EQ(icons.GetKeyCount(), 5);
    EXPECT_EQ(std::u16string(icons.GetKey(0)), u".txt");
    EXPECT_EQ(std::u16string(icons.GetKey(2)), u"\\\\\\");
    EXPECT_EQ(std::u16string(icons.GetKey(3)), u"\\Docs\\one.exe");
    EXPECT_EQ(icons.GetDefImageList()->GetItemSize(), 8);
    EXPECT_EQ(icons.GetSelImageList()->GetItemSize(), 8);
    EXPECT_EQ(icons.GetDlgBackImageList()->GetItemSize(), 8);
    // The lists grow past their first ten cells.
    for (int i = 0; i < 6; ++i) {
        const std::string name = "Docs/f." + std::string(1, static_cast<char>('a' + i));
        WriteFile(device.Host(name));
    }
    for (int i = 0; i < 6; ++i) {
        WCHAR path[32];
        wsprintfW(path, u"\\Docs\\f.%s",
                  i == 0   ? u"a"
                  : i == 1 ? u"b"
                  : i == 2 ? u"c"
                  : i == 3 ? u"d"
                  : i == 4 ? u"e"
                           : u"f");
        EXPECT_EQ(icons.GetExtImageIndex(path), 8 + i);
    }
    EXPECT_EQ(icons.GetDlgBackImageList()->GetItemSize(), 14);
    icons.Destroy();
    EXPECT_EQ(icons.GetKeyCount(), 0);
    EXPECT_EQ(icons.GetDefImageList()->GetItemSize(), 0);
}

TEST_F(FileListTest, AStorageCardGetsAnIconOfItsOwn) {
    std::filesystem::create_directories(device.Host("Storage Card"));
    ASSERT_TRUE(
        SetFileAttributesW(u"\\Storage Card", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY));
    GExtImageArray icons;
    ASSERT_EQ(icons.Init(RGB(255, 255, 255), RGB(0, 0, 200)), 1);
    EXPECT_EQ(icons.GetExtImageIndex(u"\\Storage Card"), 3);
    EXPECT_EQ(std::u16string(icons.GetKey(0)), u"\\Storage Card");
    WCHAR key[MAX_PATH];
    GExtImageArray::MakeKey(u"\\My.Folder\\plain", FILE_ATTRIBUTE_ARCHIVE, key, MAX_PATH);
    EXPECT_EQ(std::u16string(key), u"\\\\\\") << "a dot in a folder name is no extension";
}

// ---- Rows -------------------------------------------------------------------------------------

TEST_F(FileListTest, FoundEntriesBecomeRowsOfTheirKind) {
    WriteFile(device.Host("Docs/memo.pad"), std::string(3000, 'm'));
    WIN32_FIND_DATAW file = Found(u"memo.pad", false, 3000, 5);
    file.nFileSizeHigh = 1;
    WIN32_FIND_DATAW folder = Found(u"Sub", true, 0, 1);
    POSITION pf = list->AddItem(u"\\Docs", &file);
    POSITION pd = list->AddItem(u"\\Docs", &folder);
    ASSERT_NE(pf, nullptr);
    ASSERT_NE(pd, nullptr);
    GFileItem* f = list->GetFileItem(pf);
    GFileItem* d = list->GetFileItem(pd);
    EXPECT_EQ(f->GetKind(), eFileItemFile);
    EXPECT_EQ(f->GetFileSize(), (1ULL << 32) + 3000);
    EXPECT_EQ(f->GetImageIndex(), 3);
    EXPECT_EQ(d->GetKind(), eFileItemFolder);
    EXPECT_EQ(d->GetImageIndex(), kExtIconFolder);
    EXPECT_EQ(f->GetImageList(), list->GetExtImageArray()->GetDefImageList());
    POSITION root = list->AddItem(u"My Device", eFileItemRoot);
    EXPECT_EQ(list->GetFileItem(root)->GetImageIndex(), kExtIconRoot);
    EXPECT_EQ(Labels(*list), u"My Device Sub memo.pad");
    EXPECT_EQ(list->AddItem(u"", eFileItemFolder), nullptr);
    EXPECT_EQ(list->AddItem(u"\\Docs", static_cast<const WIN32_FIND_DATAW*>(nullptr)), nullptr);
}

TEST_F(FileListTest, ColumnsFollowTheLayout) {
    ASSERT_EQ(list->GetColumnCount(), 1);
    EXPECT_EQ(list->GetColumnWidth(0), 100);
    list->InitFileList(0);
    ASSERT_EQ(list->GetColumnCount(), 3);
    EXPECT_EQ(list->GetColumnWidth(0), 50);
    EXPECT_EQ(list->GetColumnWidth(1), 20);
    EXPECT_EQ(list->GetColumnWidth(2), -1);
    EXPECT_EQ(list->IsSingleColumn(), 0);
}

TEST_F(FileListTest, FoldersComeBeforeFilesInEverySortMode) {
    // Names, sizes and times disagree, so each mode gives its own order.
    WIN32_FIND_DATAW entries[] = {
        Found(u"b.txt", false, 300, 1), Found(u"Zeta", true, 0, 9),  Found(u"a.pad", false, 900, 3),
        Found(u"c.bmp", false, 100, 2), Found(u"Alpha", true, 0, 7),
    };
    for (auto& e : entries)
        ASSERT_NE(list->AddItem(u"\\", &e), nullptr);
    list->AddItem(u"Card", eFileItemRoot + 1);
    EXPECT_EQ(Labels(*list), u"Card Alpha Zeta a.pad b.txt c.bmp");
    list->SetSortMode(eSortModeSize);
    EXPECT_EQ(list->GetSortMode(), eSortModeSize);
    EXPECT_EQ(Labels(*list), u"Card Alpha Zeta c.bmp b.txt a.pad");
    list->SetSortMode(eSortModeTime);
    EXPECT_EQ(Labels(*list), u"Card Alpha Zeta b.txt c.bmp a.pad");
    list->SetSortMode(eSortModeType);
    EXPECT_EQ(Labels(*list), u"Card Alpha Zeta c.bmp a.pad b.txt");
    list->SetSortMode(eSortModeName);
    EXPECT_EQ(Labels(*list), u"Card Alpha Zeta a.pad b.txt c.bmp");
    // Rows added later land in order too, and a folder never sinks below a file.
    list->SetSortMode(eSortModeSize);
    WIN32_FIND_DATAW big = Found(u"Middle", true, 0, 0);
    big.nFileSizeLow = 999999;
    list->AddItem(u"\\", &big);
    WIN32_FIND_DATAW tiny = Found(u"0.txt", false, 0, 0);
    list->AddItem(u"\\", &tiny);
    EXPECT_EQ(Labels(*list), u"Card Alpha Middle Zeta 0.txt c.bmp b.txt a.pad");
}

TEST_F(FileListTest, NamesSortWithoutRegardToCase) {
    WIN32_FIND_DATAW entries[] = {Found(u"beta.txt", false, 1, 1), Found(u"Alpha.txt", false, 1, 1),
                                  Found(u"alpha.txt", false, 1, 1),
                                  Found(u"Gamma.txt", false, 1, 1)};
    for (auto& e : entries)
        list->AddItem(u"\\", &e);
    EXPECT_EQ(Labels(*list), u"Alpha.txt alpha.txt beta.txt Gamma.txt");
}

TEST_F(FileListTest, LeavingMultiModeClearsTheMarks) {
    WIN32_FIND_DATAW a = Found(u"a.txt", false, 1, 1), b = Found(u"b.txt", false, 1, 1);
    POSITION pa = list->AddItem(u"\\", &a);
    POSITION pb = list->AddItem(u"\\", &b);
    list->SetMultiMode(1);
    EXPECT_EQ(list->GetMultiMode(), 1);
    list->GetFileItem(pa)->SetFlag(kFileItemMarked);
    list->GetFileItem(pb)->SetFlag(kFileItemMarked);
    list->SetMultiMode(0);
    EXPECT_EQ(list->GetFileItem(pa)->GetFlag(kFileItemMarked), 0);
    EXPECT_EQ(list->GetFileItem(pb)->GetFlag(kFileItemMarked), 0);
}

TEST_F(FileListTest, MarkedRowsDrawSelectedOnlyInMultiMode) {
    WIN32_FIND_DATAW a = Found(u"a.txt", false, 1, 1), b = Found(u"b.txt", false, 1, 1);
    list->SetItemHeight(20);
    POSITION pa = list->AddItem(u"\\", &a);
    list->AddItem(u"\\", &b);
    list->GetFileItem(pa)->SetFlag(kFileItemMarked);
    list->Invalidate(0);
    // Right of the text, each row shows its own background.
    EXPECT_EQ(ScreenPixel(230, 5), list->GetDefBackColor());
    list->SetMultiMode(1);
    list->GetFileItem(pa)->SetFlag(kFileItemMarked);
    list->Invalidate(0);
    EXPECT_EQ(ScreenPixel(230, 5), list->GetSelBackColor());
    EXPECT_EQ(ScreenPixel(230, 25), list->GetDefBackColor());
}

TEST_F(FileListTest, SizeAndDateTexts) {
    WCHAR s[32];
    GFileItem::FormatSize(0, s, 32);
    EXPECT_EQ(std::u16string(s), u"0 B");
    GFileItem::FormatSize(1023, s, 32);
    EXPECT_EQ(std::u16string(s), u"1023 B");
    GFileItem::FormatSize(1025, s, 32);
    EXPECT_EQ(std::u16string(s), u"2 KB");
    SYSTEMTIME st{2026, 12, 0, 8, 10, 0, 0, 0};
    FILETIME ft{};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    GFileItem::FormatDate(ft, s, 32);
    EXPECT_EQ(std::u16string(s), u"2026-12-08");
    GFileItem::FormatDate(FILETIME{0, 0}, s, 32);
    EXPECT_EQ(std::u16string(s), u"");
}

} // namespace
