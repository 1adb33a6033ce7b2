#include "scribbo/FolderInfo.h"

#include "scribbo_test_support.h"

#include <TestDevice.h>

#include <gtest/gtest.h>

using namespace apptest;

namespace {

Bytes InfoBytes(COLORREF color, DWORD locked, std::u16string_view name, DWORD count) {
    Bytes b;
    Put32(b, 2);
    Put32(b, 2);
    Put32(b, color);
    Put32(b, locked);
    Put32(b, count);
    PutText(b, name);
    return b;
}

class FolderInfoFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateDirectoryW(u"\\Pad", nullptr)); }
    std::string HostInfo() { return device.Host("Pad/folder.info"); }
    TestDevice device;
};

} // namespace

TEST_F(FolderInfoFile, ReadsTheStoredFields) {
    WriteHost(HostInfo(), InfoBytes(0x123456, 1, u"작업", 2));
    FolderInfo info;
    ASSERT_EQ(ReadFolderInfo(u"\\Pad", &info), 1);
    EXPECT_EQ(info.color, 0x123456u);
    EXPECT_EQ(info.locked, 1);
    EXPECT_EQ(std::u16string(info.subfolder), u"작업");
    // A trailing separator names the same folder.
    FolderInfo again;
    ASSERT_EQ(ReadFolderInfo(u"\\Pad\\", &again), 1);
    EXPECT_EQ(std::u16string(again.subfolder), u"작업");
}

TEST_F(FolderInfoFile, WritesTheTableBytes) {
    FolderInfo info;
    info.color = 0xA0B0C0;
    info.locked = 0;
    std::char_traits<char16_t>::copy(info.subfolder, u"Work", 5);
    ASSERT_EQ(WriteFolderInfo(u"\\Pad", info), 1);
    EXPECT_EQ(ReadHost(HostInfo()), InfoBytes(0xA0B0C0, 0, u"Work", 4));

    FolderInfo empty;
    empty.locked = 5; // any lock is written as 1
    ASSERT_EQ(WriteFolderInfo(u"\\Pad\\", empty), 1);
    EXPECT_EQ(ReadHost(HostInfo()), InfoBytes(kDefaultFolderColor, 1, u"", 0));
}

TEST_F(FolderInfoFile, LongestNameRoundTrips) {
    FolderInfo info;
    for (DWORD i = 0; i < kFolderInfoNameMax; ++i)
        info.subfolder[i] = WCHAR(u'가' + i);
    ASSERT_EQ(WriteFolderInfo(u"\\Pad", info), 1);
    EXPECT_EQ(ReadHost(HostInfo()).size(), kFolderInfoFixedBytes + 2 * kFolderInfoNameMax);
    FolderInfo back;
    ASSERT_EQ(ReadFolderInfo(u"\\Pad", &back), 1);
    EXPECT_EQ(std::u16string(back.subfolder), std::u16string(info.subfolder));

    // A buffer with no terminator is refused instead of read past its end.
    for (WCHAR& c : info.subfolder)
        c = u'x';
    EXPECT_EQ(WriteFolderInfo(u"\\Pad", info), 0);
    ASSERT_EQ(ReadFolderInfo(u"\\Pad", &back), 1); // the old file is still there
}

TEST_F(FolderInfoFile, DamagedFilesAreRefusedAndChangeNothing) {
    const std::u16string longName(kFolderInfoNameMax + 1, u'a');
    const Bytes cases[] = {
        Bytes{},
        Bytes(19, 0),                                      // shorter than the fixed fields
        InfoBytes(1, 0, u"ab", 3),                         // name runs past the end
        InfoBytes(1, 0, longName, DWORD(longName.size())), // longer than any name kept
        InfoBytes(1, 0, u"", 0xFFFFFFFF),
    };
    for (const Bytes& bytes : cases) {
        WriteHost(HostInfo(), bytes);
        FolderInfo info;
        info.color = 0x42;
        EXPECT_EQ(ReadFolderInfo(u"\\Pad", &info), 0) << bytes.size();
        EXPECT_EQ(info.color, 0x42u);
        EXPECT_EQ(info.subfolder[0], 0);
    }
    // A damaged lock flag still locks.
    WriteHost(HostInfo(), InfoBytes(1, 0x80000000, u"", 0));
    FolderInfo info;
    ASSERT_EQ(ReadFolderInfo(u"\\Pad", &info), 1);
    EXPECT_EQ(info.locked, 1);
    // Bytes after the name are ignored.
    Bytes trailing = InfoBytes(7, 0, u"z", 1);
    trailing.resize(trailing.size() + 600, 0xEE);
    WriteHost(HostInfo(), trailing);
    ASSERT_EQ(ReadFolderInfo(u"\\Pad", &info), 1);
    EXPECT_EQ(std::u16string(info.subfolder), u"z");
    EXPECT_EQ(ReadFolderInfo(u"\\Nowhere", &info), 0);
}

TEST_F(FolderInfoFile, FullDiskKeepsTheOldFile) {
    const Bytes old = InfoBytes(0x111111, 1, u"old", 3);
    WriteHost(HostInfo(), old);
    FolderInfo info;
    std::char_traits<char16_t>::copy(info.subfolder, u"a much longer new name", 23);
    for (rlim_t cut : {rlim_t(0), rlim_t(10), rlim_t(30)}) {
        int result;
        {
            FileSizeLimit limit(cut);
            ASSERT_TRUE(limit.Ok());
            result = WriteFolderInfo(u"\\Pad", info);
        }
        EXPECT_EQ(result, 0) << cut;
        EXPECT_EQ(ReadHost(HostInfo()), old);
        EXPECT_EQ(HostNames(device.Host("Pad")), std::vector<std::string>{"folder.info"});
    }
}
