#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace {

// wsprintfW into a buffer larger than its limit, so a cut is the function's own doing.
template <class... A> std::u16string Ws(const WCHAR* fmt, A... args) {
    static WCHAR buf[2048];
    const int n = wsprintfW(buf, fmt, args...);
    EXPECT_EQ(n, static_cast<int>(wcslen(buf)));
    return std::u16string(buf);
}

} // namespace

TEST(StringFormat, MemoNamesAndCaptions) {
    EXPECT_EQ(Ws(u"%s\\%4d%.2d%.2d_%.2d%.2d%.2d.%s", u"\\My Documents\\Pad", 2026, 12, 8, 1, 30, 45,
                 u"pad"),
              u"\\My Documents\\Pad\\20261208_013045.pad");
    EXPECT_EQ(Ws(u"%.2d/%.2d/%.2d %.2d:%.2d", 2026, 1, 2, 0, 5), u"2026/01/02 00:05");
    EXPECT_EQ(Ws(u"%.2d/%.2d/%.2d\n%.2d:%.2d", 2026, 1, 2, 23, 59), u"2026/01/02\n23:59");
    EXPECT_EQ(Ws(u"%d %%", 75), u"75 %");
    EXPECT_EQ(Ws(u"%d년 %d월", 2026, 3), u"2026년 3월");
    // A year before 1000 still fills four places for the name's layout.
    EXPECT_EQ(Ws(u"%4d%.2d", 999, 7), u" 99907");
}

TEST(StringFormat, WidthZeroPaddingPrecisionAndSign) {
    EXPECT_EQ(Ws(u"[%5d]", 42), u"[   42]");
    EXPECT_EQ(Ws(u"[%-5d]", 42), u"[42   ]");
    EXPECT_EQ(Ws(u"[%05d]", 42), u"[00042]");
    EXPECT_EQ(Ws(u"[%05d]", -42), u"[-0042]");  // zeros go after the sign
    EXPECT_EQ(Ws(u"[%-05d]", -42), u"[-42  ]"); // '-' beats '0'
    EXPECT_EQ(Ws(u"[%.3d]", -7), u"[-007]");
    EXPECT_EQ(Ws(u"[%6.3d]", 7), u"[   007]");
    EXPECT_EQ(Ws(u"[%2d]", 12345), u"[12345]"); // width never truncates
    EXPECT_EQ(Ws(u"[%.2d]", 123), u"[123]");
    EXPECT_EQ(Ws(u"%d", INT_MIN), u"-2147483648");
    EXPECT_EQ(Ws(u"%u", -1), u"4294967295");
    EXPECT_EQ(Ws(u"%i", -5), u"-5");
}

TEST(StringFormat, UserDialectRules) {
    // A precision of 0 (or a bare '.') still prints one digit in user32's formatter.
    EXPECT_EQ(Ws(u"[%.0d][%.d]", 0, 0), u"[0][0]");
    // A character of value 0 is dropped.
    EXPECT_EQ(Ws(u"a%cb", 0), u"ab");
    // Characters that are no format are copied, and the argument list is not touched.
    EXPECT_EQ(Ws(u"%+d|%d", 5), u"+d|5");
    EXPECT_EQ(Ws(u"%f|%d", 6), u"f|6");
    EXPECT_EQ(Ws(u"100%"), u"100");
}

TEST(StringFormat, HexCharactersAndSizes) {
    EXPECT_EQ(Ws(u"%x %X %#x %#X", 0xBEEF, 0xBEEF, 255, 255), u"beef BEEF 0xff 0XFF");
    EXPECT_EQ(Ws(u"%#x", 0), u"0"); // no prefix on zero
    EXPECT_EQ(Ws(u"%08x", 0x1234), u"00001234");
    EXPECT_EQ(Ws(u"%lx %lu %ld", 0xFFFFFFFFu, 4000000000u, LONG(-9)), u"ffffffff 4000000000 -9");
    EXPECT_EQ(Ws(u"%hd %hu", 70000, 70000), u"4464 4464"); // h keeps 16 bits
    EXPECT_EQ(Ws(u"%I64d %I64x", -5000000000LL, 0x123456789ULL), u"-5000000000 123456789");
    EXPECT_EQ(Ws(u"%lld", static_cast<long long>(INT64_MIN)), u"-9223372036854775808");
    EXPECT_EQ(Ws(u"%c%c%lc", u'메', u'A', u'!'), u"메A!");
    EXPECT_EQ(Ws(u"[%3c][%-3c]", u'x', u'y'), u"[  x][y  ]");
    EXPECT_EQ(Ws(u"%p", reinterpret_cast<void*>(0xABC)), u"0000000000000ABC");
}

TEST(StringFormat, StringsWideNarrowAndNull) {
    EXPECT_EQ(Ws(u"[%s]", u"메모"), u"[메모]");
    EXPECT_EQ(Ws(u"[%6s][%-6s]", u"ab", u"cd"), u"[    ab][cd    ]");
    EXPECT_EQ(Ws(u"[%.2s]", u"abcdef"), u"[ab]");
    EXPECT_EQ(Ws(u"[%ls]", u"wide"), u"[wide]");
    EXPECT_EQ(Ws(u"[%s]", static_cast<const WCHAR*>(nullptr)), u"[(null)]");
    // %S, %hs and %C take char text through the ANSI code page (949 by default).
    EXPECT_EQ(Ws(u"[%S][%hs][%C]", "ab", "\xB8\xDE\xB8\xF0", 'Z'), u"[ab][메모][Z]");
    // The precision bounds the bytes read, so a buffer without terminator is safe.
    const char unterminated[3] = {'x', 'y', 'z'};
    EXPECT_EQ(Ws(u"[%.3S]", unterminated), u"[xyz]");
}

TEST(StringFormat, WsprintfStopsAtItsLimit) {
    std::u16string longText(3000, u'a');
    WCHAR buf[1100];
    std::fill(std::begin(buf), std::end(buf), u'#');
    const int n = wsprintfW(buf, u"%s", longText.c_str());
    EXPECT_EQ(n, WSPRINTF_MAX_CHARS - 1);
    EXPECT_EQ(buf[WSPRINTF_MAX_CHARS - 1], 0);
    EXPECT_EQ(buf[WSPRINTF_MAX_CHARS], u'#'); // nothing past the 1024 characters
    // A huge width is cut to the limit as well.
    std::fill(std::begin(buf), std::end(buf), u'#');
    EXPECT_EQ(wsprintfW(buf, u"%99999999d", 1), WSPRINTF_MAX_CHARS - 1);
    EXPECT_EQ(buf[WSPRINTF_MAX_CHARS], u'#');
}

TEST(StringFormat, SnwprintfTruncationFollowsTheMicrosoftRuntime) {
    WCHAR buf[8];
    std::fill(std::begin(buf), std::end(buf), u'#');
    EXPECT_EQ(_snwprintf(buf, 8, u"%d", 123), 3);
    EXPECT_EQ(std::u16string(buf), u"123");

    std::fill(std::begin(buf), std::end(buf), u'#');
    EXPECT_EQ(_snwprintf(buf, 4, u"%d", 1234), 4); // exactly fits: no terminator
    EXPECT_EQ(std::u16string(buf, 5), u"1234#");

    std::fill(std::begin(buf), std::end(buf), u'#');
    EXPECT_EQ(_snwprintf(buf, 4, u"%s", u"abcdef"), -1); // cut: count characters, no terminator
    EXPECT_EQ(std::u16string(buf, 5), u"abcd#");

    EXPECT_EQ(_snwprintf(nullptr, 0, u"%s-%d", u"memo", 42), 7); // size query
    EXPECT_EQ(_snwprintf(buf, 0, u"%d", 1), -1);
    EXPECT_EQ(buf[0], u'a'); // count 0 writes nothing
}

TEST(StringFormat, IsoSwprintfAlwaysTerminates) {
    WCHAR buf[8];
    std::fill(std::begin(buf), std::end(buf), u'#');
    EXPECT_EQ(swprintf(buf, 4, u"%d", 1234), -1);
    EXPECT_EQ(std::u16string(buf), u"123");
    EXPECT_EQ(buf[4], u'#');
    EXPECT_EQ(swprintf(buf, 8, u"%d", 1234), 4);
    EXPECT_EQ(swprintf(buf, 0, u"%d", 1), -1);
}

TEST(StringFormat, CrtDialectExtras) {
    EXPECT_EQ(plat::Format(u"%+d % d %+d", 5, 5, -5), u"+5  5 -5");
    EXPECT_EQ(plat::Format(u"[%*d][%-*d][%.*d]", 4, 7, 3, 8, 3, 9), u"[   7][8  ][009]");
    EXPECT_EQ(plat::Format(u"[%*d]", -3, 1), u"[1  ]"); // negative width: left aligned
    EXPECT_EQ(plat::Format(u"[%.0d]", 0), u"[]");       // C: no digits for zero
    EXPECT_EQ(plat::Format(u"%o %#o", 8, 8), u"10 010");
    EXPECT_EQ(plat::Format(u"%.2f|%8.3f|%e|%g", 3.14159, -2.5, 1234.5, 0.0001),
              u"3.14|  -2.500|1.234500e+03|0.0001");
    EXPECT_EQ(plat::Format(u"%zu %Iu", size_t{1} << 40, size_t{7}), u"1099511627776 7");
    int ignored = 0;
    EXPECT_EQ(plat::Format(u"a%nb%d", &ignored, 3), u"ab3"); // %n consumed, never written
    EXPECT_EQ(ignored, 0);
    EXPECT_EQ(plat::Format(nullptr), u"");

    std::u16string big = plat::Format(u"%s%s", std::u16string(5000, u'x').c_str(), u"!");
    EXPECT_EQ(big.size(), 5001u); // no limit on the string form
}

TEST(StringFormat, CeSwprintfAndVaListForms) {
    WCHAR buf[64];
    EXPECT_EQ(swprintf(buf, u"%s\\%4d%.2d%.2d_%.2d%.2d%.2d.%s", u"F", 2026, 2, 3, 4, 5, 6, u"olx"),
              21);
    EXPECT_EQ(std::u16string(buf), u"F\\20260203_040506.olx");
    auto viaList = [](WCHAR* out, const WCHAR* fmt, ...) {
        va_list ap;
        va_start(ap, fmt);
        const int n = wvsprintfW(out, fmt, ap);
        va_end(ap);
        return n;
    };
    EXPECT_EQ(viaList(buf, u"%d-%s", 9, u"z"), 3);
    EXPECT_EQ(std::u16string(buf), u"9-z");
    EXPECT_EQ(wsprintf(buf, u"%.2d", 3), 2);
    EXPECT_EQ(std::u16string(buf), u"03");
}
