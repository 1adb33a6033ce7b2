// The file dialog on the device: its filter choice, what a folder lists, the order of the
// rows, touching and choosing files, going up, multi-selection and a new folder.
#include "winza/GFileDialog.h"

#include "dialog_script_support.h"
#include "list_labels.h"
#include "winza/GFileItem.h"
#include "winza/GVButton.h"

#include <string>

namespace {

// Screen positions on 240 x 320 without a task bar: the title is 26 high, the top row runs
// from y 28 to 54, the list from y 56 with rows of 20, OK at (174-234, 263-289) and Cancel
// at (174-234, 291-317).
constexpr const char* kTapCancel = "tap 204 304\n";
constexpr const char* kTapOk = "tap 204 276\n";
constexpr const char* kTapUp = "tap 193 41\n";
constexpr const char* kTapNewFolder = "tap 221 41\n";
constexpr const char* kTapMulti = "tap 165 41\n";

std::string TapRow(int row) {
    return "tap 60 " + std::to_string(56 + 20 * row + 10) + "\n";
}

class FileDialogTest : public DialogScriptTest {
protected:
    void SetUp() override {
        DialogScriptTest::SetUp();
        MakeFolder("Docs/Sub");
        MakeFolder("Docs/Album");
        MakeFile("Docs/a.txt", "aaaa");
        MakeFile("Docs/b.jpg", "bb");
        MakeFile("Docs/c.jpeg", "cccccc");
        MakeFile("Docs/d.gif", "d");
        MakeFile("Docs/README", "no extension");
        MakeFile("Docs/hidden.txt");
        ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\hidden.txt", FILE_ATTRIBUTE_HIDDEN));
    }
};

TEST_F(FileDialogTest, WithoutAnInitialStringTheLastFilterIsCurrent) {
    GFileDialog two(1, nullptr, 0, u"\\Docs", u"Text|*.txt|All|*.*||", nullptr);
    EXPECT_EQ(two.GetFilterCount(), 2);
    EXPECT_EQ(two.GetFilterIndex(), 1);
    GFileDialog chosen(1, nullptr, 0, u"\\Docs", u"Text|*.txt|All|*.*||", u"*.txt");
    EXPECT_EQ(chosen.GetFilterIndex(), 0);
    // Without a filter the toolkit's own ("모든 파일|*.*||") is used; the title follows the mode.
    GFileDialog plain(0, nullptr, 0, nullptr, nullptr, nullptr);
    ASSERT_EQ(plain.GetFilterCount(), 1);
    EXPECT_EQ(std::u16string(plain.GetFilterPattern(0)), u"*.*");
    EXPECT_EQ(std::u16string(plain.GetTitle()), std::u16string(GetGLibText(19)));
    EXPECT_EQ(std::u16string(plain.GetCurPath()), u"\\Program Files\\Scribbo");
    EXPECT_EQ(std::u16string(two.GetTitle()), std::u16string(GetGLibText(18)));
    // The type button shows the current description once the dialog runs.
    Script(kTapCancel);
    EXPECT_EQ(two.DoModal(nullptr, 0), 2);
    ASSERT_NE(two.FindVButton(kFileDlgType), nullptr);
    EXPECT_EQ(std::u16string(two.FindVButton(kFileDlgType)->GetLabel()), u"All");
}

TEST_F(FileDialogTest, ListsFoldersAndMatchingFilesButNothingWithoutADot) {
    GFileDialog all(1, nullptr, 0, u"\\Docs", u"All|*.*||", nullptr);
    Script(kTapCancel);
    ASSERT_EQ(all.DoModal(nullptr, 0), 2);
    EXPECT_EQ(Labels(*all.GetFileList()), u"Album Sub a.txt b.jpg c.jpeg d.gif")
        << "README has no extension; hidden.txt is hidden";
    GFileDialog jpeg(1, nullptr, 0, u"\\Docs", u"JPEG|*.jpg;*.jpeg|GIF|*.gif||", u"*.jpg");
    Script(kTapCancel);
    ASSERT_EQ(jpeg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(Labels(*jpeg.GetFileList()), u"Album Sub b.jpg c.jpeg");
    // Another type lists again.
    jpeg.SetFilterIndex(1);
    Script(kTapCancel);
    ASSERT_EQ(jpeg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(jpeg.GetFilterIndex(), 1);
    EXPECT_EQ(Labels(*jpeg.GetFileList()), u"Album Sub d.gif");
}

TEST_F(FileDialogTest, FoldersStayBeforeFilesWhateverTheSortMode) {
    GFileDialog dlg(1, nullptr, 0, u"\\Docs", u"All|*.*||", nullptr);
    Script(kTapCancel);
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    GFileListCtrl* list = dlg.GetFileList();
    list->SetSortMode(eSortModeSize);
    EXPECT_EQ(Labels(*list), u"Album Sub d.gif b.jpg a.txt c.jpeg");
    list->SetSortMode(eSortModeType);
    EXPECT_EQ(Labels(*list), u"Album Sub d.gif c.jpeg b.jpg a.txt");
    list->SetSortMode(eSortModeTime);
    // The two folders are made one after the other, within the same clock tick or not, so
    // either order between them is right; what matters is that both come first.
    const std::u16string byTime = Labels(*list);
    const std::u16string folders = byTime.substr(0, 10);
    EXPECT_TRUE(folders == u"Album Sub " || folders == u"Sub Album ");
    list->SetSortMode(eSortModeName);
    EXPECT_EQ(Labels(*list), u"Album Sub a.txt b.jpg c.jpeg d.gif");
}

TEST_F(FileDialogTest, ADoubleTapOnAFileChoosesIt) {
    GFileDialog dlg(1, nullptr, 0, u"\\Docs", u"All|*.*||", nullptr);
    // Rows: Album, Sub, a.txt, b.jpg ...
    Script(TapRow(3) + TapRow(3));
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 1);
    EXPECT_EQ(dlg.GetFileNumber(), 1);
    EXPECT_EQ(std::u16string(dlg.GetFileName()), u"b.jpg");
    EXPECT_EQ(std::u16string(dlg.GetPathName()), u"\\Docs\\b.jpg");
    EXPECT_EQ(std::u16string(dlg.GetPathName(1)), u"");
}

TEST_F(FileDialogTest, ATouchFillsTheNameBoxAndOkKeepsTheChoice) {
    MakeFile("Docs/x.tar.gz");
    GFileDialog dlg(1, nullptr, 0, u"\\Docs", u"All|*.*||", nullptr);
    Script(TapRow(2) + TapRow(6) + "wait 1000\n" + kTapOk);
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 1);
    EXPECT_EQ(std::u16string(dlg.GetPathName()), u"\\Docs\\x.tar.gz")
        << "a new touch replaces the choice";
    EXPECT_EQ(dlg.GetFileNumber(), 1);
}

TEST_F(FileDialogTest, DoubleTapsOpenFoldersAndUpGoesBack) {
    MakeFile("Docs/Sub/inner.txt");
    GFileDialog dlg(1, nullptr, 0, u"\\Docs", u"All|*.*||", nullptr);
    Script(TapRow(1) + TapRow(1) + "wait 1000\n" + kTapCancel);
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(std::u16string(dlg.GetCurPath()), u"\\Docs\\Sub");
    EXPECT_EQ(Labels(*dlg.GetFileList()), u"inner.txt");
    Script(std::string(kTapUp) + kTapUp + kTapCancel);
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(std::u16string(dlg.GetCurPath()), u"\\");
    EXPECT_EQ(dlg.FindVButton(kFileDlgUp)->GetFlag(eVBEnabled), 0) << "nothing above the root";
    // At the root Up does nothing.
    Script(std::string(kTapUp) + kTapCancel);
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(std::u16string(dlg.GetCurPath()), u"\\");
}

TEST_F(FileDialogTest, MultiSelectionCollectsAndReleasesFiles) {
    GFileDialog dlg(1, nullptr, 1, u"\\Docs", u"All|*.*||", nullptr);
    // Multi on, touch a.txt, c.jpeg and d.gif, touch c.jpeg again to take it out.
    Script(std::string(kTapMulti) + TapRow(2) + "wait 1000\n" + TapRow(4) + "wait 1000\n" +
           TapRow(5) + "wait 1000\n" + TapRow(4) + "wait 1000\n" + kTapOk);
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 1);
    ASSERT_EQ(dlg.GetFileNumber(), 2);
    EXPECT_EQ(std::u16string(dlg.GetPathName(0)), u"\\Docs\\a.txt");
    EXPECT_EQ(std::u16string(dlg.GetPathName(1)), u"\\Docs\\d.gif");
    EXPECT_EQ(dlg.GetFileList()->GetMultiMode(), 1);
    // Without permission the button is off and touches replace the choice.
    GFileDialog single(1, nullptr, 0, u"\\Docs", u"All|*.*||", nullptr);
    Script(std::string(kTapMulti) + TapRow(2) + "wait 1000\n" + TapRow(4) + "wait 1000\n" + kTapOk);
    ASSERT_EQ(single.DoModal(nullptr, 0), 1);
    EXPECT_EQ(single.GetFileNumber(), 1);
    EXPECT_EQ(single.FindVButton(kFileDlgMulti)->GetFlag(eVBEnabled), 0);
}

TEST_F(FileDialogTest, ANameTypedForSavingTakesThePatternsExtension) {
    GFileDialog dlg(0, nullptr, 0, u"\\Docs", u"Text|*.txt||", nullptr);
    Script("tap 100 276\ntype notes\n" + std::string(kTapOk));
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 1);
    EXPECT_EQ(std::u16string(dlg.GetPathName()), u"\\Docs\\notes.txt");
}

TEST_F(FileDialogTest, TheNewFolderButtonMakesAValidFolderAndSelectsIt) {
    GFileDialog dlg(1, nullptr, 0, u"\\Docs", u"All|*.*||", nullptr);
    Script(std::string(kTapNewFolder) + "type a:b\nkey Return\n" + kTapNewFolder +
           "type Fresh\nkey Return\n" + kTapCancel);
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a:b"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(u"\\Docs\\Fresh") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    GFileListCtrl* list = dlg.GetFileList();
    EXPECT_EQ(Labels(*list), u"Album Fresh Sub a.txt b.jpg c.jpeg d.gif");
    ASSERT_NE(list->GetSelItem(), nullptr);
    EXPECT_EQ(std::u16string(list->GetItemText()), u"Fresh");
}

TEST_F(FileDialogTest, EscapeInTheNameBoxCancels) {
    GFileDialog dlg(1, nullptr, 0, u"\\Docs", u"All|*.*||", nullptr);
    Script("tap 100 276\nkey Return\nkey Escape\n");
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
}

TEST_F(FileDialogTest, TheTypeDropDownSwitchesTheListing) {
    GFileDialog dlg(1, nullptr, 0, u"\\Docs", u"Text|*.txt|Pictures|*.jpg;*.jpeg||", nullptr);
    // The type drop-down sits left of Cancel; its menu opens with no entry highlighted.
    Script("tap 100 304\nkey Down\nkey Return\n" + std::string(kTapCancel));
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(dlg.GetFilterIndex(), 0);
    EXPECT_EQ(Labels(*dlg.GetFileList()), u"Album Sub a.txt");
    EXPECT_EQ(std::u16string(dlg.FindVButton(kFileDlgType)->GetLabel()), u"Text");
}

TEST_F(FileDialogTest, ThePathDropDownCutsThePathAfterTheChosenPart) {
    MakeFolder("Docs/Sub/Deeper");
    GFileDialog dlg(1, nullptr, 0, u"\\Docs\\Sub\\Deeper", u"All|*.*||", nullptr);
    // Entries: the root, Docs, Sub, Deeper.
    Script("tap 60 41\nkey Down\nkey Down\nkey Return\n" + std::string(kTapCancel));
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(std::u16string(dlg.GetCurPath()), u"\\Docs");
    EXPECT_EQ(std::u16string(dlg.FindVButton(kFileDlgPath)->GetLabel()), u"Docs");
    Script("tap 60 41\nkey Down\nkey Return\n" + std::string(kTapCancel));
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(std::u16string(dlg.GetCurPath()), u"\\");
    EXPECT_EQ(std::u16string(dlg.FindVButton(kFileDlgPath)->GetLabel()),
              std::u16string(GetGLibText(24)));
    // A menu closed without a choice changes nothing.
    dlg.SetCurPath(u"\\Docs\\Sub");
    Script("tap 60 41\nkey Escape\n" + std::string(kTapCancel));
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(std::u16string(dlg.GetCurPath()), u"\\Docs\\Sub");
}

TEST_F(FileDialogTest, UpFromAStorageNameGoesToTheRoot) {
    MakeFolder("Card:");
    GFileDialog dlg(1, nullptr, 0, u"\\Card:", u"All|*.*||", nullptr);
    Script(std::string(kTapUp) + kTapCancel);
    ASSERT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(std::u16string(dlg.GetCurPath()), u"\\");
}

TEST(FileNameRule, RejectsTheReservedCharacters) {
    EXPECT_EQ(IsValidFileName(u"Work 2"), 1);
    for (LPCWSTR bad : {u"a\\b", u"a/b", u"a:b", u"a*", u"a?", u"\"a\"", u"<a", u"a>", u"a|b"})
        EXPECT_EQ(IsValidFileName(bad), 0);
    EXPECT_EQ(IsValidFileName(u""), 0);
    EXPECT_EQ(IsValidFileName(nullptr), 0);
}

} // namespace
