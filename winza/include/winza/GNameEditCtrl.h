// A one-line entry box run modally over a rectangle of the caller's choice: an edit field
// with an OK and a Cancel icon button to its right. In password mode it checks the typed text
// against the expected password instead of just returning it.
#pragma once

#include "winza/GDialog.h"
#include "winza/GEdit.h"

// Control id of the edit field.
constexpr int kNameEditId = 1238;

// What DoModal yields beyond OK (1) and Cancel (2).
constexpr int kNameEditEmpty = 3;
constexpr int kNameEditWrong = 4;

class GNameEditCtrl : public GDialog {
public:
    GNameEditCtrl();
    ~GNameEditCtrl() override;

    LPCWSTR GetClassNameW() override { return u"GNameEditCtrl"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void RecalcDialog(HWND parent) override;
    void DrawFrame(HDC hdc, RECT rect) override;

    // Screen rectangle of the box.
    void SetWindowRect(RECT rect) { m_rcWindow = rect; }
    RECT GetWindowRect() const { return m_rcWindow; }
    void SetFrameOffset(int left, int top, int right, int bottom);
    // The initial text (copied; null empties it).
    void SetName(LPCWSTR name);
    // The text as last confirmed.
    LPCWSTR GetName() const { return m_szName; }
    // Copies the expected password; password mode is on exactly when it is not empty.
    void SetPassword(LPCWSTR password);
    void SetPasswordMode(int on) { m_bPasswordMode = on; }
    int GetPasswordMode() const { return m_bPasswordMode; }
    LPCWSTR GetPassword() const { return m_szPassword; }
    void SetDrawBottomFrame(int on) { m_bDrawBottomLine = on; }
    GEdit* GetEdit() { return &m_edit; }
    // 1 when the last run ended on Return or Escape in the field, whose release is still to
    // come to whatever window has the focus next.
    int IsEndedByKey() const { return m_bEndedByKey; }

    // Takes the edit field's text and ends with 1, or in password mode 3 (empty), 4 (not the
    // password) or 1.
    int OnOK();

protected:
    int IsEndResult(int result) const override { return result >= 1 && result <= 4; }

    RECT m_rcWindow{0, 0, 0, 0};
    WCHAR m_szName[MAX_PATH];
    WCHAR m_szPassword[MAX_PATH];
    int m_bPasswordMode = 0;
    GEdit m_edit;
    int m_nLeftOffset;
    int m_nTopOffset;
    int m_nRightOffset;
    int m_nBottomOffset;
    int m_bDrawBottomLine = 1;
    int m_bEndedByKey = 0;
};
