// The folder chooser on the device: the tree opened down to the initial folder, lazy
// branches, a new folder through the name line, and what OK creates.
#include "winza/GFolderDialog.h"

#include "dialog_script_support.h"
#include "winza/GItem.h"
#include "winza/GTreeItem.h"
#include "winza/GVButton.h"

#include <string>

namespace {

// On 240 x 320 without a task bar the buttons lie at y 289-317: new folder at x 4-76, OK at
// 112-172, Cancel at 176-236. The tree starts at y 30 with rows of 22 from y 32.
constexpr const char* kTapNewFolder = "tap 40 303\n";
constexpr const char* kTapOk = "tap 142 303\n";
constexpr const char* kTapCancel = "tap 206 303\n";

// The tree as text: each label, "+" when open, its children in brackets; the selection
// starred and followed by its icon.
class ProbedFolderDialog : public GFolderDialog {
public:
    using GFolderDialog::GFolderDialog;
    std::u16string Dump(POSITION pos) {
        std::u16string s;
        for (; pos; pos = m_tree.GetNextItem(pos)) {
            GItem* item = m_tree.GetGItem(pos);
            if (!s.empty())
                s += u' ';
            s += item && item->GetLabel() ? item->GetLabel() : u"_";
            if (pos == m_tree.GetSelItem())
                s += u"*" + std::u16string(1, static_cast<char16_t>(u'0' + item->GetImageIndex()));
            if (auto* t = dynamic_cast<GTreeItem*>(item); t && t->IsOpen())
                s += u'+';
            if (POSITION child = m_tree.GetChildItem(pos))
                s += u"[" + Dump(child) + u"]";
        }
        return s;
    }
    void Snapshot(std::u16string* tree, std::u16string* path) {
        *tree = Dump(m_tree.GetTopItem());
        WCHAR p[MAX_PATH];
        GetItemPath(m_tree.GetSelItem(), p);
        *path = p;
    }
    void RecalcControl() override {
        GFolderDialog::RecalcControl();
        Snapshot(&atStart, &selAtStart);
        newFolderEnabled = FindVButton(kFolderDlgNewFolder)->GetFlag(eVBEnabled);
    }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COMMAND && LOWORD(wParam) == 1)
            Snapshot(&atOk, &selAtOk);
        return GFolderDialog::WndProc(hwnd, msg, wParam, lParam);
    }
    std::u16string atStart, selAtStart, atOk, selAtOk;
    int newFolderEnabled = -1;
};

class FolderDialogTest : public DialogScriptTest {
protected:
    void SetUp() override {
        DialogScriptTest::SetUp();
        MakeFolder("Docs/A/B/C");
        MakeFolder("Docs/A/B2");
        MakeFolder("Docs/Z/Deep");
        MakeFolder("Music");
        MakeFile("Docs/A/file.txt");
    }
};

TEST_F(FolderDialogTest, OpensThreeLevelsDownWithTheInitialFolderSelected) {
    ProbedFolderDialog dlg(nullptr, nullptr, nullptr, u"\\Docs\\A\\B");
    Script(kTapCancel);
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(dlg.selAtStart, u"\\Docs\\A\\B\\");
    // Closed branches with folders hold one empty row for their plus box; Music has none.
    const std::u16string tree = dlg.atStart;
    EXPECT_NE(tree.find(u"Docs+[A+["), std::u16string::npos)
        << std::string(tree.begin(), tree.end());
    EXPECT_NE(tree.find(u"B*1[_]"), std::u16string::npos) << "B is selected with the folder icon";
    EXPECT_NE(tree.find(u"B2"), std::u16string::npos);
    EXPECT_NE(tree.find(u"Z[_]"), std::u16string::npos) << "Z is not loaded yet";
    EXPECT_NE(tree.find(u"Music"), std::u16string::npos);
    EXPECT_EQ(tree.find(u"Music["), std::u16string::npos);
    EXPECT_EQ(tree.find(u"file.txt"), std::u16string::npos) << "files are not listed";
    EXPECT_EQ(tree.rfind(std::u16string(GetGLibText(24)) + u"+[", 0), 0u) << "the root first";
    EXPECT_EQ(dlg.newFolderEnabled, 1);
    EXPECT_EQ(std::u16string(dlg.GetTitle()), std::u16string(GetGLibText(25)));
}

TEST_F(FolderDialogTest, WithoutAnInitialFolderNothingIsSelectedAndOkGivesNothing) {
    ProbedFolderDialog dlg(u"Pick", nullptr, nullptr, nullptr);
    Script(kTapOk);
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 1);
    EXPECT_EQ(dlg.newFolderEnabled, 0);
    EXPECT_EQ(std::u16string(dlg.GetPathName()), u"");
    EXPECT_EQ(dlg.IsCreateFolder(), 0);
}

TEST_F(FolderDialogTest, ANamedRootPathStandsBeforeEveryRow) {
    ProbedFolderDialog dlg(nullptr, u"\\Docs", u"Documents", u"\\Docs\\Z\\Deep");
    Script(kTapOk);
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 1);
    EXPECT_EQ(std::u16string(dlg.GetPathName()), u"\\Docs\\Z\\Deep");
    EXPECT_EQ(std::u16string(dlg.GetFolderName()), u"Deep");
    EXPECT_EQ(dlg.IsCreateFolder(), 0) << "OK on a folder that exists";
    EXPECT_EQ(dlg.atStart.rfind(u"Documents+[A[_] Z+[Deep*1]]", 0), 0u)
        << std::string(dlg.atStart.begin(), dlg.atStart.end());
}

TEST_F(FolderDialogTest, ANewFolderWithAColonIsRefusedAndAValidOneIsCreatedByOk) {
    ProbedFolderDialog dlg(nullptr, nullptr, nullptr, u"\\Docs\\A");
    Script(std::string(kTapNewFolder) + "type Bad:Name\nkey Return\n" + kTapNewFolder +
           "type Fresh\nkey Return\n" + kTapOk);
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 1);
    // The new row leads A's children, selected, with the new-folder icon.
    EXPECT_NE(dlg.atOk.find(u"A+[Fresh*2 B[_] B2]"), std::u16string::npos)
        << std::string(dlg.atOk.begin(), dlg.atOk.end());
    EXPECT_EQ(dlg.atOk.find(u"Bad"), std::u16string::npos);
    EXPECT_EQ(GetFileAttributesW(u"\\Docs\\A\\Bad:Name"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(std::u16string(dlg.GetPathName()), u"\\Docs\\A\\Fresh");
    EXPECT_NE(dlg.IsCreateFolder(), 0);
    EXPECT_NE(GetFileAttributesW(u"\\Docs\\A\\Fresh") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    // Chosen again, the folder exists: nothing is created.
    ProbedFolderDialog again(nullptr, nullptr, nullptr, u"\\Docs\\A\\Fresh");
    Script(kTapOk);
    EXPECT_EQ(again.DoModal(nullptr, 0), 1);
    EXPECT_EQ(std::u16string(again.GetPathName()), u"\\Docs\\A\\Fresh");
    EXPECT_EQ(again.IsCreateFolder(), 0);
}

TEST_F(FolderDialogTest, ACancelledNameLeavesTheTreeAsItWas) {
    ProbedFolderDialog dlg(nullptr, nullptr, nullptr, u"\\Music");
    Script(std::string(kTapNewFolder) + "type Later\nkey Escape\n" + kTapOk);
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 1);
    EXPECT_EQ(dlg.atOk, dlg.atStart);
    EXPECT_EQ(std::u16string(dlg.GetPathName()), u"\\Music");
    EXPECT_EQ(dlg.IsCreateFolder(), 0);
}

TEST_F(FolderDialogTest, OpeningABranchLoadsItsFolders) {
    ProbedFolderDialog dlg(nullptr, nullptr, nullptr, u"\\Music");
    // Rows from y 32: the root, Docs (closed, with a plus box), ... The box zone of Docs lies
    // left of its row: first indent 6 plus indent 16 gives x 22, the box zone 6 .. 21.
    Script("tap 14 65\nwait 600\n" + std::string(kTapOk));
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 1);
    EXPECT_NE(dlg.atOk.find(u"Docs+[A[_] Z[_]]"), std::u16string::npos)
        << std::string(dlg.atOk.begin(), dlg.atOk.end());
}

TEST_F(FolderDialogTest, TheDeviceRootCannotTakeANewFolderAndADoubleTapChooses) {
    ProbedFolderDialog dlg(nullptr, nullptr, nullptr, u"\\Music");
    // The root row is the first, from y 32; Docs the second.
    Script("tap 40 43\nwait 600\n" + std::string(kTapCancel));
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 2);
    EXPECT_EQ(dlg.newFolderEnabled, 1) << "the initial folder was selected";
    EXPECT_EQ(dlg.FindVButton(kFolderDlgNewFolder)->GetFlag(eVBEnabled), 0);
    Script("tap 60 65\ntap 60 65\n");
    EXPECT_EQ(dlg.DoModal(nullptr, 0), 1);
    EXPECT_EQ(std::u16string(dlg.GetPathName()), u"\\Docs");
    EXPECT_EQ(std::u16string(dlg.GetFolderName()), u"Docs");
}

} // namespace
