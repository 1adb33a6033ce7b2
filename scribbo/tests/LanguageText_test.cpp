#include "scribbo/LanguageText.h"

#include "scribbo_test_support.h"

#include <TestDevice.h>
#include <platform/entry.h>
#include "winza/GLib.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace apptest;

namespace {

// A UTF-16 file with a byte-order mark and CR LF line ends, as the shipped file is.
Bytes Utf16File(const std::vector<std::u16string>& lines) {
    Bytes b{0xFF, 0xFE};
    for (const std::u16string& line : lines) {
        PutText(b, line);
        PutText(b, u"\r\n");
    }
    return b;
}

std::vector<std::u16string> Texts(int n) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < n; ++i)
        lines.push_back(u"텍스트 " + std::u16string(1, char16_t(u'A' + i % 26)) +
                        std::u16string(size_t(i / 26 + 1), u'.'));
    return lines;
}

class LanguageText : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(device.Host("Program Files/Scribbo"));
    }
    void TearDown() override { FreeLanguageTexts(); }
    void Write(const Bytes& bytes) {
        WriteHost(device.Host("Program Files/Scribbo/language.txt"), bytes);
    }
    static void ExpectEmptyTable() {
        EXPECT_EQ(GetLangTextCount(), 0);
        for (int i : {-1, 0, 50, 103, 104})
            EXPECT_EQ(std::u16string(GetLangText(i)), u"") << i;
    }
    TestDevice device;
};

} // namespace

TEST_F(LanguageText, CommentsAndBlankLinesTakeNoIndex) {
    std::vector<std::u16string> texts = Texts(104);
    std::vector<std::u16string> lines = {u"// header comment", u""};
    for (size_t i = 0; i < texts.size(); ++i) {
        lines.push_back(texts[i]);
        if (i % 10 == 0)
            lines.push_back(u"//" + texts[i]);
        if (i % 7 == 0)
            lines.push_back(u"");
        if (i % 13 == 0)
            lines.push_back(u"/single slash first");
    }
    Write(Utf16File(lines));
    ASSERT_EQ(LoadLanguageFile(), 1);
    EXPECT_EQ(GetLangTextCount(), 104);
    for (int i = 0; i < 104; ++i)
        EXPECT_EQ(std::u16string(GetLangText(i)), texts[size_t(i)]) << i;
    EXPECT_EQ(std::u16string(GetLangText(-1)), u"");
    EXPECT_EQ(std::u16string(GetLangText(104)), u"");
}

TEST_F(LanguageText, SlashAsSecondCharacterMakesAComment) {
    std::vector<std::u16string> lines = Texts(104);
    lines[40] = u"a/b";
    Write(Utf16File(lines));
    EXPECT_EQ(LoadLanguageFile(), 0);
    ExpectEmptyTable();
    // With one more text the rest moves up by one and the file is whole again.
    lines.insert(lines.begin() + 41, u"extra");
    Write(Utf16File(lines));
    ASSERT_EQ(LoadLanguageFile(), 1);
    EXPECT_EQ(std::u16string(GetLangText(40)), u"extra");
    EXPECT_EQ(std::u16string(GetLangText(41)), lines[42]);
}

TEST_F(LanguageText, OnlyExactly104TextsLoad) {
    for (int n : {0, 1, 103, 105, 300}) {
        Write(Utf16File(Texts(n)));
        EXPECT_EQ(LoadLanguageFile(), 0) << n;
        ExpectEmptyTable();
    }
}

TEST_F(LanguageText, FailedLoadEmptiesAnEarlierTable) {
    Write(Utf16File(Texts(104)));
    ASSERT_EQ(LoadLanguageFile(), 1);
    ASSERT_NE(std::u16string(GetLangText(3)), u"");
    std::filesystem::remove(device.Host("Program Files/Scribbo/language.txt"));
    EXPECT_EQ(LoadLanguageFile(), 0);
    ExpectEmptyTable();
}

TEST_F(LanguageText, AnsiFileAndEscapedLineFeeds) {
    std::string text;
    for (int i = 0; i < 104; ++i)
        text += "line " + std::to_string(i) + (i == 5 ? "\\nsecond" : "") + "\n";
    Write(Bytes(text.begin(), text.end()));
    ASSERT_EQ(LoadLanguageFile(), 1);
    EXPECT_EQ(std::u16string(GetLangText(0)), u"line 0");
    EXPECT_EQ(std::u16string(GetLangText(5)), u"line 5\nsecond");
    EXPECT_EQ(std::u16string(GetLangText(103)), u"line 103");
}

// Both shipped languages as the start-up puts them on the device: every text of the
// application and the toolkit is there, and each formatted text takes the same numbers in the
// same order as the Korean one, since the code fills them alike.
TEST_F(LanguageText, ShippedLanguagesAreCompleteAndFormatAlike) {
    auto formats = [](const WCHAR* text) {
        std::u16string out;
        // The conversion letters only: width and precision may differ between languages.
        for (const WCHAR* p = text; *p; ++p) {
            if (*p != u'%')
                continue;
            while (p[1] &&
                   std::u16string_view(u"0123456789.-+ #").find(p[1]) != std::u16string::npos)
                ++p;
            if (p[1])
                out += *++p;
        }
        return out;
    };
    std::vector<std::u16string> koFormats, koToolkitFormats;
    for (const char* language : {"ko", "en"}) {
        SCOPED_TRACE(language);
        plat::DeviceSetup setup{"", u"scribbo", {SCRIBBO_DATA_DIR}};
        setup.language = language;
        std::string error;
        ASSERT_TRUE(plat::PrepareDevice(setup, &error)) << error;
        ASSERT_EQ(LoadLanguageFile(), 1);
        InitGLibControl();
        EXPECT_EQ(IsGLibTextOwned(), 1);
        EXPECT_EQ(GetGLibTextCount(), 27);
        std::vector<std::u16string> textFormats, toolkitFormats;
        for (int i = 0; i < kLanguageTextCount; ++i) {
            EXPECT_GT(wcslen(GetLangText(i)), 0u) << i;
            textFormats.push_back(formats(GetLangText(i)));
        }
        for (int i = 0; i < GetGLibTextCount(); ++i)
            toolkitFormats.push_back(formats(GetGLibText(i)));
        // The date list bar formats text 1 with year, month and day into 20 characters.
        WCHAR date[64];
        wsprintfW(date, GetLangText(1), 2026, 12, 31);
        EXPECT_LT(wcslen(date), 20u);
        EXPECT_NE(std::u16string(date).find(u"2026"), std::u16string::npos);
        EXPECT_NE(std::u16string(date).find(u"31"), std::u16string::npos);
        if (std::string(language) == "ko") {
            EXPECT_EQ(std::u16string(GetLangText(2)), u"일");
            EXPECT_EQ(std::u16string(GetLangText(8)), u"토");
            koFormats = textFormats;
            koToolkitFormats = toolkitFormats;
        } else {
            EXPECT_EQ(std::u16string(GetLangText(2)), u"Su");
            EXPECT_EQ(std::u16string(GetLangText(8)), u"Sa");
            EXPECT_EQ(std::u16string(GetGLibText(0)), u"English");
            // The month calendar's day names are the date bar's, two letters that fit its
            // 16-pixel cells on a 240-pixel screen.
            for (int d = 0; d < 7; ++d)
                EXPECT_EQ(std::u16string(GetGLibText(8 + d)), std::u16string(GetLangText(2 + d)));
            EXPECT_EQ(textFormats, koFormats);
            EXPECT_EQ(toolkitFormats, koToolkitFormats);
        }
        FreeGLib();
        FreeLanguageTexts();
    }
}
