// Font objects: the LOGFONT a handle was made from, realised on first use into the shared
// sized font that measures and draws.
#pragma once

#include "font_cache.h"
#include "gdi_types.h"

#include <platform/wintext.h>

namespace plat {

struct DCObj;

struct TextFont : FontObject {
    LOGFONTW logfont{};
    std::shared_ptr<text::SizedFont> realised; // under realiseMutex
    std::mutex realiseMutex;

    int GetObjectData(int size, void* buffer) const override;
};

// The stock fonts (SYSTEM_FONT and friends) as text fonts; the stock table calls this.
std::shared_ptr<FontObject> MakeStockFont(int index);
// The realised font of a font object (the system font for one that is not a text font).
std::shared_ptr<text::SizedFont> Realise(FontObject* font);
// The realised font selected into a context.
std::shared_ptr<text::SizedFont> SelectedFont(const DCObj& dc);

} // namespace plat
