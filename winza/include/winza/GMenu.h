// The toolkit's pop-up menu: a window of GMenuItems that measures and draws them and runs its
// own modal tracking loop. Submenus are further GMenus attached to an item; each runs a
// nested tracking loop of its own while it is open.
#pragma once

#include "fundo/GArray.h"
#include "winza/GAnimateWnd.h"
#include "winza/GMenuItem.h"

#include <windows.h>

class GImageList;

// Results of the tracking handlers and of TrackPopupGMenu; any other value is an item id.
enum eGMenuResult {
    eGMenuKeepTracking = -4,
    eGMenuChooseOpener = -3,
    eGMenuOutsideAll = -2,
    eGMenuClosed = -1,
};

// Where TrackPopupGMenu puts the menu relative to (x, y); the top-left corner otherwise.
enum eGMenuAlign {
    eGMenuCenterX = 0x4,
    eGMenuRightX = 0x8,
    eGMenuCenterY = 0x10,
    eGMenuBottomY = 0x20,
};

// Timers on the menu's own window: the hover that opens a submenu, and the delay before a
// submenu the pen has left is hidden.
constexpr UINT_PTR kGMenuOpenTimer = 13;
constexpr UINT_PTR kGMenuHideTimer = 14;
constexpr UINT kGMenuHideMessage = 0x17F8;
constexpr UINT kGMenuHoverMs = 500;
constexpr int kMenuSeparatorId = 0xFFFF;

class GMenu : public GAnimateWnd {
public:
    GMenu();
    ~GMenu() override;

    LPCWSTR GetClassNameW() override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // Shows the menu at (x, y) as the flags say (unless alreadyShown), then tracks the pen and
    // the keys until a choice: the item id, or -1 when the menu closed without one.
    virtual int TrackPopupGMenu(int flags, int x, int y, int alreadyShown);
    // Lays the items out from the top; rect receives the menu's size.
    virtual void MeasureAllItem(HDC hdc, RECT& rect);
    // Highlights the item under a client point; its index, 0xFFFF over a separator, or -1.
    virtual int HitItem(POINT pt);
    virtual int OnVLbuttonDown(HWND hwnd, POINT pt);
    virtual int OnVLbuttonUp(HWND hwnd, POINT pt);
    virtual int OnVMouseMove(HWND hwnd, POINT pt);
    virtual int OnVTimer(HWND hwnd, int id);
    virtual int OnVKeyDown(HWND hwnd, int key, int data);
    virtual int OnVKeyUp(HWND hwnd, int key, int data);

    // The hidden pop-up window, made once; 0 when it exists already or cannot be made.
    int CreateMenu(HWND parent, Winza* owner);
    void DestroyMenu();
    // Hides the menu (and a submenu still showing) and lets the owner repaint beneath it.
    void HideMenu();

    GMenuItem* AppendMenuW(int id, LPCWSTR text, int indent = 0);
    // The submenu needs its window already; null otherwise.
    GMenuItem* AppendMenuW(GMenu* submenu, LPCWSTR text, int indent = 0);
    GMenuItem* InsertMenuW(int position, int id, LPCWSTR text, int indent = 0);
    GMenuItem* InsertMenuW(int position, GMenu* submenu, LPCWSTR text, int indent = 0);
    // Deletes the item and destroys its submenu's window; 0 for a position out of range.
    int DeleteMenu(int position);
    // Removes the item and hands back its submenu, detached.
    GMenu* RemoveMenu(int position);
    void RemoveAllItem();

    GMenuItem* GetMenuItem(int idOrPosition, int byPosition) const;
    GMenu* GetSubMenu(int position) const;
    int GetMenuItemID(int position) const;
    int GetMenuItemCount() const { return m_items.GetSize(); }
    // Characters copied, or -1 for a separator or an unknown id.
    int GetMenuString(int id, WCHAR* buffer, int count) const;

    int CheckMenuItem(int idOrPosition, int on, int byPosition);
    int EnableMenuItem(int idOrPosition, int on, int byPosition);
    int IsCheckMenuItem(int idOrPosition, int byPosition) const;
    int IsEnableMenuItem(int idOrPosition, int byPosition) const;
    int CheckMenuRadioItem(int first, int last, int checked, int byPosition);

    void SetCurIndex(int index);
    int GetCurIndex() const { return m_nCurIndex; }
    int GetHitIndex() const { return m_nHitIndex; }
    // A screen point: 1 when it lies inside the frame over another item than the current one.
    int HitTest(POINT screen);

    int SetMenuImage(GImageList* list, int copy);
    GImageList* GetMenuImage() const { return m_pImageList; }
    void SetFrameColor(int on, COLORREF fill, COLORREF light, COLORREF dark);
    void SetAlignType(int format) { m_nTextFormat = format; }
    void SetMinWidth(int width) { m_nMinWidth = width; }
    void SetItemWidth(int width) { m_nMaxWidth = width; }
    void SetItemHeight(int height) { m_nItemHeight = height; }
    int GetItemHeight() const { return m_nItemHeight; }
    void SetIconWidth(int width) { m_nIconWidth = width; }
    void SetParentMenu(GMenu* parent) { m_pParentMenu = parent; }
    GMenu* GetParentMenu() const { return m_pParentMenu; }
    int SetDefaultItem(int) { return 1; }
    int GetDefaultItem() const { return 0; }
    Winza* GetOwner() const { return m_pOwner; }
    GMenu* GetOpenSubMenu() const { return m_pOpenSubMenu; }
    int GetBorder() const { return m_nBorder; }

protected:
    GMenuItem* ItemAt(int index) const { return static_cast<GMenuItem*>(m_items.GetAt(index)); }
    int FindById(int id) const;
    GMenuItem* MakeItem(int id, LPCWSTR text, int indent, int format);
    GMenuItem* MakeSubMenuItem(GMenu* submenu, LPCWSTR text, int indent);
    void Insert(int position, GMenuItem* item);
    void DeleteItem(GMenuItem* item);
    // The item under a client point without touching any highlight; -1 outside, 0xFFFF over a
    // separator.
    int ItemFromPoint(POINT pt) const;
    // An item the pen or the keys may land on: visible, enabled, not a separator.
    int IsSelectable(int index) const;
    void Highlight(int index);
    void Repaint();
    // Places the measured menu on the screen as TrackPopupGMenu's flags say.
    RECT PlaceMenu(int flags, int x, int y, SIZE size) const;
    void Show(int flags, int x, int y);
    GMenu* RootMenu();

    // The loop and the shared way of opening a submenu.
    int RunTrackingLoop();
    int OpenSubMenu(int index, int byKey);
    int ResumeSubMenu();
    int SubMenuResult(int result);
    int CloseWithResult(int result);
    // The tracking menu has let go: capture to the parent (or nobody), highlight cleared.
    void ReturnToParent();
    void ForwardToOwner();

    Winza* m_pOwner = nullptr;
    GMenu* m_pParentMenu = nullptr;
    GMenu* m_pOpenSubMenu = nullptr;
    GArray m_items;
    GImageList* m_pImageList = nullptr;
    int m_bOwnImageList = 0;
    int m_nCurIndex = -1;
    int m_nSpare = -1;
    int m_nOpenSubIndex = -1;
    int m_nHitIndex = -1;
    int m_bCustomFrame = 0;
    COLORREF m_crFrameFill = 0;
    COLORREF m_crFrameLight = 0;
    COLORREF m_crFrameDark = 0;
    int m_nBorder;
    int m_nBottomMargin;
    int m_nItemHeight;
    int m_nMinWidth;
    int m_nMaxWidth;
    int m_nIconWidth;
    int m_nTextFormat = 0;
    int m_nLabelMargin;
    POINT m_ptLast{-1, -1};
    int m_bKeyStateValid = 1;

    // The pen message the loop is handling, in screen coordinates, and (in the top-level
    // menu) the tap outside every menu that should reach the owner once all are closed.
    struct PenMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        POINT screen{0, 0};
        int valid = 0;
    };
    PenMessage m_penMessage;
    PenMessage m_forward;
};
