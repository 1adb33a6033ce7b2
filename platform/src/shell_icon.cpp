// The shell's file icons: SHGetFileInfoW and the system image lists it hands out. The icons
// are drawn here, in code: folder, storage card, plain file, memo, picture, text and program,
// on a 16-unit grid for small icons and on a 32-unit grid of their own for 32 pixels and more.
#include <platform/gdiguard.h>
#include <platform/winbase.h>
#include <platform/winfile.h>
#include <platform/winshell.h>
#include <platform/winstring.h>

#include <array>
#include <mutex>
#include <string>

namespace {

enum Kind { kFile, kFolder, kCard, kMemo, kPicture, kText, kProgram, kKindCount };

const HIMAGELIST kSmallList = reinterpret_cast<HIMAGELIST>(static_cast<ULONG_PTR>(0x30010));
const HIMAGELIST kLargeList = reinterpret_cast<HIMAGELIST>(static_cast<ULONG_PTR>(0x30014));

// Paints opaque rectangles into the colour image and the mask at once.
class IconCanvas {
public:
    IconCanvas(HDC color, HDC mask, int unit) : m_color(color), m_mask(mask), m_unit(unit) {}
    void Box(int l, int t, int r, int b, COLORREF c) {
        RECT rc{l * m_unit, t * m_unit, r * m_unit, b * m_unit};
        gdi::Brush br(CreateSolidBrush(c));
        FillRect(m_color, &rc, br);
        FillRect(m_mask, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    // A box with a one-unit outline.
    void Framed(int l, int t, int r, int b, COLORREF edge, COLORREF fill) {
        Box(l, t, r, b, edge);
        Box(l + 1, t + 1, r - 1, b - 1, fill);
    }

private:
    HDC m_color, m_mask;
    int m_unit;
};

constexpr COLORREF kEdge = RGB(64, 64, 64);

void Page(IconCanvas& c) {
    c.Framed(3, 1, 13, 15, kEdge, RGB(255, 255, 255));
    c.Box(10, 1, 13, 4, RGB(192, 192, 192)); // the folded corner
    c.Box(10, 3, 11, 4, kEdge);
    c.Box(12, 1, 13, 2, kEdge);
}

void Paint(IconCanvas& c, Kind kind) {
    switch (kind) {
        case kFolder:
            c.Framed(1, 2, 7, 5, RGB(150, 110, 20), RGB(230, 190, 70));
            c.Framed(1, 4, 15, 14, RGB(150, 110, 20), RGB(250, 215, 100));
            break;
        case kCard:
            c.Framed(3, 1, 13, 15, kEdge, RGB(90, 90, 110));
            for (int x = 4; x < 12; x += 2)
                c.Box(x, 2, x + 1, 5, RGB(230, 190, 60));
            c.Box(5, 8, 11, 13, RGB(200, 200, 210));
            break;
        case kMemo:
            Page(c);
            for (int y = 6; y < 14; y += 3)
                c.Box(5, y, 11, y + 1, RGB(80, 120, 220));
            c.Box(5, 5, 7, 6, RGB(200, 30, 30)); // a stroke of ink across the lines
            c.Box(7, 6, 9, 7, RGB(200, 30, 30));
            c.Box(9, 8, 11, 9, RGB(200, 30, 30));
            break;
        case kPicture:
            Page(c);
            c.Box(4, 6, 12, 14, RGB(120, 180, 240));
            c.Box(4, 11, 12, 14, RGB(60, 150, 60));
            c.Box(9, 7, 11, 9, RGB(250, 220, 60));
            break;
        case kText:
            Page(c);
            for (int y = 6; y < 14; y += 2)
                c.Box(5, y, y % 4 ? 11 : 9, y + 1, RGB(0, 0, 0));
            break;
        case kProgram:
            c.Framed(1, 2, 15, 14, kEdge, RGB(255, 255, 255));
            c.Box(2, 3, 14, 5, RGB(20, 60, 160));
            break;
        case kFile:
        default:
            Page(c);
            break;
    }
}

// The same pictures drawn on a 32-unit grid for icons of 32 pixels and more: one-pixel
// outlines and finer detail instead of the small drawing doubled.
void FinePage(IconCanvas& c) {
    c.Framed(6, 2, 26, 30, kEdge, RGB(255, 255, 255));
    c.Box(26, 4, 27, 31, RGB(150, 150, 150)); // a shadow along the right and bottom
    c.Box(8, 30, 27, 31, RGB(150, 150, 150));
    c.Box(20, 2, 26, 8, RGB(255, 255, 255)); // the folded corner
    c.Box(20, 2, 21, 8, kEdge);
    c.Box(20, 7, 26, 8, kEdge);
    c.Box(21, 3, 25, 7, RGB(208, 208, 208));
}

void PaintFine(IconCanvas& c, Kind kind) {
    switch (kind) {
        case kFolder:
            c.Framed(2, 5, 14, 11, RGB(150, 110, 20), RGB(240, 205, 100));
            c.Framed(2, 9, 30, 28, RGB(150, 110, 20), RGB(250, 215, 100));
            c.Box(3, 10, 29, 11, RGB(255, 240, 180)); // the light along the body's top
            c.Box(3, 28, 31, 29, RGB(110, 80, 15));
            c.Box(30, 10, 31, 29, RGB(110, 80, 15));
            break;
        case kCard:
            c.Framed(6, 2, 26, 30, kEdge, RGB(90, 90, 110));
            for (int x = 8; x < 24; x += 3)
                c.Box(x, 4, x + 2, 10, RGB(230, 190, 60));
            c.Framed(10, 16, 22, 27, RGB(60, 60, 80), RGB(200, 200, 210));
            break;
        case kMemo:
            FinePage(c);
            for (int y = 12; y < 28; y += 5)
                c.Box(9, y, 23, y + 1, RGB(80, 120, 220));
            // A stroke of ink across the lines.
            for (int i = 0; i < 6; ++i)
                c.Box(10 + 2 * i, 9 + i, 13 + 2 * i, 11 + i, RGB(200, 30, 30));
            break;
        case kPicture:
            FinePage(c);
            c.Framed(8, 11, 24, 28, RGB(90, 90, 90), RGB(120, 180, 240));
            c.Box(9, 22, 23, 27, RGB(60, 150, 60));
            c.Box(12, 20, 17, 22, RGB(60, 150, 60));
            c.Box(18, 13, 22, 17, RGB(250, 220, 60));
            break;
        case kText:
            FinePage(c);
            for (int y = 11; y < 28; y += 3)
                c.Box(9, y, y % 2 ? 23 : 18, y + 1, RGB(40, 40, 40));
            break;
        case kProgram:
            c.Framed(2, 4, 30, 28, kEdge, RGB(255, 255, 255));
            c.Box(3, 5, 29, 9, RGB(20, 60, 160));
            c.Box(25, 6, 28, 8, RGB(255, 255, 255));
            c.Framed(6, 12, 14, 20, RGB(120, 120, 120), RGB(220, 220, 220));
            c.Box(17, 13, 26, 14, RGB(120, 120, 120));
            c.Box(17, 17, 24, 18, RGB(120, 120, 120));
            break;
        case kFile:
        default:
            FinePage(c);
            break;
    }
}

HICON MakeIcon(Kind kind, int size) {
    gdi::WindowDC screen(nullptr);
    gdi::MemoryDC colorDC(screen);
    gdi::MemoryDC maskDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    // The icon keeps copies of both bitmaps.
    gdi::Bitmap color(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    gdi::Bitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
    if (!color || !mask || !colorDC || !maskDC)
        return nullptr;
    {
        gdi::Select selColor(colorDC, color);
        gdi::Select selMask(maskDC, mask);
        // Transparent everywhere first: black image, white (keep the screen) mask.
        RECT all{0, 0, size, size};
        FillRect(colorDC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        FillRect(maskDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (size >= 32) {
            IconCanvas canvas(colorDC, maskDC, size / 32);
            PaintFine(canvas, kind);
        } else {
            IconCanvas canvas(colorDC, maskDC, size / 16 > 0 ? size / 16 : 1);
            Paint(canvas, kind);
        }
    }
    ICONINFO ii{TRUE, 0, 0, mask, color};
    return CreateIconIndirect(&ii);
}

// The lists' own icons, made on first use and kept for the process.
struct IconCache {
    std::mutex mutex;
    std::array<HICON, kKindCount> small{};
    std::array<HICON, kKindCount> large{};
    int smallSize = 0, largeSize = 0;
};

IconCache& Cache() {
    static IconCache* c = new IconCache;
    return *c;
}

bool ListSize(HIMAGELIST list, int* size) {
    if (list == kSmallList)
        *size = GetSystemMetrics(SM_CXSMICON);
    else if (list == kLargeList)
        *size = GetSystemMetrics(SM_CXICON);
    else
        return false;
    return true;
}

HICON CachedIcon(HIMAGELIST list, int index) {
    int size = 0;
    if (!ListSize(list, &size) || index < 0 || index >= kKindCount)
        return nullptr;
    IconCache& c = Cache();
    std::lock_guard lock(c.mutex);
    auto& icons = list == kSmallList ? c.small : c.large;
    int& made = list == kSmallList ? c.smallSize : c.largeSize;
    if (made != size) {
        // The screen changed size since: draw them again.
        for (HICON& i : icons)
            if (i) {
                DestroyIcon(i);
                i = nullptr;
            }
        made = size;
    }
    HICON& icon = icons[static_cast<size_t>(index)];
    if (!icon)
        icon = MakeIcon(static_cast<Kind>(index), size);
    return icon;
}

std::u16string Extension(const std::u16string& name) {
    size_t dot = name.rfind(u'.');
    size_t slash = name.find_last_of(u"\\/");
    if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash))
        return u"";
    std::u16string ext = name.substr(dot + 1);
    for (char16_t& ch : ext)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char16_t>(ch - 'A' + 'a');
    return ext;
}

Kind KindOf(const std::u16string& path, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return (attributes & FILE_ATTRIBUTE_TEMPORARY) ? kCard : kFolder;
    std::u16string ext = Extension(path);
    if (ext == u"pad")
        return kMemo;
    if (ext == u"bmp" || ext == u"jpg" || ext == u"jpeg" || ext == u"gif" || ext == u"png" ||
        ext == u"2bp")
        return kPicture;
    if (ext == u"txt" || ext == u"lng" || ext == u"ini" || ext == u"log")
        return kText;
    if (ext == u"exe" || ext == u"lnk")
        return kProgram;
    return kFile;
}

const char16_t* TypeName(Kind kind) {
    switch (kind) {
        case kFolder:
            return u"Folder";
        case kCard:
            return u"Storage Card";
        case kMemo:
            return u"Memo";
        case kPicture:
            return u"Picture";
        case kText:
            return u"Text Document";
        case kProgram:
            return u"Program";
        default:
            return u"File";
    }
}

void CopyOut(const std::u16string& s, WCHAR* out, size_t room) {
    size_t n = s.size() < room - 1 ? s.size() : room - 1;
    for (size_t i = 0; i < n; ++i)
        out[i] = s[i];
    out[n] = 0;
}

} // namespace

DWORD_PTR SHGetFileInfoW(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags) {
    if (!path || (info && size < sizeof(SHFILEINFOW))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string p = path;
    if (!(flags & SHGFI_USEFILEATTRIBUTES)) {
        attributes = GetFileAttributesW(path);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return 0;
    }
    Kind kind = KindOf(p, attributes);
    HIMAGELIST list = (flags & SHGFI_SMALLICON) ? kSmallList : kLargeList;
    if (info) {
        *info = SHFILEINFOW{};
        info->iIcon = kind;
        if (flags & SHGFI_ICON) {
            info->hIcon = ImageList_GetIcon(list, kind, ILD_NORMAL);
            if (!info->hIcon)
                return 0;
        }
        if (flags & SHGFI_ATTRIBUTES)
            info->dwAttributes = attributes;
        if (flags & SHGFI_DISPLAYNAME) {
            size_t slash = p.find_last_of(u"\\/");
            CopyOut(slash == std::u16string::npos ? p : p.substr(slash + 1), info->szDisplayName,
                    MAX_PATH);
        }
        if (flags & SHGFI_TYPENAME)
            CopyOut(TypeName(kind), info->szTypeName, 80);
    }
    if (flags & SHGFI_SYSICONINDEX)
        return reinterpret_cast<DWORD_PTR>(list);
    return 1;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    HICON icon = CachedIcon(list, index);
    if (!icon || !dc)
        return FALSE;
    int size = 0;
    ListSize(list, &size);
    return DrawIconEx(dc, x, y, icon, size, size, 0, nullptr,
                      (style & ILD_MASK) ? DI_MASK : DI_NORMAL);
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT) {
    HICON icon = CachedIcon(list, index);
    if (!icon)
        return nullptr;
    // A copy the caller owns and destroys.
    ICONINFO ii{};
    if (!GetIconInfo(icon, &ii))
        return nullptr;
    gdi::Bitmap mask(ii.hbmMask), color(ii.hbmColor);
    return CreateIconIndirect(&ii);
}

int ImageList_GetImageCount(HIMAGELIST list) {
    int size = 0;
    return ListSize(list, &size) ? kKindCount : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    int size = 0;
    if (!ListSize(list, &size) || !cx || !cy)
        return FALSE;
    *cx = *cy = size;
    return TRUE;
}

BOOL ImageList_Destroy(HIMAGELIST) {
    return FALSE;
}
