// Arbitrary bytes as "language.txt" beside the program. Loading either gives exactly 104
// texts, none empty or starting with a comment mark, or an empty table; every lookup gives a
// terminated text.
#include "scribbo/LanguageText.h"

#include "TestDevice.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

TestDevice* g_device = nullptr;
std::string g_file;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_device = new TestDevice;
    std::filesystem::create_directories(g_device->Host("Program Files/Scribbo"));
    g_file = g_device->Host("Program Files/Scribbo/language.txt");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = fopen(g_file.c_str(), "wb");
    if (!f)
        return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    const int loaded = LoadLanguageFile();
    const int count = GetLangTextCount();
    if (loaded ? count != kLanguageTextCount : count != 0)
        abort();
    for (int i = -2; i <= kLanguageTextCount + 1; ++i) {
        const WCHAR* text = GetLangText(i);
        if (!text)
            abort();
        const size_t n = wcslen(text);
        if (i < 0 || i >= count) {
            if (n != 0)
                abort();
        } else if (n == 0 || n > 1023 || text[0] == u'/' || (n > 1 && text[1] == u'/')) {
            abort();
        }
    }
    FreeLanguageTexts();
    return 0;
}
