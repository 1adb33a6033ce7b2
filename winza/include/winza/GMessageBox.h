// A dialog sized to its message, with one of six standard button sets whose labels come from
// the toolkit's text table, and an optional time-out that answers with the focused button.
#pragma once

#include "winza/GDialog.h"

// Button sets.
enum eMessageBoxButtons {
    eMBOk = 0,
    eMBOkCancel = 1,
    eMBAbortRetryIgnore = 2,
    eMBYesNoCancel = 3,
    eMBYesNo = 4,
    eMBRetryCancel = 5,
};

// Button ids of the sets.
enum eMessageBoxId {
    eMBIdOk = 1,
    eMBIdCancel = 2,
    eMBIdAbort = 3,
    eMBIdRetry = 4,
    eMBIdIgnore = 5,
    eMBIdYes = 6,
    eMBIdNo = 7,
};

constexpr int kMessageBoxTimer = 15;

class GMessageBox : public GDialog {
public:
    GMessageBox();
    ~GMessageBox() override;
    LPCWSTR GetClassNameW() override { return u"GMessageBox"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Sized to the title and message, centred on the parent (or the screen).
    void RecalcDialog(HWND parent) override;
    // The message goes between the title and the buttons.
    void DrawButton(HDC hdc, RECT clip) override;
    virtual void DrawMessage(HDC hdc);

    // Non-null fonts replace the body and title fonts; the title is shown; then DoModal. The
    // result is the id of the button that answered (1 OK, 2 Cancel, 3 Abort, 4 Retry,
    // 5 Ignore, 6 Yes, 7 No).
    int PopupWindow(HWND parent, LPCWSTR message, LPCWSTR title, int buttons, HFONT font,
                    HFONT titleFont, int timeout, int modalArg);
    void SetMessage(LPCWSTR message);
    LPCWSTR GetMessage() const { return m_pMessage; }
    void SetButtonSet(int buttons) { m_nButtonSet = buttons; }
    void SetTimeout(int ms) { m_nTimeout = ms; }
    RECT GetMessageRect() const { return m_rcMessage; }

protected:
    // Every button of the box answers it, not only OK and Cancel.
    int IsEndResult(int result) const override;
    LRESULT OnButtonCommand(HWND hwnd, WPARAM wParam, LPARAM lParam) override;
    void AddButtons(int boxWidth, int boxHeight);
    void RestartTimer();
    void StopTimer();

    int m_nButtonSet = eMBOk;
    int m_nTimeout = 3000;
    WCHAR* m_pMessage = nullptr;
    RECT m_rcMessage{0, 0, 0, 0};
};
