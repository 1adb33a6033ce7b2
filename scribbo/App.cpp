#include "scribbo/App.h"

#include "winza/GFontManager.h"

AppState g_App;

GFontManager* AppFonts() {
    if (!g_App.Fonts)
        g_App.Fonts = new GFontManager;
    return g_App.Fonts;
}
