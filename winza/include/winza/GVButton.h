// A windowless button: a rectangle inside a host window that draws itself into the host's
// device context, reacts to the stylus events the host hands on, and reports to the host window
// with WM_COMMAND (wParam = MAKEWPARAM(id, code), lParam = the button).
#pragma once

#include <windows.h>

class GDib;
class GImageList;

// State bits of a GVButton.
enum eVButtonFlag : DWORD {
    eVBVisible = 0x1,
    eVBEnabled = 0x2,
    eVBHover = 0x4,
    eVBChecked = 0x8,
    eVBTracking = 0x10,
    eVBFocus = 0x20,
    eVBRadio = 0x100,
    eVBCheckBox = 0x200,
    eVBSpin = 0x400,
    eVBPushed = 0x1000,
    eVBDropDown = 0x2000,
    eVBPress = 0x4000,
    eVBSeparator = 0x10000,
    // Cleared whenever a press ends.
    eVBPressState = eVBTracking | eVBPushed | eVBHover | eVBPress,
};

// Notification codes in the high word of WM_COMMAND's wParam.
enum eVButtonCode {
    eVBCodeClick = 0,
    eVBCodeDown = 2,
    eVBCodeSpinFirst = 10,
    eVBCodeSpinSecond = 11,
};

constexpr int kSeparatorId = 0xFFFF;

class GVButton {
public:
    GVButton();
    explicit GVButton(int id);
    GVButton(int id, int image);
    GVButton(const GVButton&) = delete;
    GVButton& operator=(const GVButton&) = delete;

    // Sets the id and the rectangle; the id 0xFFFF makes a separator.
    virtual void Create(RECT rect, int id);
    // Frame, icon and label, when the button is visible and meets the clip rectangle.
    virtual void Draw(HDC hdc, RECT clip);
    virtual void SetRect(RECT rect);
    virtual void DrawFrame(HDC hdc);
    virtual void DrawImage(HDC hdc);
    virtual void DrawLable(HDC hdc, int format);
    // Input from the host, in its client coordinates; each returns 0.
    virtual int OnLbuttonDown(HWND hwnd, HDC hdc, POINT pt);
    virtual int OnLbuttonUp(HWND hwnd, HDC hdc, POINT pt);
    virtual int OnLbuttonDblClk(HWND hwnd, HDC hdc, POINT pt);
    virtual int OnMouseMove(HWND hwnd, HDC hdc, POINT pt, int penDown);
    virtual int OnTimer(HWND hwnd, int id);
    // Virtual so that hosts may delete derived buttons through this type.
    virtual ~GVButton();

    RECT GetRect() const { return m_rcButton; }
    // A null or empty label leaves the button without one.
    void SetLabel(LPCWSTR label, int format, int margin);
    LPCWSTR GetLabel() const { return m_pLabel; }
    void SetAlignType(int format) { m_nFormat = format; }
    int GetAlignType() const { return m_nFormat; }
    void SetFrameImage(GDib* image) { m_pFrameImage = image; }
    void SetIconDefault(GImageList* list) { m_pIconDefault = list; }
    void SetIconDisable(GImageList* list) { m_pIconDisable = list; }
    void SetIconFocus(GImageList* list) { m_pIconFocus = list; }
    void SetIconHover(GImageList* list) { m_pIconHover = list; }
    GImageList* GetIconDefault() const { return m_pIconDefault; }
    void SetImageIndex(int index) { m_nImage = index; }
    int GetImageIndex() const { return m_nImage; }
    // The id 0xFFFF makes a separator here too.
    void SetID(int id);
    int GetID() const { return m_nID; }
    // Sets or clears the bits; with a context and redraw, a change repaints the button at once.
    void SetFlag(int on, DWORD bits, HDC hdc, int redraw);
    int GetFlag(DWORD bits) const { return (m_dwFlag & bits) != 0; }
    DWORD GetFlags() const { return m_dwFlag; }
    void SetFrameColor(int on, COLORREF fill, COLORREF light, COLORREF dark);
    void SetDefBackColor(int on, COLORREF color);
    void SetTextColor(COLORREF normal, COLORREF disabled);
    // Where DrawLable puts the label.
    RECT GetTextRect(HDC hdc);
    int IsSeparator() const { return m_nID == kSeparatorId || (m_dwFlag & eVBSeparator); }
    // Visible, enabled and not a separator.
    int IsActive() const;

protected:
    // The icon list and cell that DrawImage uses, or null.
    GImageList* PickIcons(int* index, int* dimmed) const;
    // Where the icon goes and where the content rectangle then starts; 0 without an icon.
    int PlaceIcon(const GImageList* list, POINT* at, int* contentLeft) const;
    RECT LabelRect(HDC hdc, const RECT& content, int format) const;
    void Notify(HWND hwnd, int code);
    static int Contains(const RECT& rc, POINT pt);

    int m_nID = -1;
    GDib* m_pFrameImage = nullptr;
    int m_nImage = -1;
    GImageList* m_pIconDefault = nullptr;
    GImageList* m_pIconDisable = nullptr;
    GImageList* m_pIconFocus = nullptr;
    GImageList* m_pIconHover = nullptr;
    WCHAR* m_pLabel = nullptr;
    int m_nFormat = DT_CENTER;
    int m_nMargin = 0;
    RECT m_rcButton{0, 0, 0, 0};
    RECT m_rcContent{0, 0, 0, 0};
    DWORD m_dwFlag = 0;
    int m_bCustomFrame = 0;
    int m_bCustomBack = 0;
    COLORREF m_crBack = 0;
    COLORREF m_crFrameFill = 0;
    COLORREF m_crFrameLight = 0;
    COLORREF m_crFrameDark = 0;
    COLORREF m_crText = 0;
    COLORREF m_crDisableText = 0x808080;
};
