// A text file laid over the writing lines as background text, page after page.
#include "scribbo/GPadDrawMan.h"

#include "fundo/GStringFile.h"
#include "fundo/PathUtil.h"

#include <platform/gdiguard.h>

#include <cstring>
#include <vector>

int GPadDrawMan::ImportBackText(LPCWSTR path, COLORREF colour, int createPages) {
    if (GetPageNum() < 1 || !path)
        return 0;
    for (int i = 0; i < GetPageNum(); ++i)
        GetPage(i)->RemoveAllBackTextObject();
    WCHAR full[260] = {};
    if (wcschr(path, u'\\')) {
        wcsncpy(full, path, 259);
    } else {
        GetProgramFolder(full);
        wcsncat(full, u"\\", 259 - wcslen(full));
        wcsncat(full, path, 259 - wcslen(full));
    }
    GStringFile file;
    if (!file.OpenR(full)) {
        m_bHeaderChanged = 1;
        return 0;
    }
    const TemplateHeader& t = m_Template;
    tagRECT area{10, 0, LONG(t.PageWidth) - 10, LONG(t.PageHeight)};
    if (t.Flags & eTFTitleLine)
        area.top += t.TitleBandHeight;
    if (t.Flags & eTFTitleColumn)
        area.left += t.TitleColumnWidth;
    const int lineHeight = t.LineSpace;
    // No spacing (a damaged template) leaves no line to write on.
    const int lines = lineHeight > 0 ? (LONG(t.PageHeight) - area.top) / lineHeight : 0;
    HDC dc = m_hPaperDC ? m_hPaperDC : m_hMemDC;
    LOGFONTW lf{};
    lf.lfHeight = m_nTextSize;
    lf.lfWeight = 400;
    wcsncpy(lf.lfFaceName, kBackTextFont, LF_FACESIZE - 1);
    std::vector<WCHAR> buffer(INK_BACK_TEXT_UNITS, 0);
    int carry = 0;
    const int current = m_nCurPage;
    {
        gdi::Font font(dc ? CreateFontIndirectW(&lf) : nullptr);
        gdi::Select sel(dc, font);
        for (int index = 0; dc && lines > 0;) {
            InkraPage* page = GetPage(index);
            if (!page->AddBackTextObject(file, dc, colour, area, lineHeight, lines, buffer.data(),
                                         carry))
                break;
            if (++index >= GetPageNum()) {
                InkraPage* next = createPages ? CreatePage() : nullptr;
                if (!next)
                    break;
                if (AddPage(next, 0) < 0) {
                    DestroyPage(next);
                    break;
                }
            }
        }
        file.Close();
    }
    InkraMan::SetCurPage(current, 0);
    Render();
    m_bHeaderChanged = 1;
    return 1;
}
