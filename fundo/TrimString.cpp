#include "fundo/TrimString.h"

#include "fundo/StringUtil.h"

#include <windows.h>

#include <new>

namespace {

// Width of count characters of text as a single line, measured the way it will be drawn.
int Measure(HDC dc, const WCHAR* text, int count, int height) {
    if (count <= 0)
        return 0;
    RECT r = {0, 0, 10000, height};
    DrawTextW(dc, text, count, &r, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    return r.right - r.left;
}

WCHAR* Join(const WCHAR* a, int na, const WCHAR* b, int nb) {
    WCHAR* s = new (std::nothrow) WCHAR[static_cast<size_t>(na) + nb + 1];
    if (!s)
        return nullptr;
    for (int i = 0; i < na; ++i)
        s[i] = a[i];
    for (int i = 0; i < nb; ++i)
        s[na + i] = b[i];
    s[na + nb] = 0;
    return s;
}

} // namespace

WCHAR* TrimString(HDC dc, const WCHAR* text, const RECT* rect, int mode, const WCHAR* ellipsis) {
    if (!text || !text[0] || !rect)
        return nullptr;
    if (mode != TRIM_START && mode != TRIM_END)
        return nullptr;
    if (!ellipsis)
        ellipsis = u"";
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    const int length = lstrlenW(text);
    if (Measure(dc, text, length, height) <= width)
        return AllocString(text);
    const int dots = lstrlenW(ellipsis);
    const int room = width - Measure(dc, ellipsis, dots, height);
    // Both loops stop at an empty remainder, so a rectangle narrower than the ellipsis gives
    // the ellipsis alone instead of running on.
    if (mode == TRIM_END) {
        int n = length;
        while (n > 0 && Measure(dc, text, n, height) > room)
            --n;
        return Join(text, n, ellipsis, dots);
    }
    int start = 1;
    while (start < length && Measure(dc, text + start, length - start, height) > room)
        ++start;
    return Join(ellipsis, dots, text + start, length - start);
}
