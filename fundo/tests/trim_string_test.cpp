// TrimString: captions cut to a width with an ellipsis, measured with the context's font.
#include "fundo/StringUtil.h"
#include "fundo/TrimString.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class TrimString_ : public ::testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc, nullptr);
        font = CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
        ASSERT_NE(font, nullptr);
        old = SelectObject(dc, font);
    }
    void TearDown() override {
        SelectObject(dc, old);
        DeleteObject(font);
        DeleteDC(dc);
    }
    int Width(const std::u16string& s) {
        RECT r = {0, 0, 10000, 20};
        DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &r,
                  DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
        return r.right - r.left;
    }
    // Runs TrimString and takes the result apart from its heap block.
    bool Trim(const std::u16string& text, int width, int mode, std::u16string* out) {
        RECT r = {5, 0, 5 + width, 20};
        WCHAR* s = TrimString(dc, text.c_str(), &r, mode, u"...");
        if (!s)
            return false;
        *out = s;
        FreeString(s);
        EXPECT_EQ(s, nullptr);
        return true;
    }
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ old = nullptr;
    const std::u16string text = u"Meeting notes for Tuesday";
};

TEST_F(TrimString_, TextThatFitsComesBackWhole) {
    std::u16string out;
    ASSERT_TRUE(Trim(text, Width(text), TRIM_END, &out));
    EXPECT_EQ(out, text);
    ASSERT_TRUE(Trim(text, Width(text) + 40, TRIM_START, &out));
    EXPECT_EQ(out, text);
}

TEST_F(TrimString_, CuttingTheEndKeepsTheLongestPrefixThatFits) {
    const int width = Width(text) / 2;
    std::u16string out;
    ASSERT_TRUE(Trim(text, width, TRIM_END, &out));
    ASSERT_GE(out.size(), 4u);
    ASSERT_EQ(out.substr(out.size() - 3), u"...");
    std::u16string prefix = out.substr(0, out.size() - 3);
    EXPECT_EQ(text.compare(0, prefix.size(), prefix), 0);
    EXPECT_LE(Width(out), width);
    EXPECT_GT(Width(text.substr(0, prefix.size() + 1)) + Width(u"..."), width);
}

TEST_F(TrimString_, CuttingTheStartKeepsTheLongestSuffixThatFits) {
    const int width = Width(text) / 2;
    std::u16string out;
    ASSERT_TRUE(Trim(text, width, TRIM_START, &out));
    ASSERT_EQ(out.substr(0, 3), u"...");
    std::u16string suffix = out.substr(3);
    ASSERT_FALSE(suffix.empty());
    EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);
    EXPECT_LE(Width(out), width);
    EXPECT_GT(Width(text.substr(text.size() - suffix.size() - 1)) + Width(u"..."), width);
}

TEST_F(TrimString_, RectangleNarrowerThanTheEllipsisGivesTheEllipsisAlone) {
    std::u16string out;
    for (int mode : {TRIM_START, TRIM_END}) {
        ASSERT_TRUE(Trim(text, 2, mode, &out));
        EXPECT_EQ(out, u"...");
        ASSERT_TRUE(Trim(text, -30, mode, &out));
        EXPECT_EQ(out, u"...");
    }
}

TEST_F(TrimString_, BadArgumentsGiveNull) {
    RECT r = {0, 0, 10, 20};
    EXPECT_EQ(TrimString(dc, nullptr, &r, TRIM_END, u"..."), nullptr);
    EXPECT_EQ(TrimString(dc, u"", &r, TRIM_END, u"..."), nullptr);
    EXPECT_EQ(TrimString(dc, u"abc", nullptr, TRIM_END, u"..."), nullptr);
    EXPECT_EQ(TrimString(dc, text.c_str(), &r, 2, u"..."), nullptr);
    EXPECT_EQ(TrimString(dc, text.c_str(), &r, -1, u"..."), nullptr);
}

} // namespace
