#include <platform/module.h>
#include <windows.h>

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Through void (*)() so the compiler knows the cast of a looked-up address is meant.
template <class F> F As(FARPROC p) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(p));
}

using Compress2 = int (*)(unsigned char*, unsigned long*, const unsigned char*, unsigned long, int);
using Uncompress = int (*)(unsigned char*, unsigned long*, const unsigned char*, unsigned long);

// Takes a library away for one test and gives it back afterwards.
struct Absent {
    explicit Absent(LPCWSTR name) : m_name(name) { plat::SetLibraryAvailable(name, false); }
    ~Absent() { plat::SetLibraryAvailable(m_name, true); }
    LPCWSTR m_name;
};

std::u16string FileName(HMODULE module) {
    WCHAR buffer[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(module, buffer, MAX_PATH);
    return std::u16string(buffer, n);
}

} // namespace

TEST(Library, GZLibIsTheSystemZlibAndWorks) {
    HMODULE z = LoadLibraryW(u"GZLib.dll");
    ASSERT_NE(z, nullptr);
    auto compress2 = As<Compress2>(GetProcAddress(z, u"compress2"));
    auto uncompress = As<Uncompress>(GetProcAddress(z, "uncompress"));
    ASSERT_NE(compress2, nullptr);
    ASSERT_NE(uncompress, nullptr);

    std::vector<unsigned char> plain(5000);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<unsigned char>(i % 17);
    std::vector<unsigned char> packed(plain.size());
    unsigned long packedSize = packed.size();
    ASSERT_EQ(compress2(packed.data(), &packedSize, plain.data(), plain.size(), -1), 0);
    EXPECT_LT(packedSize, plain.size());
    EXPECT_EQ(packed[0], 0x78); // an RFC 1950 stream
    std::vector<unsigned char> back(plain.size());
    unsigned long backSize = back.size();
    ASSERT_EQ(uncompress(back.data(), &backSize, packed.data(), packedSize), 0);
    EXPECT_EQ(back, plain);
    EXPECT_TRUE(FreeLibrary(z));
}

TEST(Library, NamesMatchWithoutCaseOrFolderAndLoadsAreCounted) {
    HMODULE a = LoadLibraryW(u"GZLib.dll");
    HMODULE b = LoadLibraryW(u"\\Windows\\gzlib.DLL");
    HMODULE c = LoadLibraryW(u"GZLIB");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    EXPECT_EQ(GetModuleHandleW(u"gzlib.dll"), a);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_EQ(GetModuleHandleW(u"gzlib.dll"), a); // one load still open
    EXPECT_TRUE(FreeLibrary(a));
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(a));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Library, ZlibCanBeMadeAbsentAndComesBack) {
    {
        Absent gone(u"GZLib.dll");
        SetLastError(0);
        EXPECT_EQ(LoadLibraryW(u"GZLib.dll"), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
        EXPECT_EQ(LoadLibraryW(u"\\Windows\\GZLIB"), nullptr);
    }
    HMODULE z = LoadLibraryW(u"GZLib.dll");
    ASSERT_NE(z, nullptr);
    EXPECT_NE(GetProcAddress(z, u"compress2"), nullptr);
    FreeLibrary(z);
}

TEST(Library, MissingLibrariesAndSymbolsFail) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(u"NoSuchLibrary.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryW(u""), nullptr);
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);

    plat::MapLibrary(u"GZLib.dll", "/nonexistent/libz.so");
    EXPECT_EQ(LoadLibraryW(u"GZLib.dll"), nullptr);
    plat::MapLibrary(u"GZLib.dll", "");

    HMODULE z = LoadLibraryW(u"GZLib.dll");
    ASSERT_NE(z, nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(z, "no_such_function"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // zlib's own imports are not its exports.
    EXPECT_EQ(GetProcAddress(z, "malloc"), nullptr);
    EXPECT_EQ(GetProcAddress(z, reinterpret_cast<LPCSTR>(1)), nullptr); // ordinals
    FreeLibrary(z);
}

TEST(Module, HandlesNameTheModuleHoldingTheCode) {
    HMODULE program = GetModuleHandleW(nullptr);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program, plat::ThisModule());
    EXPECT_EQ(program, plat::ProgramModule());
    HMODULE platform = plat::ModuleFromAddress(reinterpret_cast<const void*>(&GetTickCount));
    ASSERT_NE(platform, nullptr);
    EXPECT_NE(platform, program);
    // Libraries linked by import are found by their device names too.
    EXPECT_EQ(GetModuleHandleW(u"platform.dll"), platform);
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleW(u"NoSuchLibrary.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Module, FileNamesAreDevicePaths) {
    plat::SetProgramName(u"scribbo");
    EXPECT_EQ(FileName(nullptr), u"\\Program Files\\Scribbo\\scribbo.exe");
    EXPECT_EQ(FileName(GetModuleHandleW(nullptr)), u"\\Program Files\\Scribbo\\scribbo.exe");
    plat::SetProgramName(u"wakelaunch");
    EXPECT_EQ(FileName(nullptr), u"\\Program Files\\Scribbo\\wakelaunch.exe");

    HMODULE z = LoadLibraryW(u"\\Windows\\GZLib.dll");
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(FileName(z), u"\\Program Files\\Scribbo\\GZLib.dll");
    FreeLibrary(z);
    HMODULE platform = plat::ModuleFromAddress(reinterpret_cast<const void*>(&GetTickCount));
    EXPECT_EQ(FileName(platform), u"\\Program Files\\Scribbo\\platform.dll");

    WCHAR buffer[8];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(buffer), buffer, 8), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Module, FileNameTruncatesToTheBuffer) {
    plat::SetProgramName(u"scribbo");
    const std::u16string full = u"\\Program Files\\Scribbo\\scribbo.exe";
    std::vector<WCHAR> buffer(full.size() + 1, u'#');

    // Room for the name and its terminator: the length comes back.
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), DWORD(full.size() + 1)), full.size());
    EXPECT_EQ(std::u16string(buffer.data()), full);

    // One short: truncated, terminated, the buffer size returned, ERROR_INSUFFICIENT_BUFFER.
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), DWORD(full.size())), full.size());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::u16string(buffer.data()), full.substr(0, full.size() - 1));

    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), 1), 1u);
    EXPECT_EQ(buffer[0], 0);
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), 0), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}
