#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

TEST(StringCopy, BoundedCopiesFollowTheirOwnTerminationRules) {
    WCHAR buf[8];
    std::fill(std::begin(buf), std::end(buf), u'#');
    wcsncpy(buf, u"ab", 5);
    EXPECT_EQ(std::u16string(buf, 5), std::u16string(u"ab\0\0\0", 5)); // padded with NULs
    EXPECT_EQ(buf[5], u'#');

    std::fill(std::begin(buf), std::end(buf), u'#');
    wcsncpy(buf, u"abcdef", 3);
    EXPECT_EQ(std::u16string(buf, 4), u"abc#"); // no terminator when the source is longer

    std::fill(std::begin(buf), std::end(buf), u'#');
    lstrcpynW(buf, u"abcdef", 4);
    EXPECT_EQ(std::u16string(buf), u"abc"); // max - 1 characters, always terminated
    EXPECT_EQ(buf[4], u'#');
    lstrcpynW(buf, u"xy", 1);
    EXPECT_EQ(buf[0], 0);
    buf[0] = u'q';
    lstrcpynW(buf, u"xy", 0);
    EXPECT_EQ(buf[0], u'q'); // nothing written at all

    WCHAR cat[8] = u"ab";
    wcsncat(cat, u"cdefgh", 3);
    EXPECT_EQ(std::u16string(cat), u"abcde");
    wcscat(cat, u"!");
    EXPECT_EQ(std::u16string(cat), u"abcde!");
    EXPECT_EQ(wcslen(cat), 6u);
}

TEST(StringCopy, LstrCallsTolerateNullPointers) {
    WCHAR buf[4] = u"ab";
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrlenW(u"메모"), 2);
    EXPECT_EQ(lstrcpyW(nullptr, u"x"), nullptr);
    EXPECT_EQ(lstrcpyW(buf, nullptr), nullptr);
    EXPECT_EQ(lstrcatW(buf, nullptr), nullptr);
    EXPECT_EQ(std::u16string(buf), u"ab");
    EXPECT_EQ(lstrcpyW(buf, u"cd"), buf);
    EXPECT_EQ(std::u16string(lstrcatW(buf, u"e")), u"cde");
    WCHAR* dup = _wcsdup(u"메모.pad");
    ASSERT_NE(dup, nullptr);
    EXPECT_EQ(std::u16string(dup), u"메모.pad");
    std::free(dup);
    EXPECT_EQ(_wcsdup(nullptr), nullptr);
}

TEST(StringCompare, OrdinalComparisonUsesCodeUnits) {
    EXPECT_EQ(wcscmp(u"abc", u"abc"), 0);
    EXPECT_LT(wcscmp(u"abc", u"abd"), 0);
    EXPECT_LT(wcscmp(u"ab", u"abc"), 0);
    EXPECT_GT(wcscmp(u"\uAC00", u"z"), 0); // no sign trouble above 0x7FFF
    EXPECT_LT(wcscmp(u"B", u"a"), 0);
    EXPECT_EQ(wcsncmp(u"abcX", u"abcY", 3), 0);
    EXPECT_NE(wcsncmp(u"abcX", u"abcY", 4), 0);
    EXPECT_EQ(wcsncmp(u"a", u"b", 0), 0);
}

TEST(StringCompare, CaseInsensitiveFoldsToLowerCase) {
    EXPECT_EQ(_wcsicmp(u"Memo.PAD", u"memo.pad"), 0);
    EXPECT_EQ(_wcsicmp(u"ÀÉÎÕÜ", u"àéîõü"), 0);
    EXPECT_EQ(_wcsicmp(u"ŁÓDŹ", u"łódź"), 0);     // Latin Extended-A, both parities
    EXPECT_EQ(_wcsicmp(u"ΑΘΉΝΑ", u"αθήνα"), 0);   // Greek with tonos
    EXPECT_EQ(_wcsicmp(u"МОСКВА", u"москва"), 0); // Cyrillic
    EXPECT_EQ(_wcsicmp(u"ＡＢＣ", u"ａｂｃ"), 0); // full-width
    EXPECT_EQ(_wcsicmp(u"메모", u"메모"), 0);
    EXPECT_NE(_wcsicmp(u"×", u"÷"), 0); // signs, not letters
    // Folding to lower case puts '_' (0x5F) before letters, as the Microsoft runtime does.
    EXPECT_LT(_wcsicmp(u"_a", u"Ba"), 0);
    EXPECT_EQ(_wcsnicmp(u"ABCx", u"abcy", 3), 0);
    EXPECT_NE(_wcsnicmp(u"ABCx", u"abcy", 4), 0);
    EXPECT_LT(_wcsicmp(u"abc", u"ABCD"), 0);
}

TEST(StringCompare, LstrcmpSortsWordsThenCase) {
    EXPECT_EQ(lstrcmpiW(u"FOLDER", u"folder"), 0);
    EXPECT_EQ(lstrcmpiW(u"b", u"A"), 1);
    EXPECT_EQ(lstrcmpiW(u"a", u"B"), -1);
    EXPECT_EQ(lstrcmpW(u"a", u"B"), -1); // letters first, unlike wcscmp
    EXPECT_EQ(lstrcmpW(u"a", u"A"), -1); // then lower case before upper case
    EXPECT_EQ(lstrcmpW(u"A", u"a"), 1);
    EXPECT_EQ(lstrcmpW(u"A", u"b"), -1);
    EXPECT_EQ(lstrcmpW(u"same", u"same"), 0);
    EXPECT_EQ(lstrcmpW(nullptr, u"a"), -1);
    EXPECT_EQ(lstrcmpiW(u"a", nullptr), 1);
    EXPECT_EQ(lstrcmpW(nullptr, nullptr), 0);
}

TEST(StringSearch, FindsCharactersAndSubstrings) {
    const WCHAR* path = u"\\My Documents\\Pad\\20261208_013045.pad";
    EXPECT_EQ(wcschr(path, u'\\'), path);
    EXPECT_EQ(wcsrchr(path, u'\\'), path + 17);
    EXPECT_EQ(wcsrchr(path, u'.'), path + 33);
    EXPECT_EQ(wcschr(path, u'#'), nullptr);
    EXPECT_EQ(wcschr(path, 0), path + wcslen(path)); // the terminator is part of the string
    EXPECT_EQ(wcsstr(path, u"Pad"), path + 14);
    EXPECT_EQ(wcsstr(path, u""), path);
    EXPECT_EQ(wcsstr(path, u"pads"), nullptr);
    EXPECT_EQ(wcspbrk(path, u"_."), path + 26);
    EXPECT_EQ(wcsspn(u"2026x", u"0123456789"), 4u);
    EXPECT_EQ(wcscspn(u"memo.pad", u"."), 4u);

    WCHAR editable[] = u"a.b.c";
    WCHAR* dot = wcsrchr(editable, u'.'); // the non-const overload hands back a writable pointer
    *dot = 0;
    EXPECT_EQ(std::u16string(editable), u"a.b");
}

TEST(StringCase, ConvertsInPlaceAndSingleCharacters) {
    WCHAR text[] = u"Pad ÀÿŸ Ǆ 메모 ΣΑς";
    EXPECT_EQ(_wcslwr(text), text);
    EXPECT_EQ(std::u16string(text), u"pad àÿÿ Ǆ 메모 σας");
    _wcsupr(text);
    EXPECT_EQ(std::u16string(text), u"PAD ÀŸŸ Ǆ 메모 ΣΑΣ");
    EXPECT_EQ(towlower(u'Ǎ'), u'Ǎ'); // outside the mapped blocks: unchanged
    EXPECT_EQ(towupper(u'ß'), u'ß');
    EXPECT_EQ(towlower(u'İ'), u'İ');
    EXPECT_EQ(towupper(u'ı'), u'ı');
    EXPECT_EQ(towupper(u'ĸ'), u'ĸ');

    // CharLowerW takes one character in the pointer value when the high bits are zero.
    const auto single = CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(u'Q')));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(single), static_cast<ULONG_PTR>(u'q'));
    WCHAR word[] = u"abc";
    EXPECT_EQ(CharUpperW(word), word);
    EXPECT_EQ(std::u16string(word), u"ABC");
    WCHAR part[] = u"abcd";
    EXPECT_EQ(CharUpperBuffW(part, 2), 2u);
    EXPECT_EQ(std::u16string(part), u"ABcd");
}

TEST(StringNumber, ParsesDecimalLikeTheRuntime) {
    EXPECT_EQ(_wtoi(u"  42xyz"), 42);
    EXPECT_EQ(_wtoi(u"-17"), -17);
    EXPECT_EQ(_wtoi(u"+8"), 8);
    EXPECT_EQ(_wtoi(u"x1"), 0);
    EXPECT_EQ(_wtoi(u""), 0);
    EXPECT_EQ(_wtoi(nullptr), 0);
    EXPECT_EQ(_wtoi(u"99999999999"), INT_MAX);
    EXPECT_EQ(_wtoi(u"-99999999999"), INT_MIN);
    EXPECT_EQ(_wtoi(u"-2147483648"), INT_MIN);
    EXPECT_EQ(_wtol(u"\u3000"
                    u"12"),
              12); // ideographic space is white space
}

TEST(StringNumber, WcstolReportsEndAndRange) {
    const WCHAR* s = u"0x1Fg";
    WCHAR* end = nullptr;
    EXPECT_EQ(wcstol(s, &end, 0), 31);
    EXPECT_EQ(end, s + 4);
    EXPECT_EQ(wcstol(u"017", nullptr, 0), 15);
    EXPECT_EQ(wcstol(u"z", nullptr, 36), 35);
    const WCHAR* none = u"  -x";
    EXPECT_EQ(wcstol(none, &end, 10), 0);
    EXPECT_EQ(end, none); // nothing converted: end is the start
    errno = 0;
    EXPECT_EQ(wcstol(u"4294967296", nullptr, 10), INT32_MAX);
    EXPECT_EQ(errno, ERANGE);
    errno = 0;
    EXPECT_EQ(wcstoul(u"4294967295", nullptr, 10), 4294967295u);
    EXPECT_EQ(errno, 0);
    EXPECT_EQ(wcstoul(u"-1", nullptr, 10), 4294967295u);
    EXPECT_EQ(wcstol(u"10", nullptr, 1), 0); // bad base
}

TEST(StringNumber, ItowFormatsInAnyRadix) {
    WCHAR buf[34];
    EXPECT_EQ(std::u16string(_itow(-123, buf, 10)), u"-123");
    EXPECT_EQ(std::u16string(_itow(0, buf, 10)), u"0");
    EXPECT_EQ(std::u16string(_itow(255, buf, 16)), u"ff");
    EXPECT_EQ(std::u16string(_itow(-1, buf, 16)), u"ffffffff"); // bits, no sign
    EXPECT_EQ(std::u16string(_itow(INT_MIN, buf, 10)), u"-2147483648");
    EXPECT_EQ(std::u16string(_itow(INT_MIN, buf, 2)), u"10000000000000000000000000000000");
    EXPECT_EQ(std::u16string(_ultow(4000000000u, buf, 10)), u"4000000000");
    EXPECT_EQ(std::u16string(_ltow(35, buf, 36)), u"z");
    EXPECT_EQ(std::u16string(_itow(5, buf, 1)), u"");
}
