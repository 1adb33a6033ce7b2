// The translucent preview of a picture file: the picture is decoded on a worker thread,
// scaled down to the window's width while decoding, and abandoned at the decoder's next
// progress call once the preview is hidden or given another file.
#pragma once

#include "picta/GImage.h"
#include "winza/GAnimateWnd.h"

#include <atomic>

class GThumbnailWnd : public GAnimateWnd {
public:
    GThumbnailWnd();
    ~GThumbnailWnd() override;

    LPCWSTR GetClassNameW() override { return u"GThumbnailWnd"; }
    // Hiding stops a running load first.
    void ShowWindow(int cmd) override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The picture scaled to the window in a one-pixel grey frame; white until it has loaded.
    void Draw(HDC hdc, RECT clip) override;

    // Stops a running load, forgets the picture and starts loading path.
    void Start(LPCWSTR path);
    // Sets the cancel flag and waits for the worker to end.
    void Stop();

    LPCWSTR GetPath() const { return m_szPath; }
    // 1 once the worker has the picture (read on the window's thread).
    int IsLoaded() const { return m_bLoaded.load(std::memory_order_acquire); }
    int IsLoading() const { return m_hThread != nullptr && !IsLoaded(); }
    const GImage* GetImage() const { return IsLoaded() ? &m_image : nullptr; }
    // How many progress calls the worker's decoder made (for tests and measurements).
    int GetProgressCalls() const { return m_nProgressCalls.load(std::memory_order_relaxed); }

private:
    static DWORD WINAPI Worker(LPVOID self);
    static int Progress(int percent, void* self);

    WCHAR m_szPath[260];
    GImage m_image;
    std::atomic<LONG> m_nCancel{0};
    HANDLE m_hThread = nullptr;
    std::atomic<int> m_bLoaded{0};
    std::atomic<int> m_nProgressCalls{0};
    int m_nOutputWidth = 0;
};
