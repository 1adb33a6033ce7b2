// The tab at the pad's corner that stands in for its two scroll bars. A tap fades the bars in
// or out, a hold locks them visible (LockScrollbar) or unlocks them. The parent gets
// UM_SCROLLLAUNCHER with wParam 0 and lParam 0 at every press, 1 after a tap that left the
// bars showing unlocked, 2 after the lock changed.
#pragma once

#include "scribbo/GLauncherTab.h"

class GScrollBarLauncher : public GLauncherTab {
public:
    static constexpr UINT_PTR kFadeTimer = 100;

    GScrollBarLauncher();

    LPCWSTR GetClassNameW() override { return u"GScrollBarLauncher"; }
    void Draw(HDC hdc, RECT clip) override;

    // The vertical and the horizontal bar; null lets go of (and hides) the one held before.
    void SetControlled(GAnimateWnd* first, GAnimateWnd* second);
    GAnimateWnd* GetFirst() const { return GetControlledAt(0); }
    GAnimateWnd* GetSecond() const { return GetControlledAt(1); }

protected:
    void NotifyParent(LPARAM what) override;
};
