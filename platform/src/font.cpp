// CreateFontIndirectW, CreateFontW, GetTextFaceW and the stock fonts.
#include "font.h"

#include "gdi_dc.h"

#include <platform/utf.h>

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

LOGFONTW StockLogFont(int index) {
    LOGFONTW lf{};
    lf.lfHeight = -12;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    const char16_t* face = u"Tahoma";
    switch (index) {
        case OEM_FIXED_FONT:
        case ANSI_FIXED_FONT:
        case SYSTEM_FIXED_FONT:
            face = u"Courier New";
            lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
            break;
        default:
            lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
            break;
    }
    std::char_traits<char16_t>::copy(lf.lfFaceName, face, std::char_traits<char16_t>::length(face));
    return lf;
}

text::FontKey KeyOf(const LOGFONTW& lf) {
    text::FontKey k;
    size_t n = 0;
    while (n < LF_FACESIZE && lf.lfFaceName[n])
        ++n;
    k.face = ToUtf8(std::u16string_view(lf.lfFaceName, n));
    if (k.face.empty())
        k.face = "Tahoma";
    k.height = lf.lfHeight;
    k.width = lf.lfWidth < 0 ? -lf.lfWidth : lf.lfWidth;
    k.weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
    k.italic = lf.lfItalic != 0;
    k.mono = lf.lfQuality == NONANTIALIASED_QUALITY;
    return k;
}

std::shared_ptr<TextFont> MakeFont(const LOGFONTW& lf) {
    auto f = std::make_shared<TextFont>();
    f->logfont = lf;
    f->logfont.lfFaceName[LF_FACESIZE - 1] = 0;
    return f;
}

} // namespace

int TextFont::GetObjectData(int size, void* buffer) const {
    if (!buffer)
        return sizeof(LOGFONTW);
    // A shorter buffer gets the leading part of the record, as for LOGFONT without its name.
    int n = std::min(size, static_cast<int>(sizeof(LOGFONTW)));
    if (n <= 0)
        return 0;
    std::memcpy(buffer, &logfont, static_cast<size_t>(n));
    return n;
}

std::shared_ptr<FontObject> MakeStockFont(int index) {
    std::shared_ptr<TextFont> f = MakeFont(StockLogFont(index));
    f->stockIndex = index;
    return f;
}

std::shared_ptr<text::SizedFont> Realise(FontObject* font) {
    auto* tf = dynamic_cast<TextFont*>(font);
    if (!tf) {
        static std::shared_ptr<text::SizedFont> system =
            text::SizedFont::Get(KeyOf(StockLogFont(SYSTEM_FONT)));
        return system;
    }
    std::lock_guard<std::mutex> lock(tf->realiseMutex);
    if (!tf->realised)
        tf->realised = text::SizedFont::Get(KeyOf(tf->logfont));
    return tf->realised;
}

std::shared_ptr<text::SizedFont> SelectedFont(const DCObj& dc) {
    return Realise(dc.attr.font.get());
}

} // namespace plat

using namespace plat;

HFONT CreateFontIndirectW(const LOGFONTW* lf) {
    if (!lf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HFONT>(AllocHandle(MakeFont(*lf)));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic != 0);
    lf.lfUnderline = static_cast<BYTE>(underline != 0);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i)
        lf.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&lf);
}

int GetTextFaceW(HDC h, int count, LPWSTR face) {
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return 0;
    std::u16string name;
    if (auto* tf = dynamic_cast<TextFont*>(dc->attr.font.get())) {
        for (int i = 0; i < LF_FACESIZE && tf->logfont.lfFaceName[i]; ++i)
            name.push_back(tf->logfont.lfFaceName[i]);
    }
    if (name.empty())
        name = FromUtf8(SelectedFont(*dc)->Family());
    if (!face)
        return static_cast<int>(name.size()) + 1;
    if (count <= 0)
        return 0;
    size_t n = std::min(name.size(), static_cast<size_t>(count - 1));
    std::char_traits<char16_t>::copy(face, name.data(), n);
    face[n] = 0;
    return static_cast<int>(n);
}
