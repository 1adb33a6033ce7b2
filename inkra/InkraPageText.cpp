// Text objects of a page: drawing them with the context's font, and laying a text file out as
// background text on the lines of a template.
#include "fundo/GStringFile.h"
#include "inkra/InkraPage.h"
#include "InkraRect.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Memo text is shown as written: an ampersand is a character, not a mnemonic.
constexpr UINT kTextFlags = DT_NOPREFIX;

// Longest run measured for one line; no line of a page holds more characters, and it keeps
// the measuring of a long file line from growing with the square of its length.
constexpr int kMeasureUnits = 1024;

bool IsHighSurrogate(WCHAR c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// Units of text (count of them) that start a line narrower than width; at least one whole
// character, so that text on a line too narrow for any character still moves on.
int FitCount(HDC dc, const WCHAR* text, int count, LONG width) {
    int measured = count < kMeasureUnits ? count : kMeasureUnits;
    if (measured < count && IsHighSurrogate(text[measured - 1]))
        --measured;
    int fit = 0;
    if (width > 0 && !GetTextExtentExPointW(dc, text, measured, width - 1, &fit, nullptr, nullptr))
        fit = 0;
    if (fit > 0)
        return fit;
    return count > 1 && IsHighSurrogate(text[0]) ? 2 : 1;
}

// The whole line fits when it is no wider than width.
bool FitsWhole(HDC dc, const WCHAR* text, LONG width) {
    RECT measure{0, 0, width, 0};
    DrawTextW(dc, text, -1, &measure, DT_CALCRECT | INK_BACK_TEXT_FORMAT | kTextFlags);
    return measure.right - measure.left <= width;
}

void ClearLine(WCHAR* buffer, int& position) {
    std::memset(buffer, 0, INK_BACK_TEXT_UNITS * sizeof(WCHAR));
    position = 0;
}

} // namespace

void InkraPage::DrawTextObject(HDC dc, const GDObject* object, const MATRIX* view) {
    const WCHAR* text = object->text;
    if (!dc || !text || !text[0])
        return;
    const tagRECT clip = DrawClip();
    if (inkra::NoArea(clip))
        return;
    tagRECT rect;
    MatrixTransformRect(view, &object->bounds, &rect);
    // An empty rectangle (a damaged file) holds no line; its marker values are not a place.
    if (RectIsEmpty(&rect))
        return;
    // The first character's height centres the line in its rectangle.
    SIZE first{0, 0};
    GetTextExtentExPointW(dc, text, IsHighSurrogate(text[0]) && text[1] ? 2 : 1, 0, nullptr,
                          nullptr, &first);
    // In 64 bits: the rectangle can lie anywhere in the 32-bit range.
    const std::int64_t top = rect.top + (std::int64_t{rect.bottom} - rect.top - first.cy) / 2 + 1;
    rect.top = LONG(std::clamp<std::int64_t>(top, INT32_MIN, INT32_MAX));

    const int saved = SaveDC(dc);
    // Only the clip is redrawn, so text must not darken its own glyphs outside it.
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    const COLORREF colour = static_cast<COLORREF>(object->red) +
                            static_cast<COLORREF>(object->green) * 256 +
                            static_cast<COLORREF>(object->blue) * 65536;
    const COLORREF oldColour = SetTextColor(dc, colour);
    // Text lies on the paper and its lines, never on a box of its own.
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &rect, object->textFormat | kTextFlags);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    if (saved)
        RestoreDC(dc, saved);
}

void InkraPage::AddBackTextLine(WCHAR* text, int count, COLORREF colour, const tagRECT& rect) {
    if (count <= 0)
        return;
    GDObject* object = AllocGDObject();
    if (!object)
        return;
    object->kind = DO_TEXT;
    object->textFormat = INK_BACK_TEXT_FORMAT;
    object->SetColor(colour);
    object->bounds = rect;
    // The run is cut out of the line in place for the copy.
    const WCHAR kept = text[count];
    text[count] = 0;
    const int stored = object->SetTextData(text);
    text[count] = kept;
    if (stored <= 0) {
        FreeGDObject(object);
        return;
    }
    m_BackObjects.Add(object);
}

int InkraPage::AddBackTextObject(GStringFile& file, HDC dc, COLORREF colour, tagRECT lineRect,
                                 int lines, WCHAR* buffer, int& position) {
    if (!dc || !buffer)
        return 0;
    if (lines < 1)
        return 1;
    const LONG width = lineRect.right - lineRect.left;
    const LONG height = lineRect.bottom - lineRect.top;
    tagRECT line = lineRect;
    int laid = 0;
    // Every line used counts, blank ones too, so a page never gets more lines than it has.
    auto next = [&] {
        OffsetRect(&line, 0, height);
        return ++laid >= lines;
    };
    for (;;) {
        if (buffer[0] == 0) {
            ClearLine(buffer, position);
            if (file.ReadNextLine(buffer, INK_BACK_TEXT_UNITS, 0) == 0) {
                ClearLine(buffer, position);
                return 0;
            }
        }
        const int length = lstrlenW(buffer);
        if (position < 0 || position > length)
            position = 0;
        if (position == 0 && FitsWhole(dc, buffer, width)) {
            AddBackTextLine(buffer, length, colour, line);
            ClearLine(buffer, position);
            if (next())
                return 1;
            continue;
        }
        while (position < length) {
            const int count = FitCount(dc, buffer + position, length - position, width);
            AddBackTextLine(buffer + position, count, colour, line);
            position += count;
            const bool consumed = position >= length;
            if (consumed)
                ClearLine(buffer, position);
            if (next())
                return 1;
            if (consumed)
                break;
        }
    }
}

int InkraPage::AddBackTextObject(GStringFile& file, HDC dc, COLORREF colour, tagRECT area,
                                 int lineHeight, int lines, WCHAR* buffer, int& position) {
    const tagRECT first{area.left, area.top, area.right, area.top + lineHeight};
    return AddBackTextObject(file, dc, colour, first, lines, buffer, position);
}
