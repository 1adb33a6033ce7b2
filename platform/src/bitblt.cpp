// BitBlt, StretchBlt and PatBlt over device contexts.
#include "bitblt_engine.h"

using namespace plat;

namespace {

BOOL Transfer(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
              DWORD rop) {
    std::shared_ptr<DCObj> dst = LookupDC(hdst);
    if (!dst)
        return FALSE;
    BlitRequest r;
    r.x = x;
    r.y = y;
    r.width = w;
    r.height = h;
    r.rop = rop;
    std::shared_ptr<DCObj> src;
    if (Rop3UsesSource(Rop3Code(rop))) {
        src = LookupDC(hsrc);
        if (!src || !src->surface)
            return FALSE;
        r.src = src->surface.get();
        r.srcX = sx + src->origin.x;
        r.srcY = sy + src->origin.y;
        r.srcWidth = sw;
        r.srcHeight = sh;
        r.srcBkColor = src->attr.bkColor;
    }
    return ExecuteBlit(*dst, r);
}

} // namespace

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    return Transfer(dst, x, y, width, height, src, srcX, srcY, width, height, rop);
}

// Every stretch mode samples the nearest source pixel (COLORONCOLOR); HALFTONE and the
// AND/OR modes of monochrome shrinking are not distinguished.
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
    return Transfer(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop);
}

BOOL PatBlt(HDC h, int x, int y, int width, int height, DWORD rop) {
    if (Rop3UsesSource(Rop3Code(rop)))
        return FALSE;
    std::shared_ptr<DCObj> dc = LookupDC(h);
    if (!dc)
        return FALSE;
    BlitRequest r;
    r.x = x;
    r.y = y;
    r.width = width;
    r.height = height;
    r.rop = rop;
    return ExecuteBlit(*dc, r);
}
