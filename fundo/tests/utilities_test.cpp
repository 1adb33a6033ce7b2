#include "fundo/Flags.h"
#include "fundo/OwnerInfo.h"
#include "fundo/PathUtil.h"
#include "fundo/StringUtil.h"

#include "TestDevice.h"

#include <platform/module.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

TEST(Flags, SetOnlyChangesWhenNeeded) {
    DWORD w = 0x2;
    EXPECT_EQ(SetFlag(0, w, 0x6), 0); // partly set: left alone
    EXPECT_EQ(w, 0x2u);
    w = 0x6;
    EXPECT_EQ(SetFlag(0, w, 0x6), 1);
    EXPECT_EQ(w, 0x0u);
    w = 0x6;
    EXPECT_EQ(SetFlag(1, w, 0x6), 0);
    w = 0x2;
    EXPECT_EQ(SetFlag(1, w, 0x6), 1);
    EXPECT_EQ(w, 0x6u);
    EXPECT_EQ(SetFlag(1, w, 0), 0);
    EXPECT_EQ(SetFlag(0, w, 0), 0);
    EXPECT_EQ(w, 0x6u);
    EXPECT_EQ(GetFlag(0x6, 0x6), 1);
    EXPECT_EQ(GetFlag(0x2, 0x6), 0);
    EXPECT_EQ(GetFlag(0x80000000u, 0x80000000u), 1);
    EXPECT_EQ(GetFootPrint(), 0);
}

TEST(StringCopies, AllocStringCopiesWholeOrPrefix) {
    WCHAR* s = AllocString(u"0123456789", 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::u16string(s), u"012");
    FreeString(s);
    EXPECT_EQ(s, nullptr);
    FreeString(s); // a second release is harmless
    s = AllocString(u"abc", 0);
    EXPECT_EQ(std::u16string(s), u"abc");
    FreeString(s);
    s = AllocString(u"abc", 99);
    EXPECT_EQ(std::u16string(s), u"abc");
    FreeString(s);
    s = AllocString(u"abc", -5);
    EXPECT_EQ(std::u16string(s), u"abc");
    FreeString(s);
    EXPECT_EQ(AllocString(u"", 3), nullptr);
    EXPECT_EQ(AllocString(nullptr, 3), nullptr);
}

TEST(StringCopies, AnsiConversionsUseTheDeviceCodePage) {
    ASSERT_EQ(GetACP(), 949u);
    WCHAR wide[8];
    for (WCHAR& c : wide)
        c = u'#';
    EXPECT_EQ(Ansi2Unicode(wide, "a\xB0\xA1z"), 4); // with the terminator
    EXPECT_EQ(std::u16string(wide), u"a\xAC00z");
    char ansi[16];
    std::memset(ansi, '#', sizeof ansi);
    EXPECT_EQ(Unicode2Ansi(ansi, u"\xAC00\xAC00x"), 6);
    EXPECT_STREQ(ansi, "\xB0\xA1\xB0\xA1x");
    EXPECT_EQ(Ansi2Unicode(nullptr, "a"), 0);
    EXPECT_EQ(Unicode2Ansi(ansi, nullptr), 0);
}

TEST(Paths, SplitAtBackslashes) {
    WCHAR path[MAX_PATH] = u"\\My Documents\\Pad\\memo.pad";
    EXPECT_EQ(std::u16string(GetFileOnly(path)), u"memo.pad");
    EXPECT_EQ(std::u16string(GetExtOnly(path)), u"pad");
    WCHAR* cut = GetPathOnly(path);
    EXPECT_EQ(std::u16string(path), u"\\My Documents\\Pad");
    EXPECT_EQ(cut, path + 17);
    EXPECT_EQ(*cut, 0);

    WCHAR bare[MAX_PATH] = u"memo.pad";
    EXPECT_EQ(GetFileOnly(bare), bare);
    EXPECT_EQ(GetPathOnly(bare), bare);
    EXPECT_EQ(bare[0], 0);

    // A doubled last backslash keeps one with the name, except as the first two characters.
    WCHAR doubled[MAX_PATH] = u"\\a\\\\b";
    EXPECT_EQ(std::u16string(GetFileOnly(doubled)), u"\\b");
    WCHAR network[MAX_PATH] = u"\\\\b";
    EXPECT_EQ(std::u16string(GetFileOnly(network)), u"b");
}

TEST(Paths, ExtensionIsTheFileNamesLastDot) {
    EXPECT_EQ(std::u16string(GetExtOnly(u"archive.tar.gz")), u"gz");
    const WCHAR* none = u"\\folder\\README";
    EXPECT_EQ(GetExtOnly(none), none + 14); // the terminator
    EXPECT_EQ(std::u16string(GetExtOnly(u"\\My.Folder\\notes")), u"");
    EXPECT_EQ(std::u16string(GetExtOnly(u"trailing.")), u"");
    EXPECT_EQ(GetExtOnly(static_cast<const WCHAR*>(nullptr)), nullptr);
}

TEST(Paths, ProgramPathAndFolder) {
    WCHAR file[MAX_PATH];
    int n = GetProgramFilePath(file);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::u16string(file), plat::ProgramDevicePath());
    WCHAR folder[MAX_PATH];
    EXPECT_EQ(GetProgramFolder(folder), 22);
    EXPECT_EQ(std::u16string(folder), u"\\Program Files\\Scribbo");
}

TEST(Paths, FolderOrFile) {
    TestDevice device;
    ASSERT_TRUE(CreateDirectoryW(u"\\Pad", nullptr));
    std::ofstream(device.Host("Pad/x.pad")) << "x";
    EXPECT_EQ(IsValidPath(u"\\Pad"), 1);
    EXPECT_EQ(IsValidFile(u"\\Pad"), 0);
    EXPECT_EQ(IsValidPath(u"\\pad\\X.PAD"), 0);
    EXPECT_EQ(IsValidFile(u"\\pad\\X.PAD"), 1);
    EXPECT_EQ(IsValidPath(u"\\nothing"), 0);
    EXPECT_EQ(IsValidFile(u"\\nothing"), 0);
    EXPECT_EQ(IsValidFile(nullptr), 0);
}

namespace {

std::vector<BYTE> RawValue(LPCWSTR name) {
    HKEY key = nullptr;
    std::vector<BYTE> out(1024);
    DWORD size = static_cast<DWORD>(out.size());
    if (RegOpenKeyExW(HKEY_CURRENT_USER, u"ControlPanel\\Owner", 0, KEY_READ, &key) != 0)
        return {};
    if (RegQueryValueExW(key, name, nullptr, nullptr, out.data(), &size) != 0)
        size = 0;
    RegCloseKey(key);
    out.resize(size);
    return out;
}

} // namespace

TEST(OwnerRecords, RoundTripThroughTheRegistry) {
    TestDevice device;
    CEOwnerInfo info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(GetCEOwnerInfo(&info), 0); // nothing stored yet
    EXPECT_EQ(info.cbSize, 560u);

    std::memcpy(info.szName, u"Kim Minji", 20);
    std::memcpy(info.szPhone, u"010", 8);
    for (WCHAR& c : info.szEmail) // runs through its terminator position
        c = u'e';
    ASSERT_EQ(SetCEOwnerInfo(&info), 1);
    EXPECT_EQ(info.szEmail[40], 0); // terminated by the setter
    std::vector<BYTE> raw = RawValue(u"Owner");
    ASSERT_EQ(raw.size(), 556u);
    EXPECT_EQ(std::memcmp(raw.data(), &info.szName, 556), 0);

    plat::RegistryReload(); // as a fresh process would see it
    CEOwnerInfo back;
    std::memset(&back, 0x55, sizeof back);
    back.cbSize = 600;
    ASSERT_EQ(GetCEOwnerInfo(&back), 1);
    EXPECT_EQ(back.cbSize, 560u);
    EXPECT_EQ(std::u16string(back.szName), u"Kim Minji");
    EXPECT_EQ(std::u16string(back.szPhone), u"010");
    EXPECT_EQ(std::u16string(back.szEmail), std::u16string(40, u'e'));
    EXPECT_EQ(std::u16string(back.szCompany), u"");

    CEOwnerInfo small{};
    small.cbSize = 559;
    EXPECT_EQ(GetCEOwnerInfo(&small), 0);
    EXPECT_EQ(SetCEOwnerInfo(&small), 0);
    EXPECT_EQ(GetCEOwnerInfo(nullptr), 0);
}

TEST(OwnerRecords, NotesRoundTripAndUnterminatedBytesStayInside) {
    TestDevice device;
    CEOwnerNoteInfo notes{};
    notes.cbSize = sizeof notes;
    std::memcpy(notes.szNotes, u"call home", 18);
    ASSERT_EQ(SetCEOwnerNoteInfo(&notes), 1);
    EXPECT_EQ(RawValue(u"Notes").size(), 388u);
    CEOwnerNoteInfo back{};
    back.cbSize = sizeof back;
    ASSERT_EQ(GetCEOwnerNoteInfo(&back), 1);
    EXPECT_EQ(std::u16string(back.szNotes), u"call home");

    // A value written by someone else without terminators still reads as bounded text.
    std::vector<BYTE> junk(556, 'A');
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"ControlPanel\\Owner", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              0);
    RegSetValueExW(key, u"Owner", 0, REG_BINARY, junk.data(), 556);
    RegCloseKey(key);
    CEOwnerInfo info{};
    info.cbSize = sizeof info;
    ASSERT_EQ(GetCEOwnerInfo(&info), 1);
    EXPECT_EQ(std::u16string(info.szName).size(), 32u);
    EXPECT_EQ(std::u16string(info.szEmail).size(), 40u);
}
