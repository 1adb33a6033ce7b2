#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// Every test starts and ends with the default ANSI code page.
class CodePage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plat::SetAnsiCodePage(949)); }
    void TearDown() override { plat::SetAnsiCodePage(949); }
};

const char kMemoCp949[] = "\xB8\xDE\xB8\xF0"; // "메모"

} // namespace

TEST_F(CodePage, AnsiDefaultsToKorean) {
    EXPECT_EQ(GetACP(), 949u);
    EXPECT_EQ(GetOEMCP(), 949u);
    EXPECT_TRUE(IsValidCodePage(949));
    EXPECT_TRUE(IsValidCodePage(CP_UTF8));
    EXPECT_TRUE(IsValidCodePage(1252));
    EXPECT_FALSE(IsValidCodePage(12345));
    EXPECT_FALSE(IsValidCodePage(CP_ACP)); // a stand-in, not a code page
}

TEST_F(CodePage, HangulRoundTripsThroughCp949) {
    WCHAR wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kMemoCp949, -1, wide, 8), 3); // with the NUL
    EXPECT_EQ(std::u16string(wide), u"메모");
    char bytes[8] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, bytes, 8, nullptr, nullptr), 5);
    EXPECT_STREQ(bytes, kMemoCp949);
    // A counted source converts exactly that many units, without a terminator.
    EXPECT_EQ(MultiByteToWideChar(949, 0,
                                  "a\xB8\xDE"
                                  "b",
                                  4, wide, 8),
              3);
    EXPECT_EQ(std::u16string(wide, 3), u"a메b");
    EXPECT_EQ(plat::AnsiToWide("\xC7\xD1\xB1\xDB ok"), u"한글 ok");
    EXPECT_EQ(plat::WideToAnsi(u"한글 ok"), "\xC7\xD1\xB1\xDB ok");
    // A character only the extended (UHC) range of CP949 has.
    EXPECT_EQ(plat::WideToAnsi(plat::AnsiToWide("\x81\x41")), "\x81\x41");
}

TEST_F(CodePage, SizeQueriesAndShortBuffers) {
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kMemoCp949, -1, nullptr, 0), 3);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"메모", -1, nullptr, 0, nullptr, nullptr), 5);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"메모", 2, nullptr, 0, nullptr, nullptr), 4);

    WCHAR wide[2] = {u'#', u'#'};
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kMemoCp949, -1, wide, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::u16string(wide, 2), u"메모"); // what fits is written, nothing beyond

    char bytes[6] = "#####";
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"메모", -1, bytes, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(bytes[4], '#');
}

TEST_F(CodePage, BadArgumentsFailWithTheirErrors) {
    WCHAR wide[4];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, wide, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", 0, wide, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", 1, wide, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, wide, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    SetLastError(0);
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, nullptr, 0, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(949, WC_ERR_INVALID_CHARS, u"a", 1, nullptr, 0, nullptr, nullptr),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
}

TEST_F(CodePage, InvalidBytesBecomeReplacementCharacters) {
    // A lead byte without a valid trail, a byte no character starts with, a lead byte at the end.
    EXPECT_EQ(plat::AnsiToWide("\xB8 x"), u"\uFFFD x");
    EXPECT_EQ(plat::AnsiToWide("a\xFF"
                               "b"),
              u"a\uFFFDb");
    EXPECT_EQ(plat::AnsiToWide("ab\xB8"), u"ab\uFFFD");
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xB8", -1, wide, 8), 2);
    EXPECT_EQ(std::u16string(wide, 2), std::u16string(u"\uFFFD\0", 2));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "a\xFF", 2, wide, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, kMemoCp949, 4, wide, 8), 2);

    // Every byte pair decodes to something, and never more characters than bytes.
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; trail += 7) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const int n = MultiByteToWideChar(CP_ACP, 0, pair, 2, wide, 8);
            ASSERT_GE(n, 1);
            ASSERT_LE(n, 2);
        }
    }
}

TEST_F(CodePage, UnmappableCharactersBecomeTheDefaultCharacter) {
    char bytes[16] = {};
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"a\U0001F58Ab", -1, bytes, 16, nullptr, &used), 4);
    EXPECT_STREQ(bytes, "a?b"); // one default character for the whole surrogate pair
    EXPECT_TRUE(used);
    const WCHAR lone[] = {u'x', 0xDC00, u'y', 0};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, -1, bytes, 16, "*", &used), 4);
    EXPECT_STREQ(bytes, "x*y");
    EXPECT_TRUE(used);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"ok", -1, bytes, 16, nullptr, &used), 3);
    EXPECT_FALSE(used);
    // A lone high surrogate at the very end.
    const WCHAR tail[] = {u'z', 0xD800};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, tail, 2, bytes, 16, nullptr, nullptr), 2);
    EXPECT_EQ(std::string(bytes, 2), "z?");
}

TEST_F(CodePage, Utf8FollowsTheHostConversion) {
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xEB\xA9\x94\xEB\xAA\xA8", 6, wide, 8), 2);
    EXPECT_EQ(std::u16string(wide, 2), u"메모");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xC0\xAF", 3, wide, 8), 2);
    EXPECT_EQ(std::u16string(wide, 2), u"a\uFFFD");
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC0\xAF", 3, wide, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    // A real U+FFFD in the input is valid.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xEF\xBF\xBD", 3, wide, 8), 1);

    char bytes[16];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\U0001F58A", -1, bytes, 16, nullptr, nullptr), 5);
    EXPECT_STREQ(bytes, "\xF0\x9F\x96\x8A");
    const WCHAR lone[] = {0xD800, 0};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, -1, bytes, 16, nullptr, nullptr), 4);
    EXPECT_STREQ(bytes, "\xEF\xBF\xBD");
    SetLastError(0);
    EXPECT_EQ(
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, bytes, 16, nullptr, nullptr),
        0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST_F(CodePage, AnsiCodePageCanBeChanged) {
    EXPECT_FALSE(plat::SetAnsiCodePage(12345));
    EXPECT_FALSE(plat::SetAnsiCodePage(CP_ACP));
    EXPECT_FALSE(plat::SetAnsiCodePage(1200));
    EXPECT_EQ(GetACP(), 949u); // unchanged by the refusals

    ASSERT_TRUE(plat::SetAnsiCodePage(1252));
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_EQ(plat::AnsiToWide("caf\xE9 \x80"), u"café €");
    EXPECT_EQ(plat::WideToAnsi(u"메"), "?");
    // The formatter's narrow strings follow the change too.
    EXPECT_EQ(plat::Format(u"%S", "\xE9"), u"é");

    ASSERT_TRUE(plat::SetAnsiCodePage(CP_UTF8));
    EXPECT_EQ(plat::AnsiToWide("\xEB\xA9\x94"), u"메");
}

TEST_F(CodePage, LeadBytesComeFromTheCodePage) {
    EXPECT_TRUE(IsDBCSLeadByte(0xB8));
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
    EXPECT_FALSE(IsDBCSLeadByte(0x41));
    EXPECT_FALSE(IsDBCSLeadByte(0x80));
    EXPECT_FALSE(IsDBCSLeadByte(0xFF));
    EXPECT_FALSE(IsDBCSLeadByteEx(1252, 0xB8));
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x82));
    EXPECT_FALSE(IsDBCSLeadByteEx(932, 0xA1)); // half-width katakana is one byte
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_UTF8, 0xEB));
}

TEST_F(CodePage, ConcurrentConversionsAgree) {
    std::vector<std::thread> workers;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([t, &failures] {
            for (int i = 0; i < 2000; ++i) {
                const std::u16string wide = plat::AnsiToWide("\xB8\xDE\xB8\xF0 \xB8");
                const std::string back = plat::WideToAnsi(u"메모");
                if (wide != u"메모 \uFFFD" || back != kMemoCp949) {
                    ++failures[static_cast<size_t>(t)];
                }
            }
        });
    }
    for (auto& w : workers) {
        w.join();
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}
