// The ink engine's front object, one per open memo: the pixel buffers the pad view shows,
// the pages, the view matrix (page to buffer pixels), the tool settings, and the pen-input
// state machine that turns pen events into stroke objects drawn as they grow. Coordinates
// received are buffer pixels; stroke points stored are page coordinates in 16.16. Every
// drawing operation returns the buffer rectangle that changed; nothing here touches windows.
#pragma once

#include "fundo/Containers.h"
#include "fundo/GDib.h"
#include "fundo/Geometry.h"
#include "inkra/FileVersion.h"
#include "inkra/GDObject.h"
#include "inkra/InkraPage.h"

#include <windows.h>

class GFile;
struct _FILE_VERSION;

// Pages one memo can hold.
inline constexpr int INKRA_MAX_PAGES = 99;
// Points of one stroke object; longer strokes continue in a new object.
inline constexpr int INKRA_STROKE_POINTS = 1024;

class InkraMan {
public:
    InkraMan();
    // Copies share the bitmaps' sections and the pages (each page counts one more
    // attachment); the mask is duplicated and the copy has no memory DC of its own.
    InkraMan(const InkraMan& other);
    InkraMan& operator=(const InkraMan& other);
    virtual ~InkraMan();

    // Overridable operations, in slot order; the manager calls its own through them.
    virtual int InitBuffer(HDC dc, int width, int height);
    virtual void ReleaseBuffer();
    virtual void SetBackColor(HDC dc, COLORREF colour, int rebuild);
    virtual tagRECT LButtonDown(int x, int y, int pressure);
    virtual tagRECT LButtonUp(int x, int y, int pressure);
    virtual tagRECT MouseMove(int x, int y, int pressure);
    virtual int AddPage(InkraPage* page, int redraw);
    virtual int InsertPage(InkraPage* page, int index, int redraw);
    virtual int DeletePage(InkraPage* page, int redraw);
    virtual int SetCurPage(int index, int redraw);
    virtual int NextPage();
    virtual int PrevPage();
    virtual void ClearCurPage();
    virtual void RemoveAllPage();
    virtual void SetBufferInfo(int which);
    virtual void SetPenColor(COLORREF colour) { m_crPen = colour; }
    virtual void SetPencelColor(COLORREF colour) { m_crPencel = colour; }
    virtual void SetMarkerColor(COLORREF colour) { m_crMarker = colour; }
    virtual void SetColorPenColor(COLORREF colour) { m_crColorPen = colour; }
    virtual void SetBrushColor(COLORREF colour) { m_crBrush = colour; }
    virtual void SetAirBrushColor(COLORREF colour) { m_crAirBrush = colour; }
    virtual void SetPenWidth(LONG width) { m_nPenWidth = width; }
    virtual void SetPencelWidth(LONG width) { m_nPencelWidth = width; }
    virtual void SetEraserWidth(LONG width) { m_nEraserWidth = width; }
    virtual void SetMarkerWidth(LONG width) { m_nMarkerWidth = width; }
    virtual void SetDelStrokeWidth(LONG width) { m_nDelStrokeWidth = width; }
    virtual void SetColorPenWidth(LONG width) { m_nColorPenWidth = width; }
    virtual void SetBrushWidth(LONG width) { m_nBrushWidth = width; }
    virtual void SetAirBrushWidth(LONG width) { m_nAirBrushWidth = width; }
    virtual void SetMaxAlpha(int alpha) { m_nMaxAlpha = alpha; }

    // Buffers and drawing.
    int InitBuffer(HDC dc, COLORREF colour, int width, int height);
    COLORREF GetBackColor() const { return m_crBack; }
    void DrawBuffer(HDC dc, int x, int y, int width, int height, int srcX = -1, int srcY = -1);
    void DrawBuffer(GDib* target, int x, int y, int width, int height, int srcX = -1,
                    int srcY = -1);
    // Redraws rect (clamped to the page's clip in place): background, then the current page.
    void UpdateBuffer(tagRECT& rect);
    // Draws the current page's ink in rect (clamped in place) over what the buffer holds
    // already, without putting the background back first: for a buffer just filled with it.
    void DrawPageInk(tagRECT& rect);
    tagRECT DrawGDObject(GDObject* object);
    GDib* GetBufferBlock() { return &m_BufferBlock; }
    GDib* GetBackBlock() { return &m_BackBlock; }
    BYTE* GetMaskBlock() const { return m_pMask; }
    HDC GetMemDC() const { return m_hMemDC; }
    int Width() const { return m_BufferBlock.Width(); }
    int Height() const { return m_BufferBlock.Height(); }
    tagRECT GetVScreen() const;
    // which < 0: the current page; 99: every page; else the page at that index.

    // View matrix.
    void TranslateMatrix(LONG tx, LONG ty);
    void ScaleMatrix(LONG sx, LONG sy);
    void RotateMatrixAngle(LONG angle);
    void RotateMatrixCXCY(LONG, LONG) {}
    void RotateMatrixTan(LONG, LONG) {}
    const MATRIX* GetMatrix() const { return &m_mView; }
    const MATRIX* GetIMatrix() const { return &m_mInverse; }

    // Tool settings.
    void SetDOStrokeType(eDOStrokeType type) { m_eStrokeType = type; }
    eDOStrokeType GetDOStrokeType() const { return m_eStrokeType; }
    COLORREF GetPenColor() const { return m_crPen; }
    COLORREF GetPencelColor() const { return m_crPencel; }
    COLORREF GetMarkerColor() const { return m_crMarker; }
    COLORREF GetColorPenColor() const { return m_crColorPen; }
    COLORREF GetBrushColor() const { return m_crBrush; }
    COLORREF GetAirBrushColor() const { return m_crAirBrush; }
    LONG GetPenWidth() const { return m_nPenWidth; }
    LONG GetPencelWidth() const { return m_nPencelWidth; }
    LONG GetEraserWidth() const { return m_nEraserWidth; }
    LONG GetMarkerWidth() const { return m_nMarkerWidth; }
    LONG GetDelStrokeWidth() const { return m_nDelStrokeWidth; }
    LONG GetColorPenWidth() const { return m_nColorPenWidth; }
    LONG GetBrushWidth() const { return m_nBrushWidth; }
    LONG GetAirBrushWidth() const { return m_nAirBrushWidth; }
    int GetMaxAlpha() const { return m_nMaxAlpha; }
    // Both return the previous value; the pages follow at once.
    int SetUseCompensate(int use);
    int SetUseCurve(int use);
    int GetUseCompensate() const { return m_bUseCompensate; }
    int GetUseCurve() const { return m_bUseCurve; }
    void SetLineFactor(double factor);
    LONG GetLineFactor() const { return m_nLineFactor; }
    LONG GetDevideFactor() const { return m_nDevideFactor; }
    int GetMultiFactor() const { return m_nMultiFactor; }
    void SetObjectChanged(int changed = 1) { m_bChanged = changed; }
    int IsChangedObject() const { return m_bChanged; }
    int IsTracking() const { return m_bTracking; }

    // Pages.
    InkraPage* CreatePage();
    void DestroyPage(InkraPage* page);
    int GetPageIndex(const InkraPage* page) const;
    int GetPageNum() const { return m_Pages.GetSize(); }
    InkraPage* GetPage(int index) const { return static_cast<InkraPage*>(m_Pages.GetAt(index)); }
    InkraPage* GetCurPage() const { return m_pCurPage; }
    int GetCurPageIndex() const { return m_nCurPage; }

    // Objects.
    GDObject* CreateGDObject();
    tagRECT DeleteGDObject(GDObject* object);
    GDObject* GetCurObject() const { return m_pCurObject; }
    tagRECT AddStrokePoint(GDObject* object, GWPOINT* slot);

    // Pen input: x, y in buffer pixels, pressure 0-255.

    // The memo body.
    int Save(GFile* file, _FILE_VERSION& version);
    int Load(GFile* file, _FILE_VERSION& version, tagPOINT& extent);

protected:
    // Width and opacity of the current tool for a new point.
    void ApplyToolParameters(GWPOINT& p, int pressure) const;
    // Stops using the stroke in progress (its page changes or goes away).
    void DropStroke(bool objectGone);
    // Copies the scratch points into the current object and starts the next one at the
    // smoothed position.
    tagRECT SplitStroke(int pressure);
    // Clears the part of the mask that can be non-zero.
    void ClearMask();
    // Widens the part of the mask that can be non-zero by a drawn rectangle.
    void MaskTouched(const tagRECT& drawn);
    tagRECT FullRect() const { return tagRECT{0, 0, Width(), Height()}; }
    // The buffers, mask and memory DC at this size with nothing drawn in them: a subclass
    // that fills the background itself fills it once. 1 on success, 0 (all released) on failure.
    int MakeBuffers(HDC dc, int width, int height);
    void UpdateAll();
    void AfterMatrixChange();
    void CopyFrom(const InkraMan& other);

    GDib m_BufferBlock;
    GDib m_BackBlock;
    BYTE* m_pMask = nullptr;
    // Where the mask can be non-zero: strokes and their pieces clear only that.
    inkra::detail::MaskArea m_MaskArea{true, 0, 0, -1, -1};
    GWPOINT m_Points[INKRA_STROKE_POINTS];
    GWPOINT* m_pNextPoint = nullptr;
    COLORREF m_crBack = 0x00C0FFFF;
    HDC m_hMemDC = nullptr;
    HBITMAP m_hOldBitmap = nullptr;
    tagRECT m_rcVScreen{0, 0, 0, 0};
    MATRIX m_mView;
    MATRIX m_mInverse;
    int m_bUseCompensate = 1;
    int m_bTracking = 0;
    int m_nLastX = -1;
    int m_nLastY = -1;
    double m_fPosX = 0;
    double m_fPosY = 0;
    double m_fVelX = 0;
    double m_fVelY = 0;
    int m_nObjectKind = DO_STROKE;
    eDOStrokeType m_eStrokeType = eDOPen;
    int m_bUseCurve = 0;
    COLORREF m_crPen = 0;
    COLORREF m_crMarker = 0;
    COLORREF m_crPencel = 0;
    COLORREF m_crColorPen = 0;
    COLORREF m_crBrush = 0;
    COLORREF m_crAirBrush = 0;
    LONG m_nPenWidth = 0x8000;
    LONG m_nMarkerWidth = 6 * FIXED_ONE;
    LONG m_nEraserWidth = 8 * FIXED_ONE;
    LONG m_nDelStrokeWidth = 13107;
    LONG m_nPencelWidth = FIXED_ONE;
    LONG m_nColorPenWidth = 2 * FIXED_ONE;
    LONG m_nBrushWidth = 5 * FIXED_ONE;
    LONG m_nAirBrushWidth = 5 * FIXED_ONE;
    int m_nMaxAlpha = 128;
    int m_nMultiFactor = 1;
    LONG m_nLineFactor = INK_LINE_FACTOR;
    LONG m_nDevideFactor = INK_DIVIDE_FACTOR;
    GArray m_Pages;
    InkraPage* m_pCurPage = nullptr;
    int m_nCurPage = -1;
    int m_bChanged = 1;
    GDObject* m_pCurObject = nullptr;
    GWPOINT m_ptBeforePrevious{};
    GWPOINT m_ptPrevious{};
};
