// One page of a memo: drawing objects in drawing order (first = bottom) and the background
// text objects laid out from a template. Attached to a draw manager, the page draws into the
// manager's buffer through its mask and clip. Rectangles from drawing are buffer pixels;
// rectangles from object bounds are page coordinates.
#pragma once

#include "fundo/Containers.h"
#include "fundo/GDib.h"
#include "fundo/Geometry.h"
#include "inkra/GDObject.h"
#include "inkra/InkBrush.h"
#include "inkra/MaskArea.h"
#include "inkra/StrokePainter.h"

#include <windows.h>

class GFile;
class GStringFile;
struct _FILE_VERSION;

// Units of the background-text work buffer (8192 bytes): one line of the text file.
inline constexpr int INK_BACK_TEXT_UNITS = 4096;
// How background text lines are drawn: one line from the top-left of their rectangle.
inline constexpr BYTE INK_BACK_TEXT_FORMAT = DT_SINGLELINE;

// Start of every bounds union: any real rectangle replaces it at once.
inline constexpr LONG PAGE_UNION_START = 100000;

class InkraPage {
public:
    InkraPage();
    // Arrays take their own buffers holding the same object pointers.
    InkraPage(const InkraPage& other);
    InkraPage& operator=(const InkraPage& other);
    // Frees the arrays only: objects are released by DetachDrawMan or RemoveAllGDObject.
    ~InkraPage() = default;

    // Back to the state of a new page, forgetting (not releasing) every object.
    void InitInkraPage();

    // Attachment to a draw manager.
    int AttachDrawMan(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, LONG lineFactor,
                      LONG divideFactor, int useCurve);
    // Stores the values only while attached.
    void SetDrawMan(GDib* buffer, GDib* back, BYTE* mask, tagRECT clip, LONG lineFactor,
                    LONG divideFactor, int useCurve);
    // The new count; below 1 every object of both lists is released first.
    int DetachDrawMan();
    int GetAttachCount() const { return m_nAttach; }
    void SetValidRect(tagRECT clip) { m_rcClip = clip; }
    tagRECT GetValidRect() const { return m_rcClip; }
    LONG GetLineFactor() const { return m_nLineFactor; }
    LONG GetDevideFactor() const { return m_nDevideFactor; }
    int GetUseCurve() const { return m_bUseCurve; }
    GDib* GetBufferBlock() const { return m_pBuffer; }
    // While a pencil stroke is written: where the mask can be non-zero, kept up to date by
    // each piece, so that a piece clears only that instead of the whole mask. Null stops it.
    void TrackPencelMask(inkra::detail::MaskArea* area) { m_pPencelArea = area; }

    // Object list. Results are object bounds (page coordinates).
    tagRECT AddGDObject(GDObject* object);
    tagRECT AddGDObject(GArray* objects);
    tagRECT InsertGDObjectH(GDObject* object);
    tagRECT InsertGDObjectH(GArray* objects);
    tagRECT InsertGDObjectT(GDObject* object) { return AddGDObject(object); }
    tagRECT InsertGDObjectT(GArray* objects) { return AddGDObject(objects); }
    tagRECT DeleteGDObject(GDObject* object, int release);
    // Eraser strokes in the list stay on the page; the array is emptied.
    tagRECT DeleteGDObject(GArray* objects, int release);
    tagRECT DeleteGDObject(const MATRIX* matrix, tagRECT rect, BYTE* mask, int release);
    // Objects wholly inside rect (through matrix).
    tagRECT SelectGDObject(const MATRIX* matrix, tagRECT rect, GArray* out);
    // Objects whose ink the mask touches.
    tagRECT SelectGDObject(const MATRIX* matrix, tagRECT rect, BYTE* mask, GArray* out);
    // Releases what to holds, then fills it with new copies.
    tagRECT CopyGDObject(GArray* from, GArray* to);
    tagRECT CopyGDObject(GDObject* object, GArray* to);
    tagRECT CopyGDObject(const MATRIX* matrix, tagRECT rect, GArray* to);
    tagRECT CopyGDObject(const MATRIX* matrix, tagRECT rect, BYTE* mask, GArray* to);
    // Releases what to holds, then moves the objects out of the page into it.
    tagRECT CutGDObject(GArray* from, GArray* to);
    tagRECT CutGDObject(GDObject* object, GArray* to);
    tagRECT CutGDObject(const MATRIX* matrix, tagRECT rect, GArray* to);
    tagRECT CutGDObject(const MATRIX* matrix, tagRECT rect, BYTE* mask, GArray* to);
    void RemoveAllGDObject();
    int GetTotalGDObjectNum() const { return m_Objects.GetSize(); }
    // Strokes that show ink: not erasers, not stroke-delete trails.
    int GetVisibleGDObjectNum() const;
    GDObject* GetGDObject(int index) const {
        return static_cast<GDObject*>(m_Objects.GetAt(index));
    }
    int FindGDObject(const GDObject* object) const;
    int GetBackTextObjectNum() const { return m_BackObjects.GetSize(); }
    GDObject* GetBackTextObject(int index) const {
        return static_cast<GDObject*>(m_BackObjects.GetAt(index));
    }

    // Hit tests against the mask: 1 when hit.
    int HitTest(GDObject* object, const MATRIX* matrix, tagRECT rect, BYTE* mask);
    int HitTestLine(BYTE* mask, GWPOINT& p1, GWPOINT& p2);
    int HitTestPoint(BYTE* mask, GWPOINT& p);

    // Drawing; results are buffer pixels. drawn is 0 when nothing was drawn.
    tagRECT DrawLine(InkRasterProc raster, InkBlendProc blend, GWPOINT& p1, GWPOINT& p2, int& drawn,
                     BYTE r, BYTE g, BYTE b);
    tagRECT DrawCurve(InkRasterProc raster, InkBlendProc blend, GWPOINT& p0, GWPOINT& p1,
                      GWPOINT& p2, int& drawn, BYTE r, BYTE g, BYTE b);
    tagRECT DrawGDObject(HDC dc, GDObject* object, const MATRIX* view, const MATRIX* inverse);
    tagRECT DrawGDObject(HDC dc, GArray* objects, const MATRIX* view, const MATRIX* inverse);
    tagRECT DrawPage(HDC dc, const MATRIX* view, const MATRIX* inverse);
    tagRECT DrawTextBackgound(HDC dc, const MATRIX* view, const MATRIX* inverse);

    // Lays the lines of a text file out as background text objects on successive line
    // rectangles (lineRect, then moved down by its height each line) with the dc's font,
    // breaking lines wider than lineRect. buffer (INK_BACK_TEXT_UNITS) and position carry a
    // line not yet laid out from one page to the next; both start empty. Returns 1 once lines
    // lines are laid (or at once when lines < 1), 0 when the file ends first or dc or buffer
    // is null.
    int AddBackTextObject(GStringFile& file, HDC dc, COLORREF colour, tagRECT lineRect, int lines,
                          WCHAR* buffer, int& position);
    // The same for a text area of a template: the first line is the top lineHeight of area.
    int AddBackTextObject(GStringFile& file, HDC dc, COLORREF colour, tagRECT area, int lineHeight,
                          int lines, WCHAR* buffer, int& position);
    void RemoveAllBackTextObject();

    // The memo body record of this page.
    int Load(GFile* file, _FILE_VERSION& version, tagPOINT& extent);
    int Save(GFile* file, _FILE_VERSION& version);
    // The number of bytes Save writes for version.
    unsigned long long SavedSize(const _FILE_VERSION& version) const;

private:
    // The clip limited to the buffer, so that no rasteriser leaves the pixels.
    tagRECT DrawClip() const;
    // The object's bounds through view miss the clip: a redraw passes it by.
    bool OutsideClip(const GDObject* object, const MATRIX* view) const;
    // Draws one object; clearWhole clears the whole mask after a stroke, else only the part
    // the stroke can have touched (the mask was zero before).
    tagRECT DrawObject(HDC dc, GDObject* object, const MATRIX* view, const MATRIX* inverse,
                       bool& clearWhole);
    // A whole-list redraw in row bands on threads of their own, with the pixels of a single
    // pass; false (nothing drawn) when the list is small or holds what must be drawn in one.
    bool DrawBanded(GArray* objects, const MATRIX* view, const MATRIX* inverse, tagRECT& result);
    // The page's drawing state as a painter over the whole buffer.
    inkra::detail::StrokePainter Painter() const;
    // Draws a text object into dc inside the clip; text never reports a drawn rectangle.
    void DrawTextObject(HDC dc, const GDObject* object, const MATRIX* view);
    // One background text object for count units of text on rect.
    void AddBackTextLine(WCHAR* text, int count, COLORREF colour, const tagRECT& rect);
    void ClearMask(const tagRECT* area);
    // Removes the object from the list; 1 when it was there.
    int Unlink(GDObject* object);
    static void ReleaseAll(GArray& list);

    GArray m_Objects;
    GArray m_BackObjects;
    int m_nAttach = 0;
    GDib* m_pBuffer = nullptr;
    GDib* m_pBack = nullptr;
    BYTE* m_pMask = nullptr;
    tagRECT m_rcClip{0, 0, 0, 0};
    LONG m_nLineFactor = 0;
    LONG m_nDevideFactor = 0;
    int m_bUseCurve = 0;
    // While a pencil stroke is redrawn: where its mask can be non-zero, so that each piece
    // clears only that instead of the whole mask.
    inkra::detail::MaskArea* m_pPencelArea = nullptr;
};

// How many row bands a whole-page redraw may use at most: 0 (the default) as many as the
// processor has cores (up to 4), 1 a single pass.
void InkraSetRedrawBands(int count);

// Page records come from a library-wide pool shared by every thread that loads memos.
InkraPage* AllocInkraPage();
// The record back to the pool; its objects must have been released (DetachDrawMan).
void FreeInkraPage(InkraPage* page);
