#include <platform/module.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

// The resources come from the scribbo_resources() line of platform/CMakeLists.txt.

namespace {

std::vector<BYTE> ReadFile(const std::string& name) {
    std::ifstream in(std::string(SCRIBBO_TEST_DATA) + "/" + name, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<BYTE> Load(HMODULE module, LPCWSTR name, LPCWSTR type) {
    HRSRC found = FindResourceW(module, name, type);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
    DWORD size = SizeofResource(module, found);
    return bytes ? std::vector<BYTE>(bytes, bytes + size) : std::vector<BYTE>();
}

} // namespace

TEST(Resource, ReadsBackByteForByte) {
    std::vector<BYTE> file = ReadFile("resource_bytes.bin");
    ASSERT_EQ(file.size(), 269u);
    std::vector<BYTE> res = Load(nullptr, MAKEINTRESOURCEW(1), RT_RCDATA);
    EXPECT_EQ(res, file);
    // Every byte value survives, zeros and 0xFF included.
    ASSERT_GE(res.size(), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(res[i], i);
}

TEST(Resource, ProgramModuleAndItsHandleAgree) {
    HRSRC byNull = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_RCDATA);
    HRSRC byHandle = FindResourceW(plat::ThisModule(), MAKEINTRESOURCEW(1), RT_RCDATA);
    HRSRC byText = FindResourceW(GetModuleHandleW(nullptr), u"#1", u"#10");
    ASSERT_NE(byNull, nullptr);
    EXPECT_EQ(byNull, byHandle);
    EXPECT_EQ(byNull, byText);
    // The data sit where a bitmap header can be read in place.
    const void* data = LockResource(LoadResource(nullptr, byNull));
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(data) % 16, 0u);
}

TEST(Resource, EmptyFileGivesAnEmptyResource) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(2), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, found), 0u);
    EXPECT_NE(LoadResource(nullptr, found), nullptr);
}

TEST(Resource, NamedResourceOfNamedTypeMatchesWithoutCase) {
    std::vector<BYTE> file = ReadFile("resource_note.txt");
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(Load(nullptr, u"NOTE", u"TEXT"), file);
    EXPECT_EQ(Load(nullptr, u"note", u"Text"), file);
    // A text resource is followed by a zero byte, so it can be read as a C string.
    HRSRC found = FindResourceW(nullptr, u"note", u"text");
    ASSERT_NE(found, nullptr);
    auto* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    EXPECT_EQ(std::strlen(text), SizeofResource(nullptr, found));
}

TEST(Resource, MissingResourcesSayWhatIsMissing) {
    SetLastError(0);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(999), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_BITMAP), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    // The id alone does not match a named resource, nor a name an id.
    EXPECT_EQ(FindResourceW(nullptr, u"1", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1), u"TEXT"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, u"#1x", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, u"#", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, u"#99999999999", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, nullptr, RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1), nullptr), nullptr);

    // The platform library carries no resources of its own.
    HMODULE platform = plat::ModuleFromAddress(reinterpret_cast<const void*>(&GetTickCount));
    SetLastError(0);
    EXPECT_EQ(FindResourceW(platform, MAKEINTRESOURCEW(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST(Resource, UnknownResourceHandlesAreRefused) {
    int notAResource = 0;
    HRSRC bogus = reinterpret_cast<HRSRC>(&notAResource);
    EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, bogus), 0u);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
}
