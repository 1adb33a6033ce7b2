// One memo in memory: the ink engine's draw manager with the paper it is written on, its
// title, note, alarm record, background picture and the scroll position of every page. The
// paper (colour, picture, ruled lines, background text of the current page) is drawn into a
// buffer of its own, which also serves the engine as the back block, so erasing and redrawing
// show paper.
#pragma once

#include "inkra/InkraMan.h"
#include "scribbo/MemoBlocks.h"
#include "scribbo/TemplateHeader.h"
#include "scribbo/WarmBlock.h"

#include <windows.h>

#include <memory>
#include <vector>

class GFile;
class GImage;

// A memo made into bytes but not yet compressed: the header up to the page count, then every
// page's record back to back in one block. Making it is quick; compressing and writing it can
// happen on another thread. An image made again reuses its block when it is large enough.
struct MemoImage {
    std::vector<BYTE> head;
    std::unique_ptr<BYTE[]> body;
    size_t bodyCapacity = 0;
    // Where each page's record ends in body.
    std::vector<size_t> pageEnds;
};

inline constexpr int kMemoTitleChars = 32; // with the terminator
inline constexpr int kMemoNoteChars = 512;
inline constexpr int kMemoPathChars = 260;
// The user font of background text.
inline constexpr WCHAR kBackTextFont[] = u"\uAD74\uB9BC";

class GPadDrawMan : public InkraMan {
public:
    GPadDrawMan();
    GPadDrawMan(const GPadDrawMan&) = delete;
    GPadDrawMan& operator=(const GPadDrawMan&) = delete;
    ~GPadDrawMan() override;

    int InitBuffer(HDC dc, int width, int height) override;
    void SetBackColor(HDC dc, COLORREF colour, int rebuild) override;
    int InsertPage(InkraPage* page, int index, int redraw) override;
    int DeletePage(InkraPage* page, int redraw) override;
    int SetCurPage(int index, int redraw) override;
    void RemoveAllPage() override;
    // A stroke that ends changes the memo, and a save follows: a large memo (one opened or
    // started new, not a page lent to another view) gets its save's memory made ready now, on
    // another thread.
    tagRECT LButtonUp(int x, int y, int pressure) override;

    // A new memo: the default paper, the pen settings of the settings record, default alarm,
    // no state, title or note.
    void NewMemo();
    // The default paper and picture of the settings, and its colour as the back colour.
    void ApplyTemplate();
    // 1 when the picture loaded; else the memo shows none and 0.
    int SetBackImage(LPCWSTR path);
    GImage* GetBackImage() const { return m_pBackImage; }
    // Shows a picture owned elsewhere (another memo's), or none.
    void ShowBackImage(GImage* image);
    const WCHAR* GetBackImagePath() const { return m_szBackImagePath; }
    // The picture bytes the memo carries in its file (empty when it carries none).
    const std::vector<BYTE>& GetEmbeddedPicture() const { return m_Embedded; }
    // Path and carried bytes as a memo file holds them, without reading or decoding the
    // picture; the paper's picture fields are left to the caller. size 0: no bytes carried.
    void SetStoredPicture(LPCWSTR path, const BYTE* data, DWORD size);
    TemplateHeader* GetTemplate() { return &m_Template; }
    // Takes the paper's page size as the page's clip and view rectangle.
    void ApplyPageSize();

    // Paper, then the current page: what the view shows.
    void Render();
    // Paper only (into the paper buffer and the back block).
    void DrawPaper();
    // Lays a text file over the writing lines of the pages (new pages at the end when
    // createPages is set); 1 when the file was read.
    int ImportBackText(LPCWSTR path, COLORREF colour, int createPages);
    int GetTextSize() const { return m_nTextSize; }
    void SetTextSize(int size) { m_nTextSize = size; }
    GDib* GetPaperBlock() { return &m_Paper; }

    // Title (at most 31 characters) and note (at most 511); longer texts are cut.
    int GetTitle(WCHAR* out) const;
    void SetTitle(LPCWSTR title);
    const WCHAR* GetNote() const { return m_szNote; }
    void SetNote(LPCWSTR note);
    const WCHAR* GetSoundPath() const { return m_szSoundPath; }
    void SetSoundPath(LPCWSTR path);
    StateBlock* GetState() { return &m_State; }
    AlarmBlock* GetAlarm() { return &m_Alarm; }
    int IsHeaderChanged() const { return m_bHeaderChanged; }
    void SetHeaderChanged(int changed = 1) { m_bHeaderChanged = changed; }

    // Zoom in percent; the page point at the view's top-left stays there.
    void ZoomTo(int percent, int redraw);
    int GetZoom() const;
    // Scrolls the current page to (x, y) view pixels, clamped to the page, and keeps it as
    // the page's position.
    void ScrollTo(int x, int y, int redraw);
    POINT GetPagePosition(int index) const;
    void SetPagePosition(int index, POINT position);
    tagRECT GetViewRect() const { return m_rcView; }

    // Version of the memo file last read (2.2 for a new memo).
    int GetFileMajor() const { return m_nFileMajor; }
    int GetFileMinor() const { return m_nFileMinor; }

    // The memo file. Load and LoadPreview read the whole header first and change nothing
    // when the file is damaged (0); LoadPreview takes only the first page and zooms it to fit
    // view. Save writes the complete file for version 1 or 2.2; 0 for an empty memo, a failed
    // write, or a memo whose load failed.
    int Load(GFile* file);
    int LoadPreview(GFile* file, const tagRECT& view);
    int Save(GFile* file, _FILE_VERSION& version);
    // The bytes Save writes, pages still uncompressed; marks the memo saved. 0 as Save. The
    // image's block is reused when it is large enough.
    int Serialize(_FILE_VERSION version, MemoImage& image);
    // The bytes the pages take in a file of version, uncompressed.
    unsigned long long PagesSavedSize(_FILE_VERSION version) const;
    // No pages, or one page without objects: nothing worth a file.
    int IsEmptyMemo() const;
    int IsLoadFailed() const { return m_bLoadFailed; }
    // Where the ink body began in the file last loaded (after its header); 0 before a load.
    LONG GetBodyOffset() const { return m_nBodyOffset; }

    // Version 1 page width: the larger of stored width and ink extent, rounded up to a
    // screen width.
    static int RoundPageWidthV1(int width);
    // Largest page extent in pixels a 16.16 coordinate holds; a larger stored size is drawn
    // and scrolled as this.
    static constexpr LONG kMaxPagePixels = 32767;

private:
    void ReleasePaper();
    void FreeBackImage();
    void DrawPicture();
    void DrawLines();
    void DrawBackText();
    void DrawRule(LONG x1, LONG y1, LONG x2, LONG y2, COLORREF colour, BYTE halfPixels);
    // Keeps page positions with their pages across page list changes.
    std::vector<InkraPage*> PageOrder() const;
    void FollowPositions(const std::vector<InkraPage*>& before, const POINT* positions);
    void ScrollToStored(int redraw);
    void Reset();
    // A picture path as given, or in the program folder when it has no backslash.
    static void ResolvePicturePath(LPCWSTR path, WCHAR out[kMemoPathChars]);
    struct MemoHeader;
    int ReadHeader(GFile* file, MemoHeader& header);
    void TakeHeader(MemoHeader& header);
    int WriteHeader(GFile* file, const _FILE_VERSION& version);
    void FinishLoad(const MemoHeader& header, const _FILE_VERSION& version, tagPOINT extent);

    GDib m_Paper;
    BYTE* m_pPaperMask = nullptr;
    HDC m_hPaperDC = nullptr;
    HBITMAP m_hPaperOld = nullptr;
    GImage* m_pBackImage = nullptr;
    int m_bOwnsBackImage = 0;
    int m_bHeaderChanged = 0;
    int m_nViewWidth = 0;
    int m_nViewHeight = 0;
    tagRECT m_rcView{0, 0, 0, 0};
    int m_nTextSize = 16;
    int m_nRightMargin = 0;
    int m_nBottomMargin = 0;
    StateBlock m_State{};
    AlarmBlock m_Alarm{};
    TemplateHeader m_Template{};
    WCHAR m_szBackImagePath[kMemoPathChars] = {};
    WCHAR m_szSoundPath[kMemoPathChars] = {};
    WCHAR m_szTitle[kMemoTitleChars] = {};
    WCHAR m_szNote[kMemoNoteChars] = {};
    POINT m_Positions[INKRA_MAX_PAGES] = {};
    // The picture bytes a loaded memo carried, kept to write them back.
    std::vector<BYTE> m_Embedded;
    WCHAR m_szEmbeddedPath[kMemoPathChars] = {};
    int m_nFileMajor = 2;
    int m_nFileMinor = 2;
    int m_bLoadFailed = 0;
    LONG m_nBodyOffset = 0;
    // The next save's block, and the size it was made for (0: none yet for this memo).
    WarmBlock m_SaveBlock;
    size_t m_nSaveBlockFor = 0;
    int m_bIsDocument = 0;
};

// What saving a memo to its file came to.
enum eMemoSaveResult {
    eMSFailed = 0, // nothing replaced: the old file, if any, is as it was
    eMSSaved = 1,
    eMSEmpty = 2 // an empty memo: nothing written, the caller removes the file
};

// A serialised memo, its pages compressed, into a file, resp. replacing the file at path.
int WriteMemoImage(const MemoImage& image, GFile* file);
int WriteMemoImage(const MemoImage& image, LPCWSTR path);

// Serialises the memo in memory and replaces path with it only when all of it was made.
int SaveMemoFile(GPadDrawMan& memo, LPCWSTR path, _FILE_VERSION version);
