// The file dialog's filter string and the rule that decides which files a folder lists.
#include "winza/GFileDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string At(const GArray& a, int i) {
    auto* s = static_cast<LPCWSTR>(a.GetAt(i));
    return s ? std::u16string(s) : std::u16string(u"<null>");
}

class FileFilter : public ::testing::Test {
protected:
    void TearDown() override {
        FreeFilterStrings(&descriptions);
        FreeFilterStrings(&patterns);
    }
    GArray descriptions;
    GArray patterns;
};

TEST_F(FileFilter, SplitsDescriptionsAndPatternsInPairs) {
    ASSERT_EQ(ParseFileFilter(u"Text Files|*.txt|All Files|*.*||", &descriptions, &patterns), 2);
    ASSERT_EQ(descriptions.GetSize(), 2);
    EXPECT_EQ(At(descriptions, 0), u"Text Files");
    EXPECT_EQ(At(patterns, 0), u"*.txt");
    EXPECT_EQ(At(descriptions, 1), u"All Files");
    EXPECT_EQ(At(patterns, 1), u"*.*");
    // Parsing again replaces what was there.
    ASSERT_EQ(ParseFileFilter(u"JPEG|*.jpg;*.jpeg||", &descriptions, &patterns), 1);
    EXPECT_EQ(At(patterns, 0), u"*.jpg;*.jpeg");
    EXPECT_EQ(descriptions.GetSize(), 1);
}

TEST_F(FileFilter, MalformedFiltersKeepOnlyWholePairs) {
    EXPECT_EQ(ParseFileFilter(nullptr, &descriptions, &patterns), 0);
    EXPECT_EQ(ParseFileFilter(u"", &descriptions, &patterns), 0);
    EXPECT_EQ(ParseFileFilter(u"Lonely", &descriptions, &patterns), 0);
    EXPECT_EQ(ParseFileFilter(u"No pattern|", &descriptions, &patterns), 0);
    EXPECT_EQ(ParseFileFilter(u"|*.a|B|*.b||", &descriptions, &patterns), 0)
        << "an empty description ends the filter";
    // The last pair may lack the closing bars; a trailing description alone is dropped.
    ASSERT_EQ(ParseFileFilter(u"A|*.a|B|*.b", &descriptions, &patterns), 2);
    EXPECT_EQ(At(patterns, 1), u"*.b");
    ASSERT_EQ(ParseFileFilter(u"A|*.a|B", &descriptions, &patterns), 1);
    EXPECT_EQ(descriptions.GetSize(), patterns.GetSize());
    EXPECT_EQ(ParseFileFilter(u"A|*.a||", nullptr, &patterns), 0);
}

TEST_F(FileFilter, StartsWithTheLastFilterUnlessTheInitialStringMatches) {
    ASSERT_EQ(
        ParseFileFilter(u"Text|*.txt|Pictures|*.bmp;*.jpg|All|*.*||", &descriptions, &patterns), 3);
    EXPECT_EQ(ChooseFileFilter(patterns, nullptr), 2);
    EXPECT_EQ(ChooseFileFilter(patterns, u""), 2);
    EXPECT_EQ(ChooseFileFilter(patterns, u"*.txt"), 0);
    EXPECT_EQ(ChooseFileFilter(patterns, u"*.jpg"), 1);
    EXPECT_EQ(ChooseFileFilter(patterns, u"*.doc"), 2);
    GArray none;
    EXPECT_EQ(ChooseFileFilter(none, u"*.txt"), -1);
}

TEST(FileListingRule, FilesWithoutAnExtensionAreNeverListed) {
    EXPECT_EQ(IsFileInPattern(u"*.*", u"README"), 0);
    EXPECT_EQ(IsFileInPattern(u"*.*", u"ends."), 0);
    EXPECT_EQ(IsFileInPattern(u"*.*", u"a.b"), 1);
    EXPECT_EQ(IsFileInPattern(u"*.txt;*.*", u"x.pad"), 1);
    EXPECT_EQ(IsFileInPattern(u"*.txt", u"README"), 0);
    EXPECT_EQ(IsFileInPattern(nullptr, u"a.txt"), 0);
    EXPECT_EQ(IsFileInPattern(u"*.txt", nullptr), 0);
}

TEST(FileListingRule, SeveralPatternsMatchTheirExtensionsOnly) {
    LPCWSTR jpeg = u"*.jpg;*.jpeg";
    EXPECT_EQ(IsFileInPattern(jpeg, u"photo.jpg"), 1);
    EXPECT_EQ(IsFileInPattern(jpeg, u"photo.jpeg"), 1);
    EXPECT_EQ(IsFileInPattern(jpeg, u"PHOTO.JPG"), 1) << "device names ignore case";
    EXPECT_EQ(IsFileInPattern(jpeg, u"anim.gif"), 0);
    // Parts of an extension in the pattern are no match.
    EXPECT_EQ(IsFileInPattern(jpeg, u"x.jp"), 0);
    EXPECT_EQ(IsFileInPattern(jpeg, u"x.peg"), 0);
    EXPECT_EQ(IsFileInPattern(jpeg, u"x.jpgx"), 0);
    // Only the last dot counts.
    EXPECT_EQ(IsFileInPattern(jpeg, u"a.jpg.gif"), 0);
    EXPECT_EQ(IsFileInPattern(jpeg, u"a.gif.jpg"), 1);
    EXPECT_EQ(IsFileInPattern(u"*.bmp; *.gif", u"a.gif"), 1) << "spaces around an entry";
}

} // namespace
