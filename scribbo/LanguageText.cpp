#include "scribbo/LanguageText.h"

#include "fundo/GArray.h"
#include "fundo/GStringFile.h"
#include "fundo/PathUtil.h"

#include <cstring>
#include <new>

namespace {

GArray g_texts; // owned WCHAR* copies

constexpr int kLineCapacity = 1024;

// A line counts unless it is empty or a slash stands first or second.
bool IsText(const WCHAR* line, size_t length) {
    return length > 0 && line[0] != u'/' && (length < 2 || line[1] != u'/');
}

} // namespace

int LoadLanguageFile() {
    FreeLanguageTexts();
    WCHAR path[260] = {};
    GetProgramFolder(path);
    wcsncat(path, u"\\language.txt", 259 - wcslen(path));
    GStringFile file;
    if (file.OpenR(path)) {
        WCHAR line[kLineCapacity];
        while (file.ReadNextLine(line, kLineCapacity, 1)) {
            line[kLineCapacity - 1] = 0;
            const size_t length = wcslen(line);
            if (!IsText(line, length))
                continue;
            WCHAR* copy = new (std::nothrow) WCHAR[length + 1];
            if (!copy)
                break;
            std::memcpy(copy, line, (length + 1) * sizeof(WCHAR));
            if (g_texts.Add(copy) < 0) {
                delete[] copy;
                break;
            }
            // More texts than a valid file holds: no need to read on.
            if (g_texts.GetSize() > kLanguageTextCount)
                break;
        }
        file.Close();
    }
    if (g_texts.GetSize() == kLanguageTextCount)
        return 1;
    FreeLanguageTexts();
    return 0;
}

const WCHAR* GetLangText(int index) {
    const WCHAR* text = static_cast<const WCHAR*>(g_texts.GetAt(index));
    return text ? text : u"";
}

void FreeLanguageTexts() {
    for (int i = 0; i < g_texts.GetSize(); ++i)
        delete[] static_cast<WCHAR*>(g_texts.GetAt(i));
    g_texts.RemoveAll();
}

int GetLangTextCount() {
    return g_texts.GetSize();
}
