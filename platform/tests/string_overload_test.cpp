// The WCHAR functions overload the host's wchar_t ones; both sets must stay callable from
// one file, whichever header comes first.
#include <cwchar>
#include <cwctype>

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

TEST(StringOverloads, HostAndDeviceFunctionsCoexist) {
    EXPECT_EQ(wcslen(L"host"), 4u);
    EXPECT_EQ(wcslen(u"device"), 6u);
    EXPECT_EQ(std::wcslen(L"std"), 3u);
    static_assert(std::is_same_v<decltype(wcschr(u"x", u'x')), const WCHAR*>);
    static_assert(std::is_same_v<decltype(wcschr(L"x", L'x')), const wchar_t*>);

    wchar_t host[16];
    WCHAR device[16];
    wcscpy(host, L"ab");
    wcscpy(device, u"ab");
    EXPECT_EQ(std::wstring(host), L"ab");
    EXPECT_EQ(std::u16string(device), u"ab");
    EXPECT_EQ(wcscmp(host, L"ab"), 0);
    EXPECT_EQ(wcscmp(device, u"ab"), 0);

    // The host's ISO swprintf and the device's Windows CE form side by side.
    EXPECT_EQ(swprintf(host, 16, L"%d", 7), 1);
    EXPECT_EQ(std::wstring(host), L"7");
    EXPECT_EQ(swprintf(device, u"%d", 7), 1);
    EXPECT_EQ(std::u16string(device), u"7");
    EXPECT_EQ(swprintf(device, 16, u"%s!", u"hi"), 3);
    EXPECT_EQ(std::u16string(device), u"hi!");

    int a = 0;
    int b = 0;
    EXPECT_EQ(swscanf(L"3 4", L"%d %d", &a, &b), 2);
    EXPECT_EQ(a + b, 7);
    EXPECT_EQ(swscanf(u"5 6", u"%d %d", &a, &b), 2);
    EXPECT_EQ(a + b, 11);
}

TEST(StringOverloads, CaseMappingKeepsHostArgumentsOnTheHost) {
    // WCHAR goes to the device mapping; int, wint_t and wchar_t still reach the host's.
    static_assert(std::is_same_v<decltype(towlower(u'A')), WCHAR>);
    static_assert(std::is_same_v<decltype(towlower(L'A')), wint_t>);
    static_assert(std::is_same_v<decltype(towlower(65)), wint_t>);
    static_assert(std::is_same_v<decltype(towupper(wint_t{97})), wint_t>);
    EXPECT_EQ(towlower(u'Ä'), u'ä');
    EXPECT_EQ(towlower(L'A'), static_cast<wint_t>(L'a'));
    EXPECT_EQ(towupper(97), static_cast<wint_t>(L'A'));
}
