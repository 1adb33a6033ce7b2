// Painting the title view: rows with their captions, or cells with their previews.
#include "scribbo/GTitleView.h"

#include "scribbo/LanguageText.h"
#include "scribbo/Settings.h"

#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/GTime.h"
#include "winza/Hires.h"

#include <platform/gdiguard.h>

#include <algorithm>

namespace {

COLORREF Darker(COLORREF c, int by) {
    auto ch = [by](int v) { return std::max(0, v - by); };
    return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

COLORREF Inverted(COLORREF c) {
    return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c));
}

// Black or white, whichever reads better on the colour.
COLORREF TextOn(COLORREF c) {
    return GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c) < 1200 ? RGB(255, 255, 255)
                                                                     : RGB(0, 0, 0);
}

int TextWidth(HDC dc, LPCWSTR text) {
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(dc, text, int(::wcslen(text)), &size);
    return size.cx;
}

} // namespace

void GTitleView::GetCaption(int index, WCHAR* out, int outChars, HDC dc, int width) const {
    const TitleEntry* entry = GetEntry(index);
    if (!out || outChars <= 0)
        return;
    out[0] = 0;
    if (!entry)
        return;
    WCHAR text[kMemoPathChars + 8] = {};
    if (m_nNaviMode == eNaviFolder) {
        const GTime t(entry->time);
        ::wsprintfW(text, u"%.2d/%.2d/%.2d %.2d:%.2d", t.GetYear(), t.GetMonth(), t.GetDay(),
                    t.GetHour(), t.GetMinute());
        if (dc && width > 0 && TextWidth(dc, text) > width)
            ::wsprintfW(text, u"%.2d/%.2d/%.2d\n%.2d:%.2d", t.GetYear(), t.GetMonth(), t.GetDay(),
                        t.GetHour(), t.GetMinute());
    } else {
        WCHAR folder[kMemoPathChars];
        ::wcscpy(folder, entry->path);
        if (WCHAR* slash = ::wcsrchr(folder, u'\\'))
            *slash = 0;
        size_t base = ::wcslen(g_Settings.BaseDataFolder);
        while (base > 0 && g_Settings.BaseDataFolder[base - 1] == u'\\')
            --base;
        const bool under = ::_wcsnicmp(folder, g_Settings.BaseDataFolder, base) == 0;
        if (under && folder[base] == 0) {
            ::wcsncpy(text, GetLangText(43), kMemoPathChars - 1);
        } else {
            ::wcscpy(text, under && folder[base] == u'\\' ? folder + base + 1 : folder);
            for (WCHAR* c = text; *c; ++c)
                if (*c == u'\\')
                    *c = u'/';
            // The end of the path tells the folder apart: its front gives way.
            if (dc && width > 0 && TextWidth(dc, text) > width) {
                WCHAR cut[kMemoPathChars + 8];
                const size_t len = ::wcslen(text);
                for (size_t skip = 1; skip < len; ++skip) {
                    ::wsprintfW(cut, u"...%s", text + skip);
                    if (TextWidth(dc, cut) <= width || skip + 1 == len)
                        break;
                }
                ::wcscpy(text, cut);
            }
        }
    }
    ::wcsncpy(out, text, size_t(outChars - 1));
    out[outChars - 1] = 0;
}

void GTitleView::Draw(HDC hdc, RECT clip) {
    // The thread draws only what is in sight now; it starts again below.
    StopPreview();
    FillSolidRect(hdc, &clip, RGB(255, 255, 255));
    ::SetBkMode(hdc, TRANSPARENT);
    HFONT font = m_hFont ? m_hFont : GetGlobalFontDef();
    gdi::Select sel(hdc, font);
    const int step = m_nItemHeight + m_nGap;
    const int cols = GetColumns();
    const int first = std::max(0, GetScrollPos() / std::max(1, step)) * cols;
    for (int i = first; i < GetEntryCount(); ++i) {
        const RECT item = GetItemRect(i);
        if (item.top >= clip.bottom)
            break;
        RECT overlap;
        if (!::IntersectRect(&overlap, &item, &clip))
            continue;
        if (m_nViewMode == eViewGrid)
            DrawCell(hdc, i, item);
        else
            DrawRow(hdc, i, item);
    }
    StartPreview();
}

void GTitleView::DrawMarkCorner(HDC hdc, int index, RECT item) {
    const TitleEntry* entry = GetEntry(index);
    const int side = IsHires() ? 28 : 14;
    const COLORREF colour = Darker(entry->back, IsSelected(index) ? 64 : 32);
    for (int y = 0; y < side; ++y)
        FillSolidRect(hdc, item.left, item.top + y, side - y, 1, colour);
}

void GTitleView::DrawRow(HDC hdc, int index, RECT item) {
    const TitleEntry* entry = GetEntry(index);
    const bool selected = IsSelected(index);
    const COLORREF fill = selected ? Inverted(entry->back) : entry->back;
    FillSolidRect(hdc, &item, fill);
    FrameRect(hdc, &item, RGB(192, 192, 192), RGB(160, 160, 160), 0, 1, 15);
    if (entry->mark)
        DrawMarkCorner(hdc, index, item);
    RECT text = item;
    text.left += (IsHires() ? 30 : 15) + ApplyHires(2);
    text.right -= ApplyHires(2);
    WCHAR caption[kMemoPathChars + 8];
    GetCaption(index, caption, kMemoPathChars + 8, hdc, text.right - text.left);
    ::SetTextColor(hdc, TextOn(fill));
    if (::wcschr(caption, u'\n')) {
        RECT measure = text;
        ::DrawTextW(hdc, caption, -1, &measure, DT_LEFT | DT_CALCRECT | DT_NOPREFIX);
        const int h = measure.bottom - measure.top;
        text.top += std::max(0, (int(item.bottom - item.top) - h) / 2);
        ::DrawTextW(hdc, caption, -1, &text, DT_LEFT | DT_NOPREFIX);
    } else {
        ::DrawTextW(hdc, caption, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void GTitleView::DrawCell(HDC hdc, int index, RECT item) {
    const TitleEntry* entry = GetEntry(index);
    const bool selected = IsSelected(index);
    const int w = item.right - item.left;
    const int h = item.bottom - item.top;
    const bool fresh = entry->preview.GetSafeHandle() && entry->preview.Width() == w &&
                       entry->preview.Height() == h;
    if (!fresh) {
        FillSolidRect(hdc, &item, entry->back);
    } else if (entry->mark) {
        FillSolidRect(hdc, &item, selected ? Inverted(entry->back) : entry->back);
        entry->preview.AlphaBlt(hdc, item.left, item.top, w, h, 0, 0, 96);
    } else {
        entry->preview.BitBlt(hdc, item.left, item.top, w, h, 0, 0);
    }
    if (entry->mark && !fresh)
        DrawMarkCorner(hdc, index, item);
    FrameRect(hdc, &item, RGB(160, 160, 160), RGB(128, 128, 128), 0, 1, 15);
    if (selected) {
        const int edge = ApplyHires(2);
        const COLORREF c = Inverted(entry->back);
        FrameRect(hdc, &item, c, c, 0, edge, 15);
    }
}
