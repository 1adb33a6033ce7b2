// What the pad's two launcher tabs share: a small tab blended over the pad's picture that
// fades a set of controlled windows in and out on a timer, locks them visible with a hold and
// tells its parent about every use. GScrollBarLauncher and GToolBarLauncher add what they
// control, how they look and (the tool bar tab) a drag.
#pragma once

#include "winza/GAnimateWnd.h"

#include <windows.h>

class GLauncherTab : public GAnimateWnd {
public:
    static constexpr int kMinAlpha = 128;
    static constexpr UINT kFadeMs = 10;
    static constexpr int kFadeStep = 20;
    static constexpr COLORREF kKeyColor = RGB(255, 0, 255);
    static constexpr int kMaxControlled = 2;

    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    // A visible child of owner at rect (owner's client coordinates), blended over picture,
    // which lies at pictureRect on the screen; only visiblePart of it shows. 0 without an
    // owner or a picture.
    int Create(Winza* owner, GDib* picture, RECT pictureRect, RECT visiblePart, RECT rect);
    // A new picture (the pad's buffer was remade) and place; repaints.
    void SetBackground(GDib* picture, RECT pictureRect, RECT visiblePart, RECT rect);
    // animate with SW_SHOW fades the controlled windows in, animate with another command fades
    // them out; without animate they show or go at once. Hiding does nothing while locked.
    void ShowControlled(int animate, int command);

    int GetLevel() const { return m_nLevel; }
    int GetStep() const { return m_nStep; }
    int IsShown() const { return m_bShown; }
    int GetMinAlpha() const { return m_nMinAlpha; }
    int IsLocked() const { return *m_pLock != 0; }
    UINT_PTR GetFadeTimer() const { return m_nTimer; }

protected:
    // lock is the setting that keeps the controlled windows visible.
    GLauncherTab(LPCWSTR title, UINT_PTR timer, DWORD* lock);

    // Tells the parent about a use: 0 pen down, 1 a tap left the windows showing, 2 lock.
    virtual void NotifyParent(LPARAM what) = 0;
    // The tool bar tab takes the pen before the hold starts.
    virtual void OnPress(POINT) {}
    // The pen came up after a press; 1 when the derived tab used the release itself.
    virtual int OnRelease(POINT) { return 0; }

    void SetControlledAt(int index, GAnimateWnd* window);
    GAnimateWnd* GetControlledAt(int index) const;
    // The edges and fill every tab has, and the raised box inside them while locked.
    void DrawFrame(HDC hdc, RECT rc, COLORREF fill, int edges) const;

private:
    LRESULT OnPenDown(HWND hwnd, LPARAM lParam);
    LRESULT OnPenUp(LPARAM lParam);
    void OnFadeTick();
    void ToggleLock();
    // Controlled windows that exist.
    void SetControlledAlpha(int alpha);
    void ShowControlledWindows(int command);
    void StopFade();

    const LPCWSTR m_szTitle;
    const UINT_PTR m_nTimer;
    DWORD* const m_pLock;
    int m_nMinAlpha = kMinAlpha;
    int m_nLevel = 0; // 0 = controlled windows hidden
    int m_nStep = 0;
    // Still down once the hold ended (recognised or left by a move); a release then is no tap.
    int m_bPenDown = 0;
    int m_bShown = 0;
    // The hold is running: a release now is a tap.
    int m_bInGesture = 0;
    GAnimateWnd* m_pControlled[kMaxControlled] = {};
};
