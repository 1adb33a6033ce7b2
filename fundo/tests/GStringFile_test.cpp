#include "fundo/GStringFile.h"

#include "TestDevice.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

static_assert(!std::is_copy_constructible_v<GStringFile> &&
              !std::is_copy_assignable_v<GStringFile>);

namespace {

// Device files are written byte for byte here, never through the class under test.
void Put(const TestDevice& device, const std::string& name, const std::string& bytes) {
    std::ofstream(device.Host(name), std::ios::binary) << bytes;
}

std::string HostBytes(const TestDevice& device, const std::string& name) {
    std::ifstream in(device.Host(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// UTF-16LE bytes with the byte-order mark of ASCII text.
std::string Utf16(const std::string& text, bool mark = true) {
    std::string out = mark ? std::string("\xFF\xFE", 2) : std::string();
    for (char c : text) {
        out += c;
        out += '\0';
    }
    return out;
}

std::u16string U(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

struct Line {
    int number;
    std::u16string text;
};

// Every ReadNextLine result up to and including the first 0.
std::vector<Line> ReadAll(GStringFile& f, int capacity = 8192, int escape = 0) {
    std::vector<Line> lines;
    std::vector<WCHAR> buffer(capacity);
    for (int guard = 0; guard < 100000; ++guard) {
        int n = f.ReadNextLine(buffer.data(), capacity, escape);
        lines.push_back({n, buffer.data()});
        if (n == 0)
            break;
    }
    return lines;
}

std::vector<std::u16string> Texts(const std::vector<Line>& lines) {
    std::vector<std::u16string> out;
    for (const Line& l : lines)
        if (l.number)
            out.push_back(l.text);
    return out;
}

std::u16string ReadLineText(GStringFile& f, int n, int* number = nullptr, int escape = 0) {
    WCHAR buffer[8192];
    int got = f.ReadLine(n, buffer, 8192, escape);
    if (number)
        *number = got;
    return buffer;
}

class StringFileTest : public ::testing::Test {
protected:
    TestDevice device;
    GStringFile f;
};

} // namespace

TEST_F(StringFileTest, AnsiLastLineWithoutLineEndIsNotCounted) {
    Put(device, "t.txt", "a\nb");
    ASSERT_EQ(f.OpenR(u"\\t.txt"), 1);
    EXPECT_EQ(f.IsUnicode(), 0);
    WCHAR buf[16];
    EXPECT_EQ(f.ReadNextLine(buf, 16, 0), 1);
    EXPECT_EQ(std::u16string(buf), u"a");
    EXPECT_EQ(f.ReadNextLine(buf, 16, 0), 1); // the line before, again
    EXPECT_EQ(std::u16string(buf), u"b");
    EXPECT_EQ(f.GetCurrentLine(), 1);
    EXPECT_EQ(f.ReadNextLine(buf, 16, 0), 0);
    EXPECT_EQ(std::u16string(buf), u"");
    EXPECT_EQ(f.GetCurrentLine(), 0);
    EXPECT_EQ(f.ReadNextLine(buf, 16, 0), 0);
}

TEST_F(StringFileTest, SingleUnterminatedLineIsNotLost) {
    Put(device, "t.txt", "only");
    ASSERT_EQ(f.OpenR(u"\\t.txt"), 1);
    std::vector<Line> lines = ReadAll(f);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].number, 1);
    EXPECT_EQ(lines[0].text, u"only");
}

TEST_F(StringFileTest, AnsiLineEnds) {
    // CR LF, LF and CR each end one line; LF LF leaves an empty line; a CR straight after a
    // line end belongs to it.
    Put(device, "t.txt", "one\r\ntwo\n\nfour\rfive\r\rsix\n\rseven\r\n\r\nnine\n");
    ASSERT_EQ(f.OpenR(u"\\t.txt"), 1);
    std::vector<Line> lines = ReadAll(f);
    std::vector<std::u16string> expected = {u"one", u"two",   u"", u"four", u"five",
                                            u"six", u"seven", u"", u"nine"};
    EXPECT_EQ(Texts(lines), expected);
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_EQ(lines[i].number, static_cast<int>(i) + 1);
    EXPECT_EQ(lines.back().number, 0);
}

TEST_F(StringFileTest, Utf16WithMarkAndCrLf) {
    Put(device, "u.txt", Utf16("one\r\ntwo\n\nthree\r\n") + std::string("\x00\xAC\x0A\x00", 4));
    ASSERT_EQ(f.OpenR(u"\\u.txt"), 1);
    EXPECT_EQ(f.IsUnicode(), 1);
    std::vector<Line> lines = ReadAll(f);
    // Two LF characters in a row are one line end in UTF-16 files.
    std::vector<std::u16string> expected = {u"one", u"two", u"three", u"\xAC00"};
    EXPECT_EQ(Texts(lines), expected);
    EXPECT_EQ(lines[3].number, 4);
}

TEST_F(StringFileTest, Utf16ScansWholeCharacters) {
    // U+0A00 then U+4100: the bytes 0A 00 straddle two characters without being a line end.
    std::string bytes("\xFF\xFE\x00\x0A\x00\x41", 6);
    bytes += Utf16("\nz", false);
    bytes += 'q'; // an odd last byte is not a character
    Put(device, "u.txt", bytes);
    ASSERT_EQ(f.OpenR(u"\\u.txt"), 1);
    std::vector<std::u16string> expected = {u"\x0A00\x4100", u"z"};
    EXPECT_EQ(Texts(ReadAll(f)), expected);
}

TEST_F(StringFileTest, CrLfSplitAcrossALoadIsOneLineEnd) {
    // The CR falls on every position around the end of the first 4096-byte load.
    for (int length = 4090; length <= 4100; ++length) {
        Put(device, "a.txt", std::string(length, 'x') + "\r\nnext\r\n");
        ASSERT_EQ(f.OpenR(u"\\a.txt"), 1);
        std::vector<std::u16string> texts = Texts(ReadAll(f, 16384));
        ASSERT_EQ(texts.size(), length <= 4096 ? 2u : 3u) << length;
        EXPECT_EQ(texts.back(), u"next") << length;
        EXPECT_EQ(texts[0].size(), std::min(length, 4096)) << length;
    }
    for (int units = 2044; units <= 2052; ++units) {
        Put(device, "u.txt", Utf16(std::string(units, 'y') + "\r\nnext\r\n"));
        ASSERT_EQ(f.OpenR(u"\\u.txt"), 1);
        std::vector<std::u16string> texts = Texts(ReadAll(f, 16384));
        ASSERT_EQ(texts.size(), 2u) << units;
        EXPECT_EQ(texts[0], std::u16string(units, u'y')) << units;
        EXPECT_EQ(texts[1], u"next") << units;
    }
}

TEST_F(StringFileTest, LongLineComesInPieces) {
    std::string line(5000, 'k');
    line[4095] = 'A';
    line[4096] = 'B';
    Put(device, "t.txt", line + "\nend\n");
    ASSERT_EQ(f.OpenR(u"\\t.txt"), 1);
    std::vector<Line> lines = ReadAll(f);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text.size(), 4096u);
    EXPECT_EQ(lines[0].text.back(), u'A');
    EXPECT_EQ(lines[1].text.size(), 904u);
    EXPECT_EQ(lines[1].text.front(), u'B');
    EXPECT_EQ(lines[1].number, 2);
    EXPECT_EQ(lines[2].text, u"end");
    EXPECT_EQ(lines[2].number, 3);
}

TEST_F(StringFileTest, LineFillingTheCapacityIsCutOneEarlier) {
    Put(device, "t.txt", "0123456789\nab\n");
    ASSERT_EQ(f.OpenR(u"\\t.txt"), 1);
    WCHAR buf[12];
    for (WCHAR& c : buf)
        c = u'#';
    EXPECT_EQ(f.ReadNextLine(buf, 10, 0), 1);
    EXPECT_EQ(std::u16string(buf), u"012345678");
    EXPECT_EQ(buf[10], u'#'); // nothing written past the capacity
    EXPECT_EQ(f.ReadNextLine(buf, 10, 0), 2);
    EXPECT_EQ(std::u16string(buf), u"9");
    EXPECT_EQ(f.ReadNextLine(buf, 2, 0), 3);
    EXPECT_EQ(std::u16string(buf), u"a");
    EXPECT_EQ(f.ReadNextLine(buf, 2, 0), 4);
    EXPECT_EQ(std::u16string(buf), u"b");
    EXPECT_EQ(f.ReadNextLine(buf, 1, 0), 0); // no room for anything
    EXPECT_EQ(f.ReadNextLine(buf, 2, 0), 0);
}

TEST_F(StringFileTest, DoubleByteCharactersAreNotSplit) {
    ASSERT_EQ(GetACP(), 949u);
    Put(device, "k.txt", "\xB0\xA1\xB0\xA1z\n"); // two Hangul syllables, then z
    ASSERT_EQ(f.OpenR(u"\\k.txt"), 1);
    std::vector<std::u16string> expected = {u"\xAC00", u"\xAC00z"};
    EXPECT_EQ(Texts(ReadAll(f, 4)), expected);
}

TEST_F(StringFileTest, EscapedLineFeed) {
    Put(device, "t.txt", "a\\nb\\\\nc\n");
    ASSERT_EQ(f.OpenR(u"\\t.txt"), 1);
    EXPECT_EQ(Texts(ReadAll(f, 64, 1)), std::vector<std::u16string>{u"a\nb\\\nc"});
    f.Reset();
    EXPECT_EQ(Texts(ReadAll(f, 64, 0)), std::vector<std::u16string>{u"a\\nb\\\\nc"});

    Put(device, "u.txt", Utf16("x\\ny\n"));
    ASSERT_EQ(f.OpenR(u"\\u.txt"), 1);
    EXPECT_EQ(Texts(ReadAll(f, 64, 1)), std::vector<std::u16string>{u"x\ny"});
}

TEST_F(StringFileTest, ReadLineGoesBackWithoutLosingTheIndex) {
    std::string text;
    std::vector<std::u16string> expected;
    for (int i = 1; i <= 3000; ++i) {
        std::string line = "line " + std::to_string(i) + std::string(i % 37, '.');
        text += line + (i % 2 ? "\r\n" : "\n");
        expected.push_back(U(line));
    }
    Put(device, "many.txt", text);
    ASSERT_EQ(f.OpenR(u"\\many.txt"), 1);
    int n = 0;
    // Forward from the start builds the index on the way.
    EXPECT_EQ(ReadLineText(f, 2000, &n), expected[1999]);
    EXPECT_EQ(n, 2000);
    EXPECT_EQ(f.GetKnownLines(), 2001);
    for (int line : {1, 2999, 5, 1500, 2000, 3000, 17}) {
        EXPECT_EQ(ReadLineText(f, line, &n), expected[line - 1]) << line;
        EXPECT_EQ(n, line);
    }
    // Reading on continues after the line just read.
    WCHAR buf[256];
    EXPECT_EQ(f.ReadNextLine(buf, 256, 0), 18);
    EXPECT_EQ(std::u16string(buf), expected[17]);
    // Past the end: the last line.
    EXPECT_EQ(ReadLineText(f, 5000, &n), expected[2999]);
    EXPECT_EQ(n, 3000);
    EXPECT_EQ(f.ReadLine(0, buf, 256, 0), 0);
    // Reset rewinds but keeps the index.
    f.Reset();
    EXPECT_EQ(f.GetKnownLines(), 3001);
    EXPECT_EQ(f.ReadNextLine(buf, 256, 0), 1);
    EXPECT_EQ(std::u16string(buf), expected[0]);
}

TEST_F(StringFileTest, ReadLineInUtf16AndOnAnUnterminatedLastLine) {
    Put(device, "u.txt", Utf16("alpha\r\nbeta\r\ngamma"));
    ASSERT_EQ(f.OpenR(u"\\u.txt"), 1);
    int n = 0;
    EXPECT_EQ(ReadLineText(f, 3, &n), u"gamma");
    EXPECT_EQ(n, 3);
    EXPECT_EQ(ReadLineText(f, 1, &n), u"alpha");
    EXPECT_EQ(ReadLineText(f, 9, &n), u"gamma");
    EXPECT_EQ(n, 3);
    EXPECT_EQ(ReadLineText(f, 2, &n), u"beta");
    EXPECT_EQ(n, 2);
}

TEST_F(StringFileTest, EmptyAndMissingFiles) {
    Put(device, "empty.txt", "");
    ASSERT_EQ(f.OpenR(u"\\empty.txt"), 1);
    EXPECT_EQ(f.GetKnownLines(), 0);
    WCHAR buf[8];
    EXPECT_EQ(f.ReadNextLine(buf, 8, 0), 0);
    EXPECT_EQ(f.ReadLine(1, buf, 8, 0), 0);
    EXPECT_EQ(f.Size(), 0);
    EXPECT_EQ(f.OpenR(u"\\missing.txt"), 0);
    EXPECT_EQ(f.IsOpen(), 0);
    EXPECT_EQ(f.Size(), -1);
    EXPECT_EQ(f.ReadNextLine(buf, 8, 0), 0);
    EXPECT_EQ(f.WriteNextLine(u"x"), 0);
    EXPECT_EQ(f.OpenW(u"\\missing.txt"), 0); // "r+" does not create
}

TEST_F(StringFileTest, WrittenLinesReadBack) {
    ASSERT_EQ(f.Create(u"\\w.txt"), 1);
    f.WriteNextLine(u"first");
    f.Write(u"sec");
    f.WriteNextLine(u"ond \xAC00");
    EXPECT_EQ(f.GetKnownLines(), 3);
    EXPECT_EQ(HostBytes(device, "w.txt"), "first\nsecond \xB0\xA1\n");
    // The index written on the way serves ReadLine at once.
    int n = 0;
    EXPECT_EQ(ReadLineText(f, 2, &n), u"second \xAC00");
    EXPECT_EQ(ReadLineText(f, 1, &n), u"first");
    f.Close();

    Put(device, "u.txt", Utf16("old\n"));
    ASSERT_EQ(f.OpenW(u"\\u.txt"), 1);
    EXPECT_EQ(ReadLineText(f, 1, &n), u"old");
    WCHAR buf[16];
    EXPECT_EQ(f.ReadNextLine(buf, 16, 0), 0); // at the end
    f.WriteNextLine(u"new \xAC00");
    EXPECT_EQ(HostBytes(device, "u.txt"), Utf16("old\nnew ") + std::string("\x00\xAC\n\x00", 4));
    // Reading goes on with the appended line, numbered after the old ones.
    EXPECT_EQ(f.ReadNextLine(buf, 16, 0), 2);
    EXPECT_EQ(std::u16string(buf), u"new \xAC00");
}
