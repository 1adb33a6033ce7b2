#include "scribbo/GThumbnailWnd.h"

#include "winza/DrawHelpers.h"
#include "winza/Hires.h"

#include <platform/winbase.h>

#include <cstring>

namespace {

// Posted by the worker when the picture is there; the window repaints on its own thread.
constexpr UINT kMsgThumbnailLoaded = WM_APP + 0x1F1;
constexpr COLORREF kFrame = 0x666666;

} // namespace

GThumbnailWnd::GThumbnailWnd() {
    std::memset(m_szPath, 0, sizeof m_szPath);
    SetAlpha(192, 0);
    SetTrans(0);
}

GThumbnailWnd::~GThumbnailWnd() {
    Stop();
}

void GThumbnailWnd::Stop() {
    if (!m_hThread)
        return;
    m_nCancel.store(1, std::memory_order_release);
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
}

void GThumbnailWnd::ShowWindow(int cmd) {
    if (cmd == SW_HIDE)
        Stop();
    GAnimateWnd::ShowWindow(cmd);
}

void GThumbnailWnd::Start(LPCWSTR path) {
    Stop();
    // No thread runs now: the picture is this thread's to free.
    m_bLoaded.store(0, std::memory_order_relaxed);
    m_image.Free();
    std::memset(m_szPath, 0, sizeof m_szPath);
    if (path)
        wcsncpy(m_szPath, path, 259);
    m_nCancel.store(0, std::memory_order_relaxed);
    m_nProgressCalls.store(0, std::memory_order_relaxed);
    m_nOutputWidth = Width();
    m_hThread = ::CreateThread(nullptr, 0, Worker, this, 0, nullptr);
    Invalidate(0);
}

int GThumbnailWnd::Progress(int, void* self) {
    auto* wnd = static_cast<GThumbnailWnd*>(self);
    wnd->m_nProgressCalls.fetch_add(1, std::memory_order_relaxed);
    return wnd->m_nCancel.load(std::memory_order_acquire) ? 0 : 1;
}

DWORD WINAPI GThumbnailWnd::Worker(LPVOID param) {
    auto* wnd = static_cast<GThumbnailWnd*>(param);
    if (wnd->m_nCancel.load(std::memory_order_acquire))
        return 0;
    wnd->m_image.Free();
    // Decoding scales the picture down to the preview's width.
    wnd->m_image.SetOutputWidth(wnd->m_nOutputWidth);
    if (wnd->m_image.Load(wnd->m_szPath, Progress, wnd) &&
        !wnd->m_nCancel.load(std::memory_order_acquire)) {
        wnd->m_bLoaded.store(1, std::memory_order_release);
        if (HWND h = wnd->GetSafeHwnd())
            ::PostMessageW(h, kMsgThumbnailLoaded, 0, 0);
    }
    return 0;
}

LRESULT GThumbnailWnd::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kMsgThumbnailLoaded:
            Invalidate(0);
            return 0;
        case WM_LBUTTONDOWN:
            // A press on the preview puts it away.
            ShowWindow(SW_HIDE);
            return 0;
        case WM_DESTROY:
            Stop();
            break;
        default:
            break;
    }
    return GAnimateWnd::WndProc(hwnd, msg, wParam, lParam);
}

void GThumbnailWnd::Draw(HDC hdc, RECT) {
    RECT rc = m_rcClient;
    const int edge = ApplyHires(1);
    const GImage* image = GetImage();
    if (image && image->Width() > 0 && image->Height() > 0) {
        const_cast<GImage*>(image)->Draw(hdc, rc.left, rc.top, rc.right - rc.left,
                                         rc.bottom - rc.top, 0, 0, image->Width(), image->Height(),
                                         1, 255, 0);
        FrameRect(hdc, &rc, kFrame, kFrame, 0, edge,
                  eFrameLeft | eFrameTop | eFrameRight | eFrameBottom);
    } else {
        FrameRect(hdc, &rc, kFrame, kFrame, RGB(255, 255, 255), edge, eFrameAll);
    }
}
