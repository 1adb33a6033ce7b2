// The toolkit's text field: the platform's own edit control wrapped in a Winza, with typed
// wrappers for its messages and an optional keyboard hook that reports Return and Escape to
// the parent and can let only digits through.
#pragma once

#include "winza/Winza.h"

#include <platform/winedit.h>

class GEdit : public Winza {
public:
    // The notification codes the hook sends in the high word of WM_COMMAND's wParam.
    static constexpr WORD kNotifyReturn = 0x1000;
    static constexpr WORD kNotifyEscape = 0x2000;

    GEdit() = default;
    ~GEdit() override;

    // The platform's class: the window's procedure is the platform's, not the toolkit's.
    LPCWSTR GetClassNameW() override;
    // Never registers a class of its own under the platform's name.
    int RegisterClassW() override;

    // A child edit window of parent's window at rect with id as its control id.
    int Create(DWORD style, const RECT& rect, Winza* parent, UINT id);
    // Installs the keyboard hook (once) and sets the digits-only filter; 0 without a window.
    int SetNumberOnly(int on);
    int IsNumberOnly() const { return m_bNumberOnly; }
    int IsHooked() const { return m_pOldProc != nullptr; }

    int CanUndo();
    int GetLineCount();
    int GetModify();
    void SetModify(int modified = 1);
    void GetRect(RECT* rect);
    void GetSel(int& start, int& end);
    DWORD GetSel();
    // Copies up to max characters of the line into buffer, terminated when there is room.
    int GetLine(int line, LPWSTR buffer, int max);
    void EmptyUndoBuffer();
    int FmtLines(int addEol);
    void LimitText(int max = 0);
    void SetLimitText(UINT max);
    UINT GetLimitText();
    int LineFromChar(int index = -1);
    int LineIndex(int line = -1);
    int LineLength(int line = -1);
    void LineScroll(int lines, int chars = 0);
    void ReplaceSel(LPCWSTR text, int canUndo = 0);
    void SetPasswordChar(WCHAR ch);
    WCHAR GetPasswordChar();
    void SetRect(const RECT* rect);
    void SetRectNP(const RECT* rect);
    void SetSel(DWORD packed, int noScroll = 0);
    void SetSel(int start, int end, int noScroll = 0);
    int SetTabStops();
    int SetTabStops(const int& each);
    int SetTabStops(int count, int* stops);
    int Undo();
    void Clear();
    void Copy();
    void Cut();
    void Paste();
    int SetReadOnly(int readOnly = 1);
    int GetFirstVisibleLine();
    void SetMargins(UINT left, UINT right);
    DWORD GetMargins();
    POINT PosFromChar(UINT index);
    int CharFromPos(POINT point);

protected:
    // The edit window's procedure while hooked.
    static LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    WNDPROC m_pOldProc = nullptr;
    int m_nID = -1;
    int m_bNumberOnly = 0;
};
