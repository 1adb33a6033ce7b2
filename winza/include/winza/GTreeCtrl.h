// The toolkit's tree: a GTree of GTreeItems shown as indented rows with dotted connector
// lines and plus/minus boxes. Branches open and close by stylus or cursor keys; touches are
// reported to an owner object with private messages carrying the control id as lParam.
#pragma once

#include "fundo/GTree.h"
#include "winza/GItemSort.h"
#include "winza/GScrollView.h"

class GImageList;
class GItem;
class GTreeItem;

// Notifications to the owner (the pen-down one, 0x17E9, goes to the parent window).
constexpr UINT kMsgTreeSelected = 0x17EC;
constexpr UINT kMsgTreeChosen = 0x17ED;
constexpr UINT kMsgTreeOpening = 0x17EE;
constexpr UINT kMsgTreeClosing = 0x17EF;
constexpr UINT kMsgTreeLostFocus = 0x17F0;

class GTreeCtrl : public GScrollView {
public:
    GTreeCtrl();
    ~GTreeCtrl() override;

    LPCWSTR GetClassNameW() override;
    int RegisterClassW() override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // The tree's own virtual operations, in slot order. Wherever a position is taken, the
    // special head position stands for the root.
    // A null or empty label gives null and changes nothing; otherwise the old root item is
    // deleted (its children stay) and a new one becomes the root's data.
    virtual POSITION SetRoot(LPCWSTR label);
    virtual POSITION InsertChild(POSITION parent, LPCWSTR label, bool redraw, bool atTail);
    // Null when pos is null or has no parent.
    virtual POSITION InsertSibling(POSITION pos, LPCWSTR label, bool redraw, bool atTail);
    // Exact label match at start, then through start's later siblings (each with its
    // subtree), then in start's children.
    virtual POSITION FindItem(POSITION start, LPCWSTR label);
    virtual POSITION FindChildItem(POSITION parent, LPCWSTR label);
    virtual POSITION GetParentItem(POSITION pos);
    virtual POSITION GetChildItem(POSITION pos);
    virtual POSITION GetNextItem(POSITION pos);
    virtual POSITION GetPrevItem(POSITION pos);
    virtual void SelectItem(POSITION pos, bool redraw);
    // Deletes the item object.
    virtual void DeleteItem(GItem* item);
    // Place every row below pos as drawing does, descending into open rows; the height.
    virtual int CalcItemsRecursive(HDC hdc, POSITION pos, int x, int y);
    virtual int DrawItemsRecursive(HDC hdc, POSITION pos, int x, int y);
    // Nothing here; derived trees draw their icons.
    virtual void DrawItemIcon(HDC hdc, RECT* iconRect, GItem* item, int open);
    virtual void DrawPlusMinus(HDC hdc, RECT* box, COLORREF frame, COLORREF sign, int plus);
    virtual void ToggleItem(POSITION pos, bool redraw);
    // The root, or null while the root has no item.
    virtual POSITION GetFirstDrawPos();
    virtual GItem* CreateItem(LPCWSTR label);
    virtual GTree* CreateItemTree();
    virtual void DeleteItemTree();

    // 0 when the window exists already; otherwise starts with an owned empty tree.
    int Create(HWND parent, Winza* owner, DWORD style, RECT& rect, int id);
    // Uses an outside tree (not owned); an owned tree is deleted with its items first.
    void SetItemTree(GTree* tree, int redraw);
    GTree* GetItemTree() const { return m_pTree; }

    // Removes the item at pos with its subtree and with every sibling that follows it.
    void DeleteItem(POSITION pos, bool redraw);
    // Removes all children of pos.
    void DeleteChildItem(POSITION pos, bool redraw);
    POSITION GetTopItem() const;
    GItem* GetGItem(POSITION pos) const;
    POSITION GetSelItem() const { return m_posSel; }
    void OpenItem(POSITION pos, bool open, bool redraw);
    void OpenParentRecursive(POSITION pos);
    // The row under a client point, searched depth first through open rows.
    POSITION FindItemByPoint(POINT point);

    void SetImageList(GImageList* list) { m_pImageList = list; }
    void SetCompareProc(GItemCompareProc proc) { m_pfnCompare = proc; }
    void SetSortType(eSortType type) { m_eSortType = type; }
    void SetDefBackColor(COLORREF color, bool redraw);
    void SetSelBackColor(COLORREF color, bool redraw);
    void SetDefTextColor(COLORREF color, bool redraw);
    void SetSelTextColor(COLORREF color, bool redraw);
    COLORREF GetDefBackColor() const { return m_crBack; }
    COLORREF GetSelBackColor() const { return m_crSelBack; }
    COLORREF GetDefTextColor() const { return m_crText; }
    COLORREF GetSelTextColor() const { return m_crSelText; }
    COLORREF GetLineColor() const { return m_crLine; }
    void SetDrawLines(bool on, bool redraw);
    void SetDrawRootLine(bool on, bool redraw);
    int GetDrawRootLine() const { return m_bDrawRootLine; }
    void SetFirstIntendX(int x, bool redraw);
    void SetFirstIntendY(int y, bool redraw);
    void SetItemHeight(int height, bool redraw);
    int GetItemHeight() const { return m_nItemHeight; }
    int GetIndent() const { return m_nIndent; }

    void UpdateScroll(int keepSelectionVisible, int redraw);
    int GetContentHeight() const { return m_nContentHeight; }
    int GetContentWidth() const { return m_nContentWidth; }
    int IsKeysEnabled() const { return m_bKeysEnabled; }

protected:
    LRESULT OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonDblClk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnRbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWhell(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // The special head position becomes the root.
    POSITION Resolve(POSITION pos) const;
    GTreeItem* TreeItemAt(POSITION pos) const;
    int IsOpenAt(POSITION pos) const;
    int IsRoot(POSITION pos) const;
    // 1 when pos is node or lies below it.
    int IsInSubtree(POSITION pos, POSITION node) const;
    // 1 when the point lies in the box zone of the row at pos.
    int InBoxZone(POSITION pos, POINT point) const;
    // The row drawn just above / below pos, as the cursor keys move.
    POSITION RowAbove(POSITION pos);
    POSITION RowBelow(POSITION pos);
    void NotifyOwner(UINT msg, WPARAM wParam);
    void DeleteSubtreeItems(POSITION pos);

    Winza* m_pOwner = nullptr;
    int m_nID = -1;
    COLORREF m_crBack = RGB(255, 255, 255);
    COLORREF m_crSelBack = RGB(0, 0, 255);
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crSelText = RGB(255, 255, 255);
    int m_nItemHeight;
    int m_nIndent;
    int m_nFirstIndentX;
    int m_nFirstIndentY;
    int m_bDrawLines = 1;
    COLORREF m_crLine = 0xC0C0C0;
    int m_bDrawRootLine = 1;
    int m_nContentHeight = 0;
    int m_nContentWidth = 0;
    int m_bKeysEnabled = 1;
    GTree* m_pTree = nullptr;
    int m_bOwnTree = 0;
    POSITION m_posSel = nullptr;
    GImageList* m_pImageList = nullptr;
    GItemCompareProc m_pfnCompare = CompareItemLabel;
    eSortType m_eSortType = eSortAscending;

    // Set when the last layout pass placed the selected row.
    int m_bSelPlaced = 0;
};
