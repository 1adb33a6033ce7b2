// The toolkit's modal dialog: a pop-up window, by default covering the screen below the task
// bar, with a title strip, a frame drawn from a bitmap or as a plain border, and windowless
// buttons that it owns, lays out through a hook, draws and drives with pen and keys. DoModal
// runs it in a loop of its own until the result is OK (1) or Cancel (2).
#pragma once

#include "fundo/GArray.h"
#include "winza/GAnimateWnd.h"

class GDib;
class GVButton;

// Type given to AddVButton for a spin button.
constexpr int kDialogSpinButton = 0x400;

class GDialog : public GAnimateWnd {
public:
    GDialog();
    ~GDialog() override;
    LPCWSTR GetClassNameW() override { return u"GDialog"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // Runs the dialog; its result (1 OK, 2 Cancel), or 0 when the window cannot be made. The
    // second argument is not used.
    virtual int DoModal(HWND parent, int unused);
    // Sizes and places the window: below the task bar by default.
    virtual void RecalcDialog(HWND parent);
    // Derived dialogs place their controls here; empty.
    virtual void RecalcControl();
    virtual void DrawFrame(HDC hdc, RECT rect);
    virtual void DrawTitle(HDC hdc, RECT rect);
    virtual void DrawButton(HDC hdc, RECT clip);
    // The focused button's id, or 0.
    virtual int GetReturnValue();
    // The button with the id when there is one; else a new GVButton (or a GVSpinButton for
    // type 0x400) with the button frame, appended.
    virtual GVButton* AddVButton(int id, int image, int type);
    virtual void RemoveVButton(GVButton* button);
    virtual GVButton* FindVButton(int id);

    int OnOK();
    int OnCancel();
    // The text is kept only when show is set and the text is not empty.
    void SetTitle(int show, LPCWSTR text, int height);
    LPCWSTR GetTitle() const { return m_pTitle; }
    void SetTitleFont(HFONT font) { m_hTitleFont = font; }
    void SetDibDlgFrame(GDib* frame, int redraw);
    // Also gives the frame to every button there is.
    void SetDibBtnFrame(GDib* frame, int redraw);
    // In the run of radio buttons around the one with the id: the id of the checked one (that
    // button first, then those before it, then those after), or -1.
    int GetRadioSelect(int id);
    // Checks that radio button and unchecks the rest of its run; 0 when no radio button has
    // the id.
    int SetRadioSelect(int id, int redraw);

    int GetResult() const { return m_nResult; }
    int GetButtonCount() const { return m_pButtons ? m_pButtons->GetSize() : 0; }
    GVButton* GetButtonAt(int index) const;
    int GetFocusIndex() const { return m_nFocus; }
    // Gives the focus to the button at index (-1 for none).
    void SetFocusIndex(int index, int redraw);
    RECT GetDialogRect() const { return m_rcDialog; }
    int GetLineHeight() const { return m_nLineHeight; }
    int GetButtonHeight() const { return m_nButtonHeight; }
    int GetTitleHeight() const { return m_nTitleHeight; }

protected:
    // Whether a result ends the modal loop: OK and Cancel.
    virtual int IsEndResult(int result) const { return result == 1 || result == 2; }
    // A click (WM_COMMAND code 0) from a button or the keyboard.
    virtual LRESULT OnButtonCommand(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnPenDown(HWND hwnd, LPARAM lParam);
    LRESULT OnPenUp(HWND hwnd, LPARAM lParam);
    LRESULT OnPenMove(HWND hwnd, LPARAM lParam);
    LRESULT OnKeyDown(HWND hwnd, WPARAM key);
    LRESULT OnKeyUp(HWND hwnd, WPARAM key);
    LRESULT OnWindowPosChanged(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Brings the dialog to the front with the keyboard focus.
    void Reactivate();
    // Moves the focus to the next active button in the direction (wrapping).
    void MoveFocus(int step);
    // The run of consecutive radio buttons around index: first and last index.
    void RadioRun(int index, int* first, int* last) const;
    int IndexOf(int id) const;
    void InvalidateButton(const GVButton* button);
    void DeleteButtons();
    // Hides and destroys the window after the loop.
    void EndModal();

    GArray* m_pButtons;
    GArray m_arButtons;
    int m_nButtonHeight;
    int m_nResult = 0;
    int m_nFocus = -1;
    int m_bPenDown = 0;
    int m_bKeyValid = 1;
    // Escape cancels on its release only when its press came here too, not to a menu it closed.
    int m_bEscapeDown = 0;
    int m_bTitle = 0;
    int m_nTitleHeight;
    HFONT m_hTitleFont;
    WCHAR* m_pTitle = nullptr;
    int m_nLineHeight = 0;
    RECT m_rcDialog{0, 0, 0, 0};
    GDib* m_pDlgFrame;
    GDib* m_pBtnFrame;
    int m_bActivating = 0;
};
