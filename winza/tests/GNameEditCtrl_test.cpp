// The name and password line: its results, its layout over the caller's rectangle, and
// running the same object again.
#include "winza/GNameEditCtrl.h"

#include "dialog_script_support.h"
#include "winza/GVButton.h"

#include <string>

namespace {

// Records where the box put its parts while it ran.
class ProbedNameEdit : public GNameEditCtrl {
public:
    void RecalcDialog(HWND parent) override {
        GNameEditCtrl::RecalcDialog(parent);
        ::GetWindowRect(m_edit.GetSafeHwnd(), &editRect);
        if (GVButton* b = FindVButton(1))
            okRect = b->GetRect();
        if (GVButton* b = FindVButton(2))
            cancelRect = b->GetRect();
        passwordChar = m_edit.GetPasswordChar();
        focusOnEdit = ::GetFocus() == m_edit.GetSafeHwnd();
    }
    void Draw(HDC hdc, RECT clip) override {
        GNameEditCtrl::Draw(hdc, clip);
        bodyPixel = ::GetPixel(hdc, 195, 12);
        bottomPixel = ::GetPixel(hdc, 100, 24);
    }
    RECT editRect{}, okRect{}, cancelRect{};
    COLORREF bodyPixel = 0, bottomPixel = 0;
    WCHAR passwordChar = 0;
    bool focusOnEdit = false;
};

class NameEditTest : public DialogScriptTest {
protected:
    void SetUp() override {
        DialogScriptTest::SetUp();
        // A strip 25 pixels high across the screen at y = 100.
        box.SetWindowRect(RECT{0, 100, 240, 125});
    }
    int Run() { return box.DoModal(nullptr, -1); }
    ProbedNameEdit box;
};

TEST_F(NameEditTest, ReturnConfirmsTheTypedName) {
    Script("type Holiday\nkey Return\n");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(std::u16string(box.GetName()), u"Holiday");
    EXPECT_EQ(box.GetSafeHwnd(), nullptr) << "the window goes with the loop";
}

TEST_F(NameEditTest, EscapeAndTheCancelButtonCancel) {
    box.SetName(u"Kept");
    Script("type Other\nkey Escape\n");
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(std::u16string(box.GetName()), u"Kept") << "a cancelled box keeps the old name";
    // Cancel is the square right of OK: x 217-238 of the strip.
    Script("type Other\ntap 227 112\n");
    EXPECT_EQ(Run(), 2);
}

TEST_F(NameEditTest, TheOkButtonConfirmsAndAnInitialNameIsReplacedByTyping) {
    box.SetName(u"Old");
    Script("type New\ntap 206 112\n");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(std::u16string(box.GetName()), u"New") << "the initial name was wholly selected";
}

TEST_F(NameEditTest, AnEmptyPasswordMakesAPlainNameBox) {
    box.SetPassword(u"");
    EXPECT_EQ(box.GetPasswordMode(), 0);
    Script("key Return\n");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(std::u16string(box.GetName()), u"");
    EXPECT_EQ(box.passwordChar, 0);
}

TEST_F(NameEditTest, PasswordModeTellsEmptyWrongAndRightApart) {
    box.SetPassword(u"Secret");
    EXPECT_EQ(box.GetPasswordMode(), 1);
    Script("key Return\n");
    EXPECT_EQ(Run(), kNameEditEmpty);
    EXPECT_EQ(box.GetResult(), 3);
    EXPECT_EQ(box.passwordChar, u'*');
    // The caller reopens the same object for a second try.
    box.SetName(u"");
    Script("type secret\nkey Return\n");
    EXPECT_EQ(Run(), kNameEditWrong) << "the comparison heeds case";
    box.SetName(u"");
    Script("type Secre\nkey Return\n");
    EXPECT_EQ(Run(), kNameEditWrong);
    box.SetName(u"");
    Script("type Secret\nkey Return\n");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(std::u16string(box.GetName()), u"Secret");
    // Escape still cancels in password mode.
    box.SetName(u"");
    Script("key Escape\n");
    EXPECT_EQ(Run(), 2);
}

TEST_F(NameEditTest, FieldAndButtonsFillTheRectangle) {
    Script("key Escape\n");
    ASSERT_EQ(Run(), 2);
    // e = 25 - 2 - 2 = 21: the field from (2, 2) to (240 - 42 - 4, 25 - 2 - 1).
    EXPECT_EQ(box.editRect.left, 2);
    EXPECT_EQ(box.editRect.top, 102);
    EXPECT_EQ(box.editRect.right, 194);
    EXPECT_EQ(box.editRect.bottom, 122);
    EXPECT_EQ(box.okRect.left, 196);
    EXPECT_EQ(box.okRect.top, 2);
    EXPECT_EQ(box.okRect.right, 217);
    EXPECT_EQ(box.okRect.bottom, 23);
    EXPECT_EQ(box.cancelRect.left, 217);
    EXPECT_EQ(box.cancelRect.right, 238);
    EXPECT_TRUE(box.focusOnEdit);
}

TEST_F(NameEditTest, DrawsTheBodyColourAndTheBottomLine) {
    SetGLibColor(79, RGB(10, 200, 30));
    SetGLibColor(5, RGB(200, 0, 100));
    Script("key Escape\n");
    ASSERT_EQ(Run(), 2);
    // Between the field and OK, and along the last row.
    EXPECT_EQ(box.bodyPixel, RGB(10, 200, 30));
    EXPECT_EQ(box.bottomPixel, RGB(200, 0, 100));
    box.SetDrawBottomFrame(0);
    Script("key Escape\n");
    ASSERT_EQ(Run(), 2);
    EXPECT_EQ(box.bottomPixel, RGB(10, 200, 30));
}

} // namespace
