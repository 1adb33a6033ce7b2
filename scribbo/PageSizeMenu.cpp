#include "scribbo/PageSizeMenu.h"

#include "scribbo/LanguageText.h"
#include "winza/GDialog.h"
#include "winza/GLib.h"
#include "winza/GMenu.h"
#include "winza/GVButton.h"
#include "winza/Hires.h"

namespace {

struct Size {
    int width, height;
    const WCHAR* text;
};
constexpr Size kListed[] = {{640, 480, u"640 X 480"},
                            {800, 600, u"800 X 600"},
                            {1024, 768, u"1024 X 768"},
                            {1280, 1024, u"1280 X 1024"}};
constexpr int kListedCount = 4;

int ListedIndex(int width, int height) {
    for (int i = 0; i < kListedCount; ++i)
        if (kListed[i].width == width && kListed[i].height == height)
            return i;
    return -1;
}

constexpr int kTextScreen = 64;
constexpr int kTextOther = 60;
// Right edge at x, as the toolkit's menus take it.
constexpr int kAlignRight = 264;

} // namespace

int PadPageSizeIndex(int width, int height) {
    if (width == ::GetSystemMetrics(SM_CXSCREEN) && height == ::GetSystemMetrics(SM_CYSCREEN))
        return 0;
    const int i = ListedIndex(width, height);
    return i >= 0 ? i + 1 : 5;
}

int GlobalPageSizeIndex(int width, int height) {
    const int i = ListedIndex(width, height);
    return i >= 0 ? i : 4;
}

int PageSizeOfChoice(int id, int* width, int* height) {
    int w = 0, h = 0;
    if (id == kPadSizeScreen) {
        w = ::GetSystemMetrics(SM_CXSCREEN);
        h = ::GetSystemMetrics(SM_CYSCREEN);
    } else if (id == kPadSizeOther || id == kGlobalSizeOther) {
        w = 640;
        h = 480;
    } else if (id > kPadSizeScreen && id < kPadSizeOther) {
        w = kListed[id - kPadSizeScreen - 1].width;
        h = kListed[id - kPadSizeScreen - 1].height;
    } else if (id >= kGlobalSizeFirst && id < kGlobalSizeOther) {
        w = kListed[id - kGlobalSizeFirst].width;
        h = kListed[id - kGlobalSizeFirst].height;
    } else {
        return 0;
    }
    if (width)
        *width = w;
    if (height)
        *height = h;
    return 1;
}

LPCWSTR PageSizeText(int id) {
    if (id == kPadSizeScreen)
        return GetLangText(kTextScreen);
    if (id == kPadSizeOther || id == kGlobalSizeOther)
        return GetLangText(kTextOther);
    if (id > kPadSizeScreen && id < kPadSizeOther)
        return kListed[id - kPadSizeScreen - 1].text;
    if (id >= kGlobalSizeFirst && id < kGlobalSizeOther)
        return kListed[id - kGlobalSizeFirst].text;
    return u"";
}

int TrackPageSizeMenu(GDialog* dialog, GVButton* button, int padMenu, int width, int height) {
    if (!dialog || !button || !dialog->GetSafeHwnd())
        return -1;
    GMenu menu;
    if (!menu.CreateMenu(dialog->GetSafeHwnd(), dialog))
        return -1;
    if (dialog->GetFont())
        menu.SetFont(dialog->GetFont());
    RECT at = button->GetRect();
    dialog->ClientToScreen(&at);
    menu.SetAlignType(DT_CENTER | DT_SINGLELINE);
    menu.SetFrameColor(1, RGB(255, 255, 255), GetGLibColor(5), GetGLibColor(5));
    menu.SetIconWidth(0);
    menu.SetMinWidth(at.right - at.left);
    const int first = padMenu ? kPadSizeScreen : kGlobalSizeFirst;
    const int last = padMenu ? kPadSizeOther : kGlobalSizeOther;
    for (int id = first; id <= last; ++id)
        menu.InsertMenuW(id - first, id, PageSizeText(id), 0);
    const int current =
        padMenu ? PadPageSizeIndex(width, height) : GlobalPageSizeIndex(width, height);
    menu.SetCurIndex(current);
    int result;
    if (padMenu) {
        result = menu.TrackPopupGMenu(kAlignRight, at.right, at.bottom - 1, 0);
    } else {
        // The current entry lies over the button (the menu keeps the toolkit's top margin).
        const int above = menu.GetBorder() + ApplyHires(2) + current * menu.GetItemHeight();
        result = menu.TrackPopupGMenu(0, at.left, at.top - above, 0);
    }
    menu.DestroyMenu();
    return result;
}
