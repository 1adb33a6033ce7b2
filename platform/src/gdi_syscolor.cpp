// System colours: a sober Pocket PC scheme (white windows, light grey faces, navy selection),
// and one never-deleted brush per colour.
#include "gdi_types.h"

#include <mutex>

namespace {

constexpr int kCount = COLOR_MENUBAR + 1;

const COLORREF kColors[kCount] = {
    RGB(212, 208, 200), // COLOR_SCROLLBAR
    RGB(255, 255, 255), // COLOR_BACKGROUND
    RGB(0, 0, 128),     // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(255, 255, 255), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(192, 192, 192), // COLOR_ACTIVEBORDER
    RGB(192, 192, 192), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(0, 0, 128),     // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(192, 192, 192), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),    // COLOR_3DDKSHADOW
    RGB(236, 233, 216), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(212, 208, 200), // COLOR_STATIC
    RGB(0, 0, 0),       // COLOR_STATICTEXT
    RGB(0, 0, 128),     // COLOR_GRADIENTACTIVECAPTION
    RGB(128, 128, 128), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),     // COLOR_MENUHILIGHT
    RGB(255, 255, 255), // COLOR_MENUBAR
};

int IndexOf(int index) {
    index &= ~SYS_COLOR_INDEX_FLAG;
    return index >= 0 && index < kCount ? index : -1;
}

} // namespace

DWORD GetSysColor(int index) {
    int i = IndexOf(index);
    return i < 0 ? 0 : kColors[i];
}

HBRUSH GetSysColorBrush(int index) {
    static HBRUSH brushes[kCount];
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i = 0; i < kCount; ++i) {
            auto b = std::make_shared<plat::BrushObject>();
            b->color = kColors[i];
            b->stock = true;
            brushes[i] = static_cast<HBRUSH>(plat::AllocHandle(b));
        }
    });
    int i = IndexOf(index);
    return i < 0 ? nullptr : brushes[i];
}
