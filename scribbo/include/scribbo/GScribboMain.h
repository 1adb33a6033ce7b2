// The main window: the list side (title view, folder or date bar, toolbar) left of a splitter,
// the list colour right of it, and the pad view as a popup over the whole screen. It lives for
// the program's whole life; destroying it ends the program.
#pragma once

#include "scribbo/GDateListBar.h"
#include "scribbo/GFolderListBar.h"
#include "scribbo/GPadView.h"
#include "scribbo/GTitleView.h"
#include "scribbo/GToolBarEx.h"
#include "winza/Winza.h"

class GImageList;

class GScribboMain : public Winza {
public:
    GScribboMain();
    ~GScribboMain() override;
    LPCWSTR GetClassNameW() override { return u"GScribboMain"; }
    int RegisterClassW() override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // The one main window of the process while it exists, else null.
    static GScribboMain* Instance();

    // Lays the list side out again from the splitter; repaints when asked.
    void RecalcLayout(int invalidate);
    // The toolbar draws from this list from now on (the caller keeps owning it).
    void SetToolbarImages(GImageList* list);
    // The colour of the list bar shown: the main window's right area and the pad view's bars.
    COLORREF GetListColor() const;
    // The list colour changed: the area right of the splitter and the pad view take it.
    void InvalidateListColor();

    RECT GetSplitterRect() const { return m_rcSplitter; }
    GToolBarEx* GetToolBar() { return &m_toolbar; }
    GDateListBar* GetDateListBar() { return &m_dateBar; }
    GFolderListBar* GetFolderListBar() { return &m_folderBar; }
    GTitleView* GetTitleView() { return &m_titleView; }
    int IsSliding() const { return m_nStep != 0; }
    // The pad view and the title view windows (null while they do not exist).
    HWND GetPadViewWnd() const { return m_padView.GetSafeHwnd(); }
    GPadView* GetPadView() { return &m_padView; }
    HWND GetTitleViewWnd() const { return m_hTitleViewWnd; }
    // Where the list bars send their notices: the title view, else this window.
    HWND GetListOwnerWnd() const { return m_hTitleViewWnd ? m_hTitleViewWnd : m_hWnd; }

    static constexpr UINT kSlideTimer = 16;
    static constexpr UINT kSlideMs = 10;

protected:
    LRESULT OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonUp(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    void CreateToolBar();
    void CreateTitleView();
    void CreateDateListBar();
    // The pad view popup, and the memo a direct start asked for.
    void CreatePadView();
    void CreateFolderListBar();
    // The memo store's whole scan into the date index (start-up and the rescan command).
    void RescanMemoStore();
    // Shows the buttons and the bar of the navigation and view modes in the settings.
    void ApplyModes();
    void StartSlide();
    void StepSlide();
    // Inverts the splitter rectangle on the screen (drawn twice it is gone).
    void DrawDragFeedback();
    void MoveSplitterBy(int dx);
    void EndProgram();
    // The program settings; on OK the toolbar images are loaded again and the window re-laid.
    void OpenOptions();

    // The title view reads the listed folder and its lock through this.
    class FolderSource : public TitleFolderSource {
    public:
        explicit FolderSource(GFolderListBar* bar) : m_bar(bar) {}
        LPCWSTR GetFolderPath() override { return m_bar->GetFolderPath(); }
        int IsLocked() override { return m_bar->IsLocked(); }
        void Unlock() override { m_bar->Unlock(); }
        void StartPick(int mode) override { m_bar->StartPick(mode); }

    private:
        GFolderListBar* m_bar;
    };

    GFolderListBar m_folderBar;
    FolderSource m_folderSource{&m_folderBar};
    GTitleView m_titleView;
    GDateListBar m_dateBar;
    GToolBarEx m_toolbar;
    GPadView m_padView;
    RECT m_rcSplitter{0, 0, 0, 0};
    RECT m_rcSaved{0, 0, 0, 0};
    HBRUSH m_hSplitterBrush = nullptr;
    int m_bDragging = 0;
    // Set from a press on the splitter until the pen lifts.
    int m_bPressing = 0;
    int m_nLastX = 0;
    int m_nLastY = 0;
    int m_nStep = 0;
    int m_nAccel = 0;
    int m_nBarHeight = 0;
    int m_nToolbarHeight = 0;
    SIZE m_szClient{0, 0};
    int m_bListSide = 0;
    HWND m_hTitleViewWnd = nullptr;
};
