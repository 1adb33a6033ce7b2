#include "scribbo/AppStart.h"

#include "scribbo/App.h"
#include "scribbo/GCustomMessageBox.h"
#include "scribbo/GScribboMain.h"
#include "scribbo/Settings.h"

#include "fundo/PathUtil.h"
#include "picta/GImage.h"
#include "winza/GImageList.h"
#include "winza/Hires.h"

#include <platform/gdiguard.h>

#include <memory>
#include <string>
#include <vector>

const WCHAR kLanguageFileMessage[] =
    u"프로그램 구동에 필요한 올바른 language.txt 파일을 로딩하지 못했습니다.\n\n화면의 "
    u"글씨가 올바르게 표시되지 않을 수 있습니다.";
const WCHAR kProgramAreaMessage[] =
    u"올바른 프로그램 영역을 구하지 못했습니다.\n\n프로그램을 종료합니다..";
const WCHAR kToolbarImageMessage[] =
    u"프로그램 구동에 필요한 툴바 이미지를 로딩하지 못했습니다.\n\n프로그램을 종료합니다..";

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr WORD kToolbarFallbackResource = 121;
constexpr WORD kButtonFrameResource = 124;
constexpr WORD kProgramIconResource = 126;
constexpr int kToolbarGrid = 10;

bool IsSpace(WCHAR c) {
    return c == u' ' || c == u'\t';
}

// The next word of the command line; a word that begins with a double quote runs to the first
// space or tab after its closing quote, and loses the quotes around it.
bool NextToken(const WCHAR*& p, std::u16string* token) {
    while (*p && IsSpace(*p))
        ++p;
    if (!*p)
        return false;
    token->clear();
    if (*p == u'"') {
        ++p;
        while (*p && *p != u'"')
            token->push_back(*p++);
        if (*p == u'"')
            ++p;
        // Anything glued to the closing quote still belongs to the word.
        while (*p && !IsSpace(*p))
            token->push_back(*p++);
        return true;
    }
    while (*p && !IsSpace(*p))
        token->push_back(*p++);
    return true;
}

bool IsOption(const std::u16string& token) {
    return !token.empty() && (token[0] == u'-' || token[0] == u'/');
}

bool SameOption(const std::u16string& token, WCHAR letter) {
    return token.size() == 2 && (token[1] == letter || token[1] == letter - (u'a' - u'A'));
}

// The bitmap as a GDib scaled to width x height (its own size for 0).
GDib* ScaledBitmap(HBITMAP bitmap, int width, int height) {
    gdi::Bitmap owned(bitmap);
    if (!owned)
        return nullptr;
    GDib source;
    if (!source.FromDDB(bitmap, 24) || source.Width() <= 0 || source.Height() <= 0)
        return nullptr;
    if (width <= 0 || height <= 0) {
        width = source.Width();
        height = source.Height();
    }
    auto out = std::make_unique<GDib>();
    if (!out->Create(width, height, 24))
        return nullptr;
    out->SetBackColor(kMagenta);
    source.DrawDib(out.get(), 0, 0, width, height, 0, 0, source.Width(), source.Height(), 1, 255,
                   0);
    return out.release();
}

GImageList* CutIntoGrid(const GDib* strip) {
    if (!strip || strip->Width() < kToolbarGrid || strip->Height() < kToolbarGrid)
        return nullptr;
    GImageList* list = new GImageList;
    if (!list->CreateImageList(strip->Width() / kToolbarGrid, strip->Height() / kToolbarGrid, strip,
                               kMagenta)) {
        delete list;
        return nullptr;
    }
    return list;
}

} // namespace

void ParseCommandLine(LPCWSTR commandLine) {
    g_App.StartMode = eStartNormal;
    g_App.StartFilePath[0] = 0;
    g_App.StartOptionS[0] = 0;
    if (!commandLine)
        return;
    const WCHAR* p = commandLine;
    std::u16string token;
    // The option whose value the next plain word is: 'f', 's', 'p', or 0 for none.
    WCHAR pending = 0;
    while (NextToken(p, &token)) {
        if (IsOption(token)) {
            pending = 0;
            if (SameOption(token, u'n'))
                g_App.StartMode = eStartNewMemo;
            else if (SameOption(token, u'f'))
                pending = u'f';
            else if (SameOption(token, u's'))
                pending = u's';
            else if (SameOption(token, u'p'))
                pending = u'p';
            continue;
        }
        if (pending == u'f') {
            // A path cut to fit would name another file: such a start opens nothing.
            if (token.size() < kAppPathLength) {
                ::lstrcpynW(g_App.StartFilePath, token.c_str(), kAppPathLength);
                g_App.StartMode = eStartOpenFile;
            }
        } else if (pending == u's' && token.size() < kAppPathLength) {
            ::lstrcpynW(g_App.StartOptionS, token.c_str(), kAppPathLength);
        }
        pending = 0;
    }
}

void GetProgramArea(RECT* area) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    *area = RECT{0, 0, width, height};
    HWND taskbar = ::FindWindowW(u"HHTaskbar", nullptr);
    RECT bar{};
    if (!taskbar || !::IsWindowVisible(taskbar) || !::GetWindowRect(taskbar, &bar) ||
        bar.right - bar.left <= 0 || bar.bottom - bar.top <= 0)
        return;
    if (bar.top == 0)
        *area = RECT{0, bar.bottom, width, height};
    else
        *area = RECT{0, 0, width, bar.top};
}

int ScaleToButton(int n) {
    return int(n * LONG(g_Settings.ButtonSize) / ApplyHires(16));
}

GImageList* LoadToolbarImages(HINSTANCE instance) {
    // Ten cells of ButtonSize pixels a side; a high-resolution screen always takes 32. The
    // shipped file is drawn for that screen, so a small button size scales it down too.
    DWORD cell = IsHires() ? 32 : g_Settings.ButtonSize;
    if (cell < 8 || cell > 64)
        cell = IsHires() ? 32 : 16;
    const int width = int(cell) * kToolbarGrid;
    const int height = width;
    WCHAR path[MAX_PATH];
    const int folder = GetProgramFolder(path);
    static constexpr WCHAR kName[] = u"\\toolbar.bmp";
    if (folder > 0 && folder + ::lstrlenW(kName) < MAX_PATH) {
        ::lstrcatW(path, kName);
        GImage image;
        image.SetOutputWidth(width);
        image.SetOutputHeight(height);
        if (image.Load(path) && image.GetGDib())
            if (GImageList* list = CutIntoGrid(image.GetGDib()))
                return list;
    }
    GDib* strip = ScaledBitmap(::LoadBitmapW(instance, MAKEINTRESOURCEW(kToolbarFallbackResource)),
                               width, height);
    GImageList* list = CutIntoGrid(strip);
    delete strip;
    return list;
}

GDib* LoadButtonFrame(HINSTANCE instance) {
    HBITMAP bitmap = ::LoadBitmapW(instance, MAKEINTRESOURCEW(kButtonFrameResource));
    if (!bitmap)
        return nullptr;
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    const int scale = IsHires() ? 2 : 1;
    GDib* frame = ScaledBitmap(bitmap, info.bmWidth * scale, info.bmHeight * scale);
    if (frame)
        frame->SetTransColor(kMagenta);
    return frame;
}

HICON LoadProgramIcon(HINSTANCE instance) {
    gdi::Bitmap color(::LoadBitmapW(instance, MAKEINTRESOURCEW(kProgramIconResource)));
    if (!color)
        return nullptr;
    BITMAP info{};
    ::GetObjectW(color, sizeof info, &info);
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    HICON icon = nullptr;
    if (width > 0 && height > 0) {
        // The mask is set where the picture is magenta; there the colour must be black.
        const int stride = ((width + 15) / 16) * 2;
        std::vector<BYTE> maskBits(size_t(stride) * size_t(height), 0);
        {
            gdi::MemoryDC dc(nullptr);
            gdi::Select sel(dc, color);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    if (::GetPixel(dc, x, y) == kMagenta) {
                        maskBits[size_t(y) * size_t(stride) + size_t(x / 8)] |=
                            BYTE(0x80 >> (x % 8));
                        ::SetPixel(dc, x, y, RGB(0, 0, 0));
                    }
        }
        gdi::Bitmap mask(::CreateBitmap(width, height, 1, 1, maskBits.data()));
        if (mask) {
            ICONINFO ii{TRUE, 0, 0, mask, color};
            icon = ::CreateIconIndirect(&ii);
        }
    }
    return icon;
}

int ReloadToolbarImage() {
    GScribboMain* main = GScribboMain::Instance();
    if (!main || !main->GetSafeHwnd())
        return 0;
    GImageList* list = LoadToolbarImages(g_App.hInstance);
    if (!list) {
        ShowStartupError(kToolbarImageMessage);
        return 0;
    }
    main->SetToolbarImages(list);
    delete g_App.ToolbarImages;
    g_App.ToolbarImages = list;
    RECT area;
    GetProgramArea(&area);
    ::MoveWindow(*main, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    return 1;
}

void ShowStartupError(LPCWSTR text) {
    AppMessageBox(nullptr, text, u"오류", 0, -1, 0, 255, 0);
}
