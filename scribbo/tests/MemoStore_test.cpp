#include "scribbo/MemoStore.h"

#include "scribbo/GFolderItem.h"
#include "scribbo/Palette.h"
#include "scribbo/StoreRebase.h"
#include "scribbo_test_support.h"
#include "winza/GTime.h"
#include "winza/GTreeCtrl.h"

#include <TestDevice.h>
#include <platform/clock.h>
#include <platform/module.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include <unistd.h>

using namespace apptest;
namespace fs = std::filesystem;

namespace {

// The folder tree of the application makes folder items; so does this one.
class FolderTree : public GTreeCtrl {
public:
    GItem* CreateItem(LPCWSTR label) override { return new GFolderItem(label); }
};

class RecordingIndex : public MemoIndex {
public:
    int AddMemo(LPCWSTR path, double time) override {
        memos[path] = time;
        return 1;
    }
    int RemoveMemo(LPCWSTR path, double) override { return int(memos.erase(path)); }
    void ClearMemos() override { memos.clear(); }
    std::map<std::u16string, double> memos;
};

double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return double(GTime(y, mo, d, h, mi, s));
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::string ReadText(const std::string& host) {
    const Bytes b = ReadHost(host);
    return std::string(b.begin(), b.end());
}

Bytes InfoBytes(COLORREF color, DWORD locked, std::u16string_view name) {
    Bytes b;
    Put32(b, 2);
    Put32(b, 2);
    Put32(b, color);
    Put32(b, locked);
    Put32(b, DWORD(name.size()));
    PutText(b, name);
    return b;
}

bool IsPaletteFolderColour(COLORREF c) {
    for (int r = 0; r < kPaletteRows; ++r)
        if (PaletteColors[r][1] == c)
            return true;
    return false;
}

// A scratch folder outside the device root, on the file system of path's parent.
class OutsideDir {
public:
    explicit OutsideDir(const std::string& parent) {
        std::string pattern = parent + "/memostore-XXXXXX";
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~OutsideDir() {
        std::error_code ec;
        if (!m_path.empty())
            fs::remove_all(m_path, ec);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

class MemoStore : public ::testing::Test {
protected:
    void SetUp() override {
        plat::UseVirtualClock(true);
        // The clock reads 20 May 2024, 10:15:00 throughout: it never moves on by itself.
        const SYSTEMTIME now{2024, 5, 0, 20, 10, 15, 0, 0};
        plat::SetVirtualLocalTime(now);
        ASSERT_EQ(LoadPaletteColors(plat::ThisModule()), 1);
        ASSERT_TRUE(CreateDirectoryW(u"\\Pad", nullptr));
    }
    void TearDown() override { plat::UseVirtualClock(false); }

    std::string Host(const std::string& p) { return device.Host(p); }
    void Dir(const std::string& p) { fs::create_directories(Host(p)); }
    void File(const std::string& p, const std::string& text = "memo") {
        fs::create_directories(fs::path(Host(p)).parent_path());
        WriteHost(Host(p), Text(text));
    }
    POSITION Scan(LPCWSTR remembered = nullptr) {
        return ScanMemoStore(&tree, &index, u"\\Pad", remembered);
    }
    std::vector<std::u16string> Children(POSITION pos) {
        std::vector<std::u16string> labels;
        for (POSITION c = tree.GetChildItem(pos); c; c = tree.GetNextItem(c))
            labels.push_back(tree.GetGItem(c)->GetLabel());
        return labels;
    }
    GFolderItem* Item(LPCWSTR path) {
        return dynamic_cast<GFolderItem*>(tree.GetGItem(FindFolderItem(&tree, path)));
    }

    TestDevice device;
    FolderTree tree;
    RecordingIndex index;
};

using Memos = std::map<std::u16string, double>;

} // namespace

TEST_F(MemoStore, ScanListsMemoFilesByTheirNames) {
    File("Pad/Work/20070315_093000.olx");
    File("Pad/Work/20240101_120000.PAD");
    File("Pad/Work/notes.txt");
    File("Pad/Work/20240102_080000.pad");
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\Work\\20240102_080000.pad", FILE_ATTRIBUTE_NORMAL));
    File("Pad/Work/20240103_080000.pad");
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\Work\\20240103_080000.pad",
                                   FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
    File("Pad/Work/memo.pad");          // no date in the name
    File("Pad/Work/20240104_0800.pad"); // seconds missing: they read as 0
    File("Pad/20240105_070000.pad");

    Scan();
    const Memos want = {
        {u"\\Pad\\Work\\20070315_093000.pad", At(2007, 3, 15, 9, 30)},
        {u"\\Pad\\Work\\20240101_120000.PAD", At(2024, 1, 1, 12)},
        {u"\\Pad\\Work\\20240104_0800.pad", At(2024, 1, 4, 8)},
        {u"\\Pad\\20240105_070000.pad", At(2024, 1, 5, 7)},
    };
    EXPECT_EQ(index.memos, want);
    EXPECT_TRUE(HostExists(Host("Pad/Work/20070315_093000.pad")));
    EXPECT_FALSE(HostExists(Host("Pad/Work/20070315_093000.olx")));
}

TEST_F(MemoStore, ScanRemovesWhatKilledSavesLeftAndNothingElse) {
    File("Pad/Work/20240101_120000.pad");
    File("Pad/Work/.20240101_120000.pad.~sv-Ab12Cd", "half a memo");
    File("Pad/.folder.info.~sv-Zz99Yy", "half an info");
    File("Pad/Work/20240101_120000.pad.~sv-Ab12Cd", "a user's file");
    Scan();
    EXPECT_FALSE(HostExists(Host("Pad/Work/.20240101_120000.pad.~sv-Ab12Cd")));
    EXPECT_FALSE(HostExists(Host("Pad/.folder.info.~sv-Zz99Yy")));
    EXPECT_TRUE(HostExists(Host("Pad/Work/20240101_120000.pad.~sv-Ab12Cd")));
    EXPECT_TRUE(HostExists(Host("Pad/Work/20240101_120000.pad")));
}

TEST_F(MemoStore, OlxMemoWhoseNewNameIsTakenStaysAsItIs) {
    File("Pad/20070315_093000.olx", "old");
    File("Pad/20070315_093000.pad", "new");
    Scan();
    EXPECT_EQ(index.memos, (Memos{{u"\\Pad\\20070315_093000.olx", At(2007, 3, 15, 9, 30)},
                                  {u"\\Pad\\20070315_093000.pad", At(2007, 3, 15, 9, 30)}}));
    EXPECT_EQ(ReadText(Host("Pad/20070315_093000.pad")), "new");
}

TEST_F(MemoStore, HiddenFolderIsNeitherShownNorScanned) {
    File("Pad/.dot/20240101_000000.pad");
    File("Pad/Secret/20240102_000000.pad");
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\Secret", FILE_ATTRIBUTE_HIDDEN));
    File("Pad/Work/20240103_000000.pad");

    const POSITION root = Scan();
    EXPECT_EQ(Children(root), std::vector<std::u16string>{u"Work"});
    EXPECT_EQ(index.memos, (Memos{{u"\\Pad\\Work\\20240103_000000.pad", At(2024, 1, 3)}}));
    EXPECT_FALSE(HostExists(Host("Pad/Secret/folder.info")));
}

TEST_F(MemoStore, FolderInfoIsReadOrWrittenWithAPaletteColour) {
    Dir("Pad/New");
    Dir("Pad/Kept");
    const Bytes kept = InfoBytes(0x123456, 1, u"작업");
    WriteHost(Host("Pad/Kept/folder.info"), kept);
    Dir("Pad/Damaged");
    WriteHost(Host("Pad/Damaged/folder.info"), Bytes{2, 0, 0});

    Scan();
    EXPECT_EQ(ReadHost(Host("Pad/Kept/folder.info")), kept);
    GFolderItem* item = Item(u"\\Pad\\Kept");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetColor(), 0x123456u);
    EXPECT_EQ(item->IsLocked(), 1);
    EXPECT_EQ(std::u16string(item->GetSubFolder()), u"작업");

    for (LPCWSTR path : {u"\\Pad\\New", u"\\Pad\\Damaged"}) {
        FolderInfo info;
        ASSERT_EQ(ReadFolderInfo(path, &info), 1);
        EXPECT_TRUE(IsPaletteFolderColour(info.color));
        EXPECT_EQ(info.locked, 0);
        ASSERT_NE(Item(path), nullptr);
        EXPECT_EQ(Item(path)->GetColor(), info.color);
    }

    // The item's state goes back to its file.
    item->SetColor(0x00ABCDEF);
    item->SetSubFolder(nullptr);
    ASSERT_EQ(WriteFolderItemInfo(&tree, FindFolderItem(&tree, u"\\Pad\\Kept")), 1);
    EXPECT_EQ(ReadHost(Host("Pad/Kept/folder.info")), InfoBytes(0x00ABCDEF, 1, u""));
}

TEST_F(MemoStore, FolderPathsAndTheRememberedFolder) {
    Dir("Pad/Work/작업");
    const POSITION root = Scan();
    const POSITION inner = FindFolderItem(&tree, u"\\Pad\\Work\\작업\\");
    ASSERT_NE(inner, nullptr);
    WCHAR path[MAX_PATH];
    ASSERT_GT(GetFolderPath(&tree, inner, path), 0);
    EXPECT_EQ(std::u16string(path), u"\\Pad\\Work\\작업\\");
    ASSERT_GT(GetFolderPath(&tree, root, path), 0);
    EXPECT_EQ(std::u16string(path), u"\\Pad\\");
    EXPECT_EQ(FindFolderItem(&tree, u"\\pad\\work"), tree.GetParentItem(inner));
    EXPECT_EQ(FindFolderItem(&tree, u"\\Padding"), nullptr);
    EXPECT_EQ(FindFolderItem(&tree, u"\\Pad\\Gone"), nullptr);

    // The whole scan gives back the remembered folder, or the root when it is not there.
    EXPECT_EQ(tree.GetGItem(Scan(u"\\Pad\\Work"))->GetLabel(), std::u16string(u"Work"));
    EXPECT_EQ(Scan(u"\\Pad\\Gone"), tree.GetTopItem());
    EXPECT_EQ(Scan(u"\\Elsewhere"), tree.GetTopItem());
}

TEST_F(MemoStore, RescanStartsAfresh) {
    File("Pad/A/20240101_000000.pad");
    File("Pad/B/20240102_000000.pad");
    Scan();
    fs::remove_all(Host("Pad/A"));
    const POSITION root = Scan();
    EXPECT_EQ(Children(root), std::vector<std::u16string>{u"B"});
    EXPECT_EQ(index.memos, (Memos{{u"\\Pad\\B\\20240102_000000.pad", At(2024, 1, 2)}}));
}

TEST_F(MemoStore, NewMemoPathNeverNamesAnExistingFile) {
    struct Case {
        SYSTEMTIME time;
        std::vector<std::string> existing;
        std::u16string want;
    } cases[] = {
        {{2024, 5, 0, 20, 10, 15, 0, 0}, {}, u"\\Pad\\20240520_101500.pad"},
        {{2024, 5, 0, 20, 10, 15, 0, 0}, {"20240520_101500.pad"}, u"\\Pad\\20240520_101501.pad"},
        {{2024, 5, 0, 20, 10, 15, 0, 0},
         {"20240520_101500.pad", "20240520_101501.pad"},
         u"\\Pad\\20240520_101502.pad"},
        {{2024, 12, 0, 31, 23, 59, 59, 0}, {"20241231_235959.pad"}, u"\\Pad\\20250101_000000.pad"},
        {{2007, 3, 0, 15, 9, 30, 0, 0}, {"20070315_093000.olx"}, u"\\Pad\\20070315_093000.pad"},
    };
    for (const Case& c : cases) {
        fs::remove_all(Host("Pad"));
        Dir("Pad");
        for (const std::string& name : c.existing)
            File("Pad/" + name);
        WCHAR path[MAX_PATH];
        ASSERT_EQ(NewMemoPath(u"\\Pad\\", c.time, path), 1);
        EXPECT_EQ(std::u16string(path), c.want);
    }
}

TEST_F(MemoStore, MemoMovesByRenameAndKeepsItsListTime) {
    File("Pad/A/20070315_093000.pad", "mine");
    Dir("Pad/B");
    Scan();
    struct stat before {};
    ASSERT_EQ(stat(Host("Pad/A/20070315_093000.pad").c_str(), &before), 0);
    WCHAR moved[MAX_PATH];
    const double listTime = At(2007, 3, 15, 9, 30);
    ASSERT_EQ(MoveMemo(u"\\Pad\\A\\20070315_093000.pad", listTime, u"\\Pad\\B\\", &index, moved),
              1);
    EXPECT_EQ(std::u16string(moved), u"\\Pad\\B\\20070315_093000.pad");
    struct stat after {};
    ASSERT_EQ(stat(Host("Pad/B/20070315_093000.pad").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino); // the same file, renamed
    EXPECT_FALSE(HostExists(Host("Pad/A/20070315_093000.pad")));
    EXPECT_EQ(index.memos, (Memos{{u"\\Pad\\B\\20070315_093000.pad", listTime}}));

    // Into the folder it is in already: nothing happens.
    ASSERT_EQ(MoveMemo(moved, listTime, u"\\Pad\\B", &index, nullptr), 1);
    EXPECT_TRUE(HostExists(Host("Pad/B/20070315_093000.pad")));
}

TEST_F(MemoStore, MemoOntoATakenNameArrivesUnderTheClocksName) {
    for (bool copy : {false, true}) {
        SCOPED_TRACE(copy ? "copy" : "move");
        fs::remove_all(Host("Pad"));
        File("Pad/A/20070315_093000.pad", "mine");
        File("Pad/B/20070315_093000.pad", "theirs");
        // The clock's own second is taken too, and the clock stands still.
        File("Pad/B/20240520_101500.pad", "older");
        index.memos = {{u"\\Pad\\A\\20070315_093000.pad", 1.0}};
        const MemoRef memo{u"\\Pad\\A\\20070315_093000.pad", 1.0};
        ASSERT_EQ(copy ? CopyMemos(&memo, 1, u"\\Pad\\B", &index)
                       : MoveMemos(&memo, 1, u"\\Pad\\B", &index),
                  1);
        EXPECT_EQ(ReadText(Host("Pad/B/20240520_101501.pad")), "mine");
        EXPECT_EQ(ReadText(Host("Pad/B/20070315_093000.pad")), "theirs");
        EXPECT_EQ(ReadText(Host("Pad/B/20240520_101500.pad")), "older");
        EXPECT_EQ(HostExists(Host("Pad/A/20070315_093000.pad")), copy);
        Memos want = {{u"\\Pad\\B\\20240520_101501.pad", 1.0}};
        if (copy)
            want[u"\\Pad\\A\\20070315_093000.pad"] = 1.0;
        EXPECT_EQ(index.memos, want);
    }
}

TEST_F(MemoStore, MemoThatCannotMoveStaysListedWhereItIs) {
    File("Pad/A/20070315_093000.pad", "mine");
    Scan();
    const Memos before = index.memos;
    WCHAR moved[MAX_PATH] = u"untouched";
    for (LPCWSTR folder : {u"\\Pad\\Missing", u"\\Pad\\A\\20070315_093000.pad"}) {
        EXPECT_EQ(MoveMemo(u"\\Pad\\A\\20070315_093000.pad", At(2007, 3, 15, 9, 30), folder, &index,
                           moved),
                  0);
        EXPECT_EQ(index.memos, before);
        EXPECT_EQ(ReadText(Host("Pad/A/20070315_093000.pad")), "mine");
    }
    EXPECT_EQ(std::u16string(moved), u"untouched");
}

TEST_F(MemoStore, MoveToAnotherFileSystemCopiesWholeBeforeTheSourceGoes) {
    struct stat root {
    }, shm{};
    if (stat(device.Root().c_str(), &root) != 0 || stat("/dev/shm", &shm) != 0 ||
        root.st_dev == shm.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    OutsideDir card("/dev/shm");
    ASSERT_FALSE(card.path().empty());
    fs::create_directory_symlink(card.path(), Host("Pad/Card"));

    const std::string body(5000, 'x');
    File("Pad/20070315_093000.pad", body);
    ASSERT_EQ(MoveMemo(u"\\Pad\\20070315_093000.pad", 1.0, u"\\Pad\\Card", &index, nullptr), 1);
    EXPECT_EQ(ReadText(card.path() + "/20070315_093000.pad"), body);
    EXPECT_FALSE(HostExists(Host("Pad/20070315_093000.pad")));

    // A copy that cannot be finished (the disk is full) leaves the memo where it was.
    File("Pad/20070316_093000.pad", body);
    {
        FileSizeLimit full(1000);
        ASSERT_TRUE(full.Ok());
        EXPECT_EQ(MoveMemo(u"\\Pad\\20070316_093000.pad", 1.0, u"\\Pad\\Card", &index, nullptr), 0);
    }
    EXPECT_EQ(ReadText(Host("Pad/20070316_093000.pad")), body);
    EXPECT_EQ(std::distance(fs::directory_iterator(card.path()), fs::directory_iterator()), 1);
}

TEST_F(MemoStore, DeleteFolderTakesReadOnlyEntriesButNotWhatLinksPointTo) {
    OutsideDir outside(fs::path(device.Root()).parent_path().string());
    ASSERT_FALSE(outside.path().empty());
    WriteHost(outside.path() + "/keep.pad", Text("keep"));
    File("Pad/Del/20240101_000000.pad");
    File("Pad/Del/Sub/20240102_000000.pad");
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\Del\\20240101_000000.pad", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\Del\\Sub", FILE_ATTRIBUTE_READONLY));
    fs::create_directory_symlink(outside.path(), Host("Pad/Del/Out"));

    EXPECT_EQ(DeleteFolder(u"\\Pad\\Del\\\\"), 1);
    EXPECT_FALSE(HostExists(Host("Pad/Del")));
    EXPECT_EQ(ReadText(outside.path() + "/keep.pad"), "keep");
    EXPECT_EQ(DeleteFolder(u"\\"), 0);
    EXPECT_TRUE(HostExists(Host("Pad")));
}

TEST_F(MemoStore, MoveFolderMergesWithoutLosingAMemo) {
    File("Pad/S/20070315_093000.pad", "s1");
    File("Pad/S/Sub/20070316_000000.pad", "s2");
    File("Pad/S/20070317_000000.pad", "s3");
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\S\\20070317_000000.pad",
                                   FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    WriteHost(Host("Pad/S/folder.info"), InfoBytes(0x111111, 0, u""));
    File("Pad/T/20070315_093000.pad", "t1");
    File("Pad/T/Sub/20070316_000000.pad", "t2");
    const Bytes targetInfo = InfoBytes(0x222222, 1, u"Sub");
    WriteHost(Host("Pad/T/folder.info"), targetInfo);

    ASSERT_EQ(MoveFolder(u"\\Pad\\S", u"\\Pad\\T\\"), 1);
    EXPECT_FALSE(HostExists(Host("Pad/S")));
    EXPECT_EQ(ReadText(Host("Pad/T/20070315_093000.pad")), "t1");
    EXPECT_EQ(ReadText(Host("Pad/T/20240520_101500.pad")), "s1");
    EXPECT_EQ(ReadText(Host("Pad/T/Sub/20070316_000000.pad")), "t2");
    EXPECT_EQ(ReadText(Host("Pad/T/Sub/20240520_101500.pad")), "s2");
    EXPECT_EQ(ReadText(Host("Pad/T/20070317_000000.pad")), "s3");
    EXPECT_EQ(GetFileAttributesW(u"\\Pad\\T\\20070317_000000.pad"),
              DWORD(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ReadHost(Host("Pad/T/folder.info")), targetInfo);

    // Under a new name: the folder arrives whole, "folder.info" and attributes with it.
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\T", FILE_ATTRIBUTE_READONLY));
    ASSERT_EQ(MoveFolder(u"\\Pad\\T", u"\\Pad\\Renamed"), 1);
    EXPECT_EQ(ReadHost(Host("Pad/Renamed/folder.info")), targetInfo);
    EXPECT_EQ(ReadText(Host("Pad/Renamed/Sub/20240520_101500.pad")), "s2");
    EXPECT_TRUE(GetFileAttributesW(u"\\Pad\\Renamed") & FILE_ATTRIBUTE_READONLY);
}

TEST_F(MemoStore, MoveFolderLeavesWhatCannotArrive) {
    File("Pad/S/notes.txt", "source notes");
    File("Pad/S/20070315_093000.pad", "s1");
    File("Pad/T/notes.txt", "target notes");
    EXPECT_EQ(MoveFolder(u"\\Pad\\S", u"\\Pad\\T"), 0);
    EXPECT_EQ(ReadText(Host("Pad/S/notes.txt")), "source notes");
    EXPECT_EQ(ReadText(Host("Pad/T/notes.txt")), "target notes");
    EXPECT_EQ(ReadText(Host("Pad/T/20070315_093000.pad")), "s1");

    // Into itself or below: refused before anything moves.
    EXPECT_EQ(MoveFolder(u"\\Pad\\S", u"\\Pad\\S\\Inner"), 0);
    EXPECT_EQ(MoveFolder(u"\\Pad\\S", u"\\PAD\\s"), 0);
    EXPECT_FALSE(HostExists(Host("Pad/S/Inner")));
    EXPECT_TRUE(HostExists(Host("Pad/S/notes.txt")));
}

TEST_F(MemoStore, StoreMovesToANewDataFolderWholeOrNotAtAll) {
    File("Pad/20070315_093000.pad", "root");
    File("Pad/A/20070316_000000.pad", "a");
    WriteHost(Host("Pad/A/folder.info"), InfoBytes(0x111111, 0, u""));
    File("New/A/20070316_000000.pad", "there before");
    const Bytes keptInfo = InfoBytes(0x222222, 1, u"");
    WriteHost(Host("New/A/folder.info"), keptInfo);

    // Into a folder below the old one: refused before anything moves.
    EXPECT_EQ(MoveMemoStore(u"\\Pad", u"\\Pad\\A\\Inner"), eStoreMoveInside);
    EXPECT_FALSE(HostExists(Host("Pad/A/Inner")));
    // No old folder: nothing to move.
    EXPECT_EQ(MoveMemoStore(u"\\Gone", u"\\New"), eStoreMoved);

    // A name that is taken by something not a memo: every memo goes back, made folders go.
    File("Pad/B/notes.txt", "old notes");
    File("New/B/notes.txt", "new notes");
    File("Pad/C/20070317_000000.pad", "c");
    EXPECT_EQ(MoveMemoStore(u"\\Pad", u"\\New"), eStoreMoveFailed);
    EXPECT_EQ(ReadText(Host("Pad/20070315_093000.pad")), "root");
    EXPECT_EQ(ReadText(Host("Pad/A/20070316_000000.pad")), "a");
    EXPECT_EQ(ReadText(Host("Pad/C/20070317_000000.pad")), "c");
    EXPECT_EQ(ReadText(Host("New/A/20070316_000000.pad")), "there before");
    EXPECT_EQ(ReadText(Host("New/B/notes.txt")), "new notes");
    EXPECT_FALSE(HostExists(Host("New/20070315_093000.pad")));
    EXPECT_FALSE(HostExists(Host("New/A/20240520_101500.pad")));
    EXPECT_FALSE(HostExists(Host("New/C")));

    // Without the clash all of it arrives, merged; the old folder goes.
    fs::remove(Host("New/B/notes.txt"));
    EXPECT_EQ(MoveMemoStore(u"\\Pad\\", u"\\New\\Deeper"), eStoreMoved);
    EXPECT_FALSE(HostExists(Host("Pad")));
    EXPECT_EQ(ReadText(Host("New/Deeper/20070315_093000.pad")), "root");
    ASSERT_EQ(MoveMemoStore(u"\\New\\Deeper", u"\\New"), eStoreMoved);
    EXPECT_EQ(ReadText(Host("New/20070315_093000.pad")), "root");
    EXPECT_EQ(ReadText(Host("New/A/20070316_000000.pad")), "there before");
    EXPECT_EQ(ReadText(Host("New/A/20240520_101500.pad")), "a");
    EXPECT_EQ(ReadHost(Host("New/A/folder.info")), keptInfo);
    EXPECT_EQ(ReadText(Host("New/B/notes.txt")), "old notes");
    EXPECT_EQ(ReadText(Host("New/C/20070317_000000.pad")), "c");
    EXPECT_FALSE(HostExists(Host("New/Deeper")));
}

TEST_F(MemoStore, HostileStoreIsScannedAsFarAsItCanBe) {
    OutsideDir outside(fs::path(device.Root()).parent_path().string());
    ASSERT_FALSE(outside.path().empty());
    WriteHost(outside.path() + "/20240101_000000.pad", Text("outside"));

    File("Pad/Work/20240102_000000.pad");
    // Links: a loop to the store, one to itself, one off the device, one to a folder listed
    // in its own place, a file off the device, and one to a folder elsewhere on the device.
    fs::create_directory_symlink("..", Host("Pad/Work/Back"));
    fs::create_directory_symlink(".", Host("Pad/Work/Self"));
    fs::create_directory_symlink(outside.path(), Host("Pad/Out"));
    fs::create_directory_symlink(Host("Pad/Work"), Host("Pad/Again"));
    fs::create_symlink(outside.path() + "/20240101_000000.pad",
                       Host("Pad/Work/20240103_000000.pad"));
    File("Cards/Notes/20240104_000000.pad");
    fs::create_directory_symlink(Host("Cards/Notes"), Host("Pad/Card"));
    fs::create_directory_symlink(Host("Pad/Card"), Host("Cards/Notes/Loop"));
    // Korean names, and names that do not parse or parse only in part.
    File("Pad/작업/20240105_000000.pad");
    File("Pad/작업/메모.pad");
    File("Pad/작업/20240106_000000 메모.pad");
    File("Pad/작업/____.pad");
    WriteHost(Host("Pad/작업/folder.info"), Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    // A chain of folders 200 deep with a memo at every level (and its "folder.info", to spare
    // the test 200 safe writes).
    std::string deep = "Pad/Deep";
    for (int i = 0; i < 200; ++i) {
        deep += "/d";
        File(deep + "/20240107_000000.pad");
        WriteHost(Host(deep + "/folder.info"), InfoBytes(0x123456, 0, u""));
    }
    // An unreadable folder and an unreadable memo (the scan reads memo names only).
    File("Pad/Closed/20240108_000000.pad");
    File("Pad/Work/20240109_000000.pad");
    fs::permissions(Host("Pad/Closed"), fs::perms::none);
    fs::permissions(Host("Pad/Work/20240109_000000.pad"), fs::perms::none);

    const POSITION root = Scan();
    fs::permissions(Host("Pad/Closed"), fs::perms::owner_all);

    EXPECT_EQ(Children(root),
              (std::vector<std::u16string>{u"Card", u"Closed", u"Deep", u"Work", u"작업"}));
    EXPECT_EQ(Children(FindFolderItem(&tree, u"\\Pad\\Work")), std::vector<std::u16string>{});
    EXPECT_EQ(Children(FindFolderItem(&tree, u"\\Pad\\Card")), std::vector<std::u16string>{});
    FolderInfo info;
    ASSERT_EQ(ReadFolderInfo(u"\\Pad\\작업", &info), 1);
    EXPECT_TRUE(IsPaletteFolderColour(info.color));

    Memos want = {
        {u"\\Pad\\Work\\20240102_000000.pad", At(2024, 1, 2)},
        {u"\\Pad\\Card\\20240104_000000.pad", At(2024, 1, 4)},
        {u"\\Pad\\작업\\20240105_000000.pad", At(2024, 1, 5)},
        {u"\\Pad\\작업\\20240106_000000 메모.pad", At(2024, 1, 6)},
        {u"\\Pad\\Work\\20240109_000000.pad", At(2024, 1, 9)},
    };
    // Every level of the chain whose memo paths fit in MAX_PATH characters: "\Pad\Deep" is 9
    // characters, each level adds "\d", and a memo adds 20 more.
    std::u16string level = u"\\Pad\\Deep";
    for (int i = 0; i < 200 && level.size() + 2 + 20 < MAX_PATH; ++i) {
        level += u"\\d";
        want[level + u"\\20240107_000000.pad"] = At(2024, 1, 7);
    }
    EXPECT_EQ(want.size(), 5u + 115u);
    // Root reads every folder whatever its permissions, so the closed folder is listed then.
    if (geteuid() == 0)
        want[u"\\Pad\\Closed\\20240108_000000.pad"] = At(2024, 1, 8);
    EXPECT_EQ(index.memos, want);
}
