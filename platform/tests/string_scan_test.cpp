#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Stamp {
    int year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
};

int ScanName(const WCHAR* name, Stamp& s) {
    return swscanf(name, u"%4d%2d%2d_%2d%2d%2d.", &s.year, &s.month, &s.day, &s.hour, &s.minute,
                   &s.second);
}

} // namespace

TEST(StringScan, ReadsTheTimestampOfAMemoName) {
    Stamp s;
    EXPECT_EQ(ScanName(u"20261208_013045.pad", s), 6);
    EXPECT_EQ(s.year, 2026);
    EXPECT_EQ(s.month, 12);
    EXPECT_EQ(s.day, 8);
    EXPECT_EQ(s.hour, 1);
    EXPECT_EQ(s.minute, 30);
    EXPECT_EQ(s.second, 45);

    // The date list form starts at the path separator.
    Stamp t;
    EXPECT_EQ(swscanf(u"\\19991231_235959.olx", u"\\%4d%2d%2d_%2d%2d%2d.", &t.year, &t.month,
                      &t.day, &t.hour, &t.minute, &t.second),
              6);
    EXPECT_EQ(t.year, 1999);
    EXPECT_EQ(t.second, 59);
}

TEST(StringScan, NamesThatFailPartwayStopAtTheFailure) {
    Stamp s;
    EXPECT_EQ(ScanName(u"memo.pad", s), 0);
    EXPECT_EQ(s.year, -1); // nothing stored

    Stamp t;
    EXPECT_EQ(ScanName(u"2026120x_013045.pad", t), 3); // "0" is read, then 'x' is no '_'
    EXPECT_EQ(t.day, 0);
    EXPECT_EQ(t.hour, -1);

    Stamp u;
    EXPECT_EQ(ScanName(u"20261208-013045.pad", u), 3);
    EXPECT_EQ(u.day, 8);

    Stamp v;
    EXPECT_EQ(ScanName(u"20261208_0130", v), 5); // input ends after some fields
    EXPECT_EQ(v.minute, 30);
    EXPECT_EQ(v.second, -1);

    Stamp w;
    EXPECT_EQ(ScanName(u"", w), -1); // input ends before the first conversion
    EXPECT_EQ(ScanName(u"   ", w), -1);
    EXPECT_EQ(swscanf(u"\\", u"\\%4d", &w.year), -1);
    EXPECT_EQ(swscanf(u"/2026", u"\\%4d", &w.year), 0); // literal mismatch is no input failure
}

TEST(StringScan, WidthsSignsAndBases) {
    int a = 0, b = 0, c = 0;
    EXPECT_EQ(swscanf(u"-12345", u"%3d%d", &a, &b), 2); // the sign counts toward the width
    EXPECT_EQ(a, -12);
    EXPECT_EQ(b, 345);
    EXPECT_EQ(swscanf(u"  +7\t\n 8", u"%d%d", &a, &b), 2); // white space before numbers
    EXPECT_EQ(a + b, 15);
    EXPECT_EQ(swscanf(u"ff 0x1A 017 0x10", u"%x %x %i %i", &a, &b, &c, &c), 4);
    EXPECT_EQ(a, 255);
    EXPECT_EQ(b, 26);
    EXPECT_EQ(c, 16);
    EXPECT_EQ(swscanf(u"017", u"%i", &c), 1);
    EXPECT_EQ(c, 15);
    EXPECT_EQ(swscanf(u"- 5", u"%d", &a), 0); // a sign with no digits
    unsigned u = 0;
    EXPECT_EQ(swscanf(u"4294967295", u"%u", &u), 1);
    EXPECT_EQ(u, 4294967295u);
    short h = 0;
    long long ll = 0;
    EXPECT_EQ(swscanf(u"123 -9000000000", u"%hd %lld", &h, &ll), 2);
    EXPECT_EQ(h, 123);
    EXPECT_EQ(ll, -9000000000LL);
    LONG l = 0;
    EXPECT_EQ(swscanf(u"-77", u"%ld", &l), 1); // l is LONG, 32-bit
    EXPECT_EQ(l, -77);
}

TEST(StringScan, SuppressionCountAndPercent) {
    int a = 0, b = 0, n = -1;
    EXPECT_EQ(swscanf(u"10 20 30", u"%*d %d%n %d", &a, &n, &b), 2);
    EXPECT_EQ(a, 20);
    EXPECT_EQ(n, 5); // characters consumed so far; %n is not counted
    EXPECT_EQ(b, 30);
    EXPECT_EQ(swscanf(u"50 %", u"%d %%", &a), 1);
    EXPECT_EQ(swscanf(u"50 x", u"%d%%", &a), 1);
    EXPECT_EQ(swscanf(u"*", u"%*d"), 0);
}

TEST(StringScan, TextFieldsAndSets) {
    WCHAR word[16] = {};
    WCHAR rest[16] = {};
    WCHAR two[3] = {u'#', u'#', u'#'};
    EXPECT_EQ(swscanf(u"  메모 file.pad", u"%s %4s", word, rest), 2);
    EXPECT_EQ(std::u16string(word), u"메모");
    EXPECT_EQ(std::u16string(rest), u"file");
    EXPECT_EQ(swscanf(u" ab", u"%2c", two), 1); // %c does not skip white space, adds no NUL
    EXPECT_EQ(std::u16string(two, 3), u" a#");
    EXPECT_EQ(swscanf(u"x", u"%2c", two), -1); // not enough characters
    WCHAR tail[16] = {};
    EXPECT_EQ(swscanf(u"abc123-rest", u"%[a-z]%[^-]-%s", word, rest, tail), 3);
    EXPECT_EQ(std::u16string(word), u"abc");
    EXPECT_EQ(std::u16string(rest), u"123");
    EXPECT_EQ(std::u16string(tail), u"rest");
    EXPECT_EQ(swscanf(u"]x]y", u"%[]x]", word), 1); // ']' first belongs to the set
    EXPECT_EQ(std::u16string(word), u"]x]");
    EXPECT_EQ(swscanf(u"9", u"%[a-z]", word), 0);

    char narrow[8] = {};
    EXPECT_EQ(swscanf(u"메모 z", u"%S %hc", narrow, narrow + 6), 2);
    EXPECT_EQ(std::string(narrow, 4), "\xB8\xDE\xB8\xF0"); // through the ANSI code page
    EXPECT_EQ(narrow[4], 0);
    EXPECT_EQ(narrow[6], 'z');
}

TEST(StringScan, FloatsAndNullArguments) {
    float f = 0;
    double d = 0;
    EXPECT_EQ(swscanf(u"1.5 -2.25e2x", u"%f %lf", &f, &d), 2);
    EXPECT_FLOAT_EQ(f, 1.5f);
    EXPECT_DOUBLE_EQ(d, -225.0);
    EXPECT_EQ(swscanf(u"3e", u"%lf", &d), 1); // a dangling exponent mark is left unread
    EXPECT_DOUBLE_EQ(d, 3.0);
    EXPECT_EQ(swscanf(u".", u"%f", &f), 0);
    EXPECT_EQ(swscanf(nullptr, u"%d", &f), -1);
    EXPECT_EQ(swscanf(u"1", nullptr), -1);
}
