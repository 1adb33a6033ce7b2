// Keys, values and handles through the Win32 calls, within one process.
#include "registry_test_support.h"

#include <TestDevice.h>

#include <gtest/gtest.h>

#include <thread>

using namespace regtest;

namespace {

class Registry : public ::testing::Test {
protected:
    TestDevice device;
};

std::vector<BYTE> Dword(DWORD v) {
    return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)};
}

} // namespace

TEST_F(Registry, CreateMakesIntermediateKeysAndReportsDisposition) {
    DWORD disposition = 0;
    Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo", &disposition));
    ASSERT_NE(k.Get(), nullptr);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    Key again(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo", &disposition));
    ASSERT_NE(again.Get(), nullptr);
    EXPECT_NE(again.Get(), k.Get()); // every open gives its own handle
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    Key middle(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora"));
    EXPECT_NE(middle.Get(), nullptr);
    // A trailing backslash names the same key.
    Key trailing(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo\\"));
    EXPECT_NE(trailing.Get(), nullptr);
}

TEST_F(Registry, OpenFailsForMissingKeysAndBadArguments) {
    HKEY h = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Nobody", 0, KEY_READ, &h),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, KEY_READ, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\Software", 0, KEY_READ, &h),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"a\\\\b", 0, nullptr, 0, 0, nullptr, &h, nullptr),
        ERROR_INVALID_PARAMETER);
    std::u16string tooLong(256, u'x');
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, tooLong.c_str(), 0, nullptr, 0, 0, nullptr, &h,
                              nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExW(reinterpret_cast<HKEY>(0x12345), u"x", 0, KEY_READ, &h),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExW(nullptr, u"x", 0, KEY_READ, &h), ERROR_INVALID_HANDLE);
    // Empty and null subkeys open the key itself.
    Key self(Open(HKEY_CURRENT_USER, nullptr));
    EXPECT_NE(self.Get(), nullptr);
}

TEST_F(Registry, CloseAcceptsOpenHandlesAndRootsOnly) {
    HKEY h = Create(HKEY_CURRENT_USER, u"ControlPanel\\Owner");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetDword(h, u"x", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    // The root stays usable after being "closed".
    EXPECT_EQ(SetDword(HKEY_LOCAL_MACHINE, u"x", 1), ERROR_SUCCESS);
}

TEST_F(Registry, KeyAndValueNamesAreCaseInsensitiveAndKeepTheirSpelling) {
    Key saved(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    ASSERT_EQ(SetDword(saved.Get(), u"TVNaviMode", 2), ERROR_SUCCESS);
    // The settings save through a differently spelt path.
    Key upper(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Velmora\\Scribbo"));
    ASSERT_NE(upper.Get(), nullptr);
    EXPECT_EQ(Query(upper.Get(), u"tvnavimode").data, Dword(2));
    ASSERT_EQ(SetDword(upper.Get(), u"TVNAVIMODE", 1), ERROR_SUCCESS);
    EXPECT_EQ(Query(saved.Get(), u"TVNaviMode").data, Dword(1));

    DWORD disposition = 0;
    Key created(Create(HKEY_LOCAL_MACHINE, u"software\\VELMORA\\scribbo", &disposition));
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));

    WCHAR name[64];
    DWORD cch = 64;
    Key software(Open(HKEY_LOCAL_MACHINE, u"software"));
    ASSERT_EQ(RegEnumKeyExW(software.Get(), 0, name, &cch, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"Velmora");
    cch = 64;
    ASSERT_EQ(RegEnumValueW(saved.Get(), 0, name, &cch, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"TVNaviMode");
    EXPECT_EQ(cch, 10u);

    // Beyond ASCII too: Latin-1, Latin Extended-A, Greek (with tonos) and Cyrillic letters.
    Key accented(Create(HKEY_CURRENT_USER, u"Über\\Łódź\\Σοφία όψις\\Москва"));
    ASSERT_NE(accented.Get(), nullptr);
    Key folded(Open(HKEY_CURRENT_USER, u"üBER\\łÓDŹ\\ΣΟΦΊΑ ΌΨΙΣ\\москва"));
    EXPECT_NE(folded.Get(), nullptr);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Uber"), nullptr);
}

TEST_F(Registry, RootsAreSeparateTrees) {
    Key lm(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    Key cu(Create(HKEY_CURRENT_USER, u"Software\\Velmora\\Scribbo"));
    ASSERT_EQ(SetDword(lm.Get(), u"ButtonSize", 16), ERROR_SUCCESS);
    EXPECT_EQ(Query(cu.Get(), u"ButtonSize").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(HKEY_USERS, u"Software"), nullptr);
    EXPECT_EQ(Open(HKEY_CLASSES_ROOT, u"Software"), nullptr);
}

TEST_F(Registry, QueryCutsLongValuesToTheBufferAndReportsSizes) {
    Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    std::vector<BYTE> folder = Utf16(u"\\My Documents\\Pad", 260);
    ASSERT_EQ(Set(k.Get(), u"BaseDataFolder", REG_SZ, folder), ERROR_SUCCESS);

    // No buffer: the size.
    DWORD type = 0, cb = 0;
    ASSERT_EQ(RegQueryValueExW(k.Get(), u"BaseDataFolder", nullptr, &type, nullptr, &cb),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(cb, 260u);

    // A larger buffer: the stored bytes, the rest untouched.
    std::vector<BYTE> big(600, 0xAB);
    cb = 600;
    ASSERT_EQ(RegQueryValueExW(k.Get(), u"BaseDataFolder", nullptr, nullptr, big.data(), &cb),
              ERROR_SUCCESS);
    EXPECT_EQ(cb, 260u);
    EXPECT_TRUE(std::equal(folder.begin(), folder.end(), big.begin()));
    EXPECT_EQ(big[260], 0xAB);

    // A smaller buffer: cut to it, and still a success.
    WCHAR shortBuf[8];
    std::fill(std::begin(shortBuf), std::end(shortBuf), u'#');
    cb = 10;
    ASSERT_EQ(RegQueryValueExW(k.Get(), u"BaseDataFolder", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(shortBuf), &cb),
              ERROR_SUCCESS);
    EXPECT_EQ(cb, 10u);
    EXPECT_EQ(std::u16string(shortBuf, 6), u"\\My D#");
    EXPECT_EQ(shortBuf[5], u'#');

    // The type of the stored value does not matter to a reader: a REG_BINARY read into a
    // DWORD field with the field's size.
    ASSERT_EQ(Set(k.Get(), u"PenWidth", REG_BINARY, {0x00, 0x40, 0x00, 0x00, 0x99}), ERROR_SUCCESS);
    DWORD width = 0;
    cb = sizeof width;
    ASSERT_EQ(RegQueryValueExW(k.Get(), u"PenWidth", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&width), &cb),
              ERROR_SUCCESS);
    EXPECT_EQ(width, 16384u);

    // A zero-byte buffer copies nothing.
    cb = 0;
    BYTE untouched = 0x5A;
    EXPECT_EQ(RegQueryValueExW(k.Get(), u"PenWidth", nullptr, nullptr, &untouched, &cb),
              ERROR_SUCCESS);
    EXPECT_EQ(untouched, 0x5A);
    EXPECT_EQ(cb, 0u);
}

TEST_F(Registry, QueryFailuresLeaveBuffersAlone) {
    Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    DWORD v = 77, cb = 4, type = 99;
    EXPECT_EQ(
        RegQueryValueExW(k.Get(), u"Missing", nullptr, &type, reinterpret_cast<BYTE*>(&v), &cb),
        ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(v, 77u);
    EXPECT_EQ(type, 99u);
    ASSERT_EQ(SetDword(k.Get(), u"A", 5), ERROR_SUCCESS);
    DWORD reserved = 0;
    EXPECT_EQ(RegQueryValueExW(k.Get(), u"A", &reserved, nullptr, reinterpret_cast<BYTE*>(&v), &cb),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(
        RegQueryValueExW(k.Get(), u"A", nullptr, nullptr, reinterpret_cast<BYTE*>(&v), nullptr),
        ERROR_INVALID_PARAMETER);
    // Neither buffer nor size: only whether the value exists.
    EXPECT_EQ(RegQueryValueExW(k.Get(), u"A", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(v, 77u);
}

TEST_F(Registry, SetStoresExactlyTheBytesGiven) {
    Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    // A 32-character password buffer written with a byte count of 32: 16 characters, no
    // terminator, and the rest of the buffer is not stored.
    WCHAR password[32] = u"1234567890abcdefghij";
    ASSERT_EQ(RegSetValueExW(k.Get(), u"AdminPassword", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(password), 32),
              ERROR_SUCCESS);
    Read r = Query(k.Get(), u"AdminPassword");
    ASSERT_EQ(r.data.size(), 32u);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(r.data.data()), 16),
              u"1234567890abcdef");

    // Garbage after the terminator comes back as it went in.
    std::vector<BYTE> junk = Utf16(u"ab");
    junk.insert(junk.end(), {0x11, 0x22, 0x33});
    ASSERT_EQ(Set(k.Get(), u"Junk", REG_SZ, junk), ERROR_SUCCESS);
    EXPECT_EQ(Query(k.Get(), u"Junk").data, junk);

    // Replacing changes type and size.
    ASSERT_EQ(SetDword(k.Get(), u"Junk", 3), ERROR_SUCCESS);
    r = Query(k.Get(), u"Junk");
    EXPECT_EQ(r.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(r.data, Dword(3));

    // An empty value, and the default value under a null or empty name.
    ASSERT_EQ(RegSetValueExW(k.Get(), u"Empty", 0, REG_NONE, nullptr, 0), ERROR_SUCCESS);
    r = Query(k.Get(), u"Empty");
    EXPECT_EQ(r.result, ERROR_SUCCESS);
    EXPECT_EQ(r.type, static_cast<DWORD>(REG_NONE));
    EXPECT_TRUE(r.data.empty());
    ASSERT_EQ(Set(k.Get(), nullptr, REG_SZ, Utf16(u"default")), ERROR_SUCCESS);
    EXPECT_EQ(Query(k.Get(), u"").data, Utf16(u"default"));

    EXPECT_EQ(RegSetValueExW(k.Get(), u"Bad", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Query(k.Get(), u"Bad").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, DeleteValueRemovesOnlyThatValue) {
    Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    ASSERT_EQ(SetDword(k.Get(), u"A", 1), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(k.Get(), u"B", 2), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(k.Get(), u"a"), ERROR_SUCCESS);
    EXPECT_EQ(Query(k.Get(), u"A").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query(k.Get(), u"B").data, Dword(2));
    EXPECT_EQ(RegDeleteValueW(k.Get(), u"A"), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, DeleteKeyTakesEverythingBelow) {
    {
        Key ombrel(Create(HKEY_LOCAL_MACHINE, u"Software\\Tarnic\\Ombrel"));
        ASSERT_EQ(SetDword(ombrel.Get(), u"PenColor", 0xFF), ERROR_SUCCESS);
        Key deeper(Create(ombrel.Get(), u"Deeper\\Still"));
        ASSERT_EQ(SetDword(deeper.Get(), u"X", 1), ERROR_SUCCESS);
        Key other(Create(HKEY_LOCAL_MACHINE, u"Software\\Tarnic\\Other"));
        Key keep(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
        ASSERT_EQ(SetDword(keep.Get(), u"TVViewMode", 3), ERROR_SUCCESS);
    }
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\tarnic"), ERROR_SUCCESS);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software\\Tarnic"), nullptr);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software\\Tarnic\\Ombrel\\Deeper\\Still"), nullptr);
    Key keep(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    EXPECT_EQ(Query(keep.Get(), u"TVViewMode").data, Dword(3));
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Tarnic"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Nobody\\Child"), ERROR_FILE_NOT_FOUND);
    // A key of the same name made afterwards starts empty.
    Key again(Create(HKEY_LOCAL_MACHINE, u"Software\\Tarnic\\Ombrel"));
    EXPECT_EQ(Query(again.Get(), u"PenColor").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, HandlesOfDeletedKeysFailWithoutHarm) {
    Key top(Create(HKEY_LOCAL_MACHINE, u"Software\\Tarnic"));
    Key leaf(Create(HKEY_LOCAL_MACHINE, u"Software\\Tarnic\\Ombrel\\Leaf"));
    ASSERT_EQ(SetDword(leaf.Get(), u"V", 1), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Tarnic"), ERROR_SUCCESS);

    DWORD v = 0, cb = 4;
    EXPECT_EQ(
        RegQueryValueExW(leaf.Get(), u"V", nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &cb),
        ERROR_KEY_DELETED);
    EXPECT_EQ(SetDword(leaf.Get(), u"V", 2), ERROR_KEY_DELETED);
    EXPECT_EQ(SetDword(top.Get(), u"V", 2), ERROR_KEY_DELETED);
    HKEY h = nullptr;
    EXPECT_EQ(RegCreateKeyExW(top.Get(), u"Ombrel", 0, nullptr, 0, 0, nullptr, &h, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(RegDeleteKeyW(top.Get(), nullptr), ERROR_KEY_DELETED);
    WCHAR name[8];
    DWORD cch = 8;
    EXPECT_EQ(RegEnumValueW(leaf.Get(), 0, name, &cch, nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    // Re-creating the path does not revive old handles.
    Key fresh(Create(HKEY_LOCAL_MACHINE, u"Software\\Tarnic\\Ombrel\\Leaf"));
    EXPECT_EQ(SetDword(leaf.Get(), u"V", 3), ERROR_KEY_DELETED);
    EXPECT_EQ(Query(fresh.Get(), u"V").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(leaf.Release()), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(top.Release()), ERROR_SUCCESS);
}

TEST_F(Registry, DeleteKeyWithoutSubkeyDeletesTheHandlesKeyButNeverARoot) {
    Key k(Create(HKEY_CURRENT_USER, u"A\\B"));
    Key c(Create(k.Get(), u"C"));
    EXPECT_EQ(RegDeleteKeyW(k.Get(), u""), ERROR_SUCCESS);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"A\\B"), nullptr);
    Key a(Open(HKEY_CURRENT_USER, u"A"));
    EXPECT_NE(a.Get(), nullptr);
    EXPECT_EQ(SetDword(c.Get(), u"x", 1), ERROR_KEY_DELETED);

    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, nullptr), ERROR_ACCESS_DENIED);
    Key root(Open(HKEY_CURRENT_USER, u""));
    EXPECT_EQ(RegDeleteKeyW(root.Get(), nullptr), ERROR_ACCESS_DENIED);
    EXPECT_NE(Open(HKEY_CURRENT_USER, u"A"), nullptr);
}

TEST_F(Registry, EnumerationListsKeysByNameAndValuesInWriteOrder) {
    Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    for (LPCWSTR sub : {u"beta", u"Alpha", u"GAMMA"}) {
        Key made(Create(k.Get(), sub));
        ASSERT_NE(made.Get(), nullptr);
    }
    ASSERT_EQ(SetDword(k.Get(), u"Zed", 1), ERROR_SUCCESS);
    ASSERT_EQ(Set(k.Get(), u"Abc", REG_SZ, Utf16(u"xyz")), ERROR_SUCCESS);

    std::vector<std::u16string> keys;
    WCHAR name[32];
    DWORD cch;
    for (DWORD i = 0;; ++i) {
        cch = 32;
        LONG r = RegEnumKeyExW(k.Get(), i, name, &cch, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(r, ERROR_SUCCESS);
        keys.emplace_back(name, cch);
    }
    EXPECT_EQ(keys, (std::vector<std::u16string>{u"Alpha", u"beta", u"GAMMA"}));

    cch = 5; // "Alpha" needs room for its terminator
    EXPECT_EQ(RegEnumKeyExW(k.Get(), 0, name, &cch, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);

    DWORD type = 0;
    BYTE data[4];
    DWORD cb = sizeof data;
    cch = 32;
    ASSERT_EQ(RegEnumValueW(k.Get(), 1, name, &cch, nullptr, &type, data, &cb), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"Abc");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(cb, 4u); // 8 bytes cut to the buffer
    EXPECT_EQ(std::vector<BYTE>(data, data + 4), (std::vector<BYTE>{'x', 0, 'y', 0}));
    cch = 32;
    EXPECT_EQ(RegEnumValueW(k.Get(), 2, name, &cch, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);

    DWORD subkeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(RegQueryInfoKeyW(k.Get(), nullptr, nullptr, nullptr, &subkeys, &maxSub, nullptr,
                               &values, &maxName, &maxData, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys, 3u);
    EXPECT_EQ(maxSub, 5u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxName, 3u);
    EXPECT_EQ(maxData, 8u);
}

TEST_F(Registry, ConcurrentWritersAndReadersSeeWholeValues) {
    Key k(Create(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
    ASSERT_NE(k.Get(), nullptr);
    HKEY key = k.Get();
    auto writer = [key](LPCWSTR name, BYTE fill) {
        for (int i = 0; i < 200; ++i)
            Set(key, name, REG_BINARY, std::vector<BYTE>(64 + i % 7, fill));
    };
    bool torn = false;
    std::thread a(writer, u"A", 0x11), b(writer, u"B", 0x22);
    std::thread reader([&] {
        for (int i = 0; i < 200; ++i) {
            Read r = Query(key, u"A");
            for (BYTE x : r.data)
                torn |= x != 0x11;
            if (i % 20 == 0) // closing writes the file
                RegCloseKey(Open(HKEY_LOCAL_MACHINE, u"Software\\Velmora\\Scribbo"));
        }
    });
    a.join();
    b.join();
    reader.join();
    EXPECT_FALSE(torn);
    EXPECT_EQ(Query(key, u"B").data, std::vector<BYTE>(64 + 199 % 7, 0x22));
}
