#include "winza/GFileDialog.h"

#include "fundo/StringUtil.h"

namespace {

// Appends an owned copy of text[0 .. length), length > 0.
void AddPiece(GArray* array, LPCWSTR text, int length) {
    WCHAR* piece = AllocString(text, length);
    if (piece && array->Add(piece) < 0)
        FreeString(piece);
}

} // namespace

int ParseFileFilter(LPCWSTR filter, GArray* descriptions, GArray* patterns) {
    if (!descriptions || !patterns)
        return 0;
    FreeFilterStrings(descriptions);
    FreeFilterStrings(patterns);
    if (!filter)
        return 0;
    LPCWSTR p = filter;
    while (*p && *p != u'|') {
        LPCWSTR bar = wcschr(p, u'|');
        if (!bar)
            break;
        LPCWSTR pattern = bar + 1;
        LPCWSTR end = wcschr(pattern, u'|');
        const int patternLength = end ? static_cast<int>(end - pattern) : lstrlenW(pattern);
        if (patternLength <= 0)
            break;
        const int before = descriptions->GetSize();
        AddPiece(descriptions, p, static_cast<int>(bar - p));
        AddPiece(patterns, pattern, patternLength);
        // A pair that could not be kept whole is dropped whole.
        if (descriptions->GetSize() != patterns->GetSize()) {
            while (descriptions->GetSize() > before) {
                auto* s = static_cast<WCHAR*>(descriptions->GetAt(descriptions->GetSize() - 1));
                FreeString(s);
                descriptions->RemoveAt(descriptions->GetSize() - 1);
            }
            while (patterns->GetSize() > descriptions->GetSize()) {
                auto* s = static_cast<WCHAR*>(patterns->GetAt(patterns->GetSize() - 1));
                FreeString(s);
                patterns->RemoveAt(patterns->GetSize() - 1);
            }
        }
        if (!end)
            break;
        p = end + 1;
    }
    return patterns->GetSize();
}

void FreeFilterStrings(GArray* strings) {
    if (!strings)
        return;
    for (int i = 0; i < strings->GetSize(); ++i) {
        auto* s = static_cast<WCHAR*>(strings->GetAt(i));
        FreeString(s);
    }
    strings->RemoveAll();
}

int ChooseFileFilter(const GArray& patterns, LPCWSTR initial) {
    const int count = patterns.GetSize();
    if (count == 0)
        return -1;
    if (initial && initial[0])
        for (int i = 0; i < count; ++i) {
            auto* pattern = static_cast<LPCWSTR>(patterns.GetAt(i));
            if (pattern && wcsstr(pattern, initial))
                return i;
        }
    return count - 1;
}

int IsFileInPattern(LPCWSTR pattern, LPCWSTR name) {
    if (!pattern || !name)
        return 0;
    LPCWSTR dot = wcsrchr(name, u'.');
    if (!dot || wcschr(dot, u'\\'))
        return 0;
    LPCWSTR ext = dot + 1;
    const int extLength = lstrlenW(ext);
    if (extLength == 0)
        return 0;
    for (LPCWSTR entry = pattern; *entry;) {
        LPCWSTR end = wcschr(entry, u';');
        const int length = end ? static_cast<int>(end - entry) : lstrlenW(entry);
        // Spaces around an entry are common in hand-written filters.
        LPCWSTR s = entry;
        int n = length;
        while (n > 0 && *s == u' ') {
            ++s;
            --n;
        }
        while (n > 0 && s[n - 1] == u' ')
            --n;
        if (n == 3 && wcsncmp(s, u"*.*", 3) == 0)
            return 1;
        if (n >= 2 && s[0] == u'*' && s[1] == u'.' && n - 2 == extLength &&
            _wcsnicmp(s + 2, ext, static_cast<size_t>(extLength)) == 0)
            return 1;
        if (!end)
            break;
        entry = end + 1;
    }
    return 0;
}
