// Case mapping and case-insensitive comparison of WCHAR text (CharLowerW, _wcsicmp,
// lstrcmpiW and friends). Letters with case: ASCII, Latin-1, Latin Extended-A, Greek,
// Cyrillic and the full-width Latin forms. Hangul and CJK have no case.
#include <platform/winstring.h>

namespace {

// Latin Extended-A pairs capital and small letters as neighbours; which of the two comes first
// changes in three runs.
// The dotted and dotless i (U+0130, U+0131) pair with ASCII letters only in Turkish, so they
// are left alone.
bool ExtendedAUpperIsEven(char16_t c) {
    return (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}
bool ExtendedAUpperIsOdd(char16_t c) {
    return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
}

int Sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

namespace plat {

WCHAR ToLowerW(WCHAR c) {
    if (c < 0x80) {
        return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + 32) : c;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return static_cast<WCHAR>(c + 32);
    }
    if (ExtendedAUpperIsEven(c)) {
        return static_cast<WCHAR>(c | 1);
    }
    if (ExtendedAUpperIsOdd(c)) {
        return (c & 1) ? static_cast<WCHAR>(c + 1) : c;
    }
    if (c == 0x178) {
        return 0xFF;
    }
    if (c == 0x386) {
        return 0x3AC;
    }
    if (c >= 0x388 && c <= 0x38A) {
        return static_cast<WCHAR>(c + 37);
    }
    if (c == 0x38C) {
        return 0x3CC;
    }
    if (c == 0x38E || c == 0x38F) {
        return static_cast<WCHAR>(c + 63);
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {
        return static_cast<WCHAR>(c + 32);
    }
    if (c >= 0x400 && c <= 0x40F) {
        return static_cast<WCHAR>(c + 80);
    }
    if (c >= 0x410 && c <= 0x42F) {
        return static_cast<WCHAR>(c + 32);
    }
    if (c >= 0xFF21 && c <= 0xFF3A) {
        return static_cast<WCHAR>(c + 32);
    }
    return c;
}

WCHAR ToUpperW(WCHAR c) {
    if (c < 0x80) {
        return (c >= u'a' && c <= u'z') ? static_cast<WCHAR>(c - 32) : c;
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<WCHAR>(c - 32);
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if (ExtendedAUpperIsEven(c)) {
        return static_cast<WCHAR>(c & ~1);
    }
    if (ExtendedAUpperIsOdd(c)) {
        return (c & 1) ? c : static_cast<WCHAR>(c - 1);
    }
    if (c == 0x3AC) {
        return 0x386;
    }
    if (c >= 0x3AD && c <= 0x3AF) {
        return static_cast<WCHAR>(c - 37);
    }
    if (c == 0x3CC) {
        return 0x38C;
    }
    if (c == 0x3CD || c == 0x3CE) {
        return static_cast<WCHAR>(c - 63);
    }
    // Final sigma has no capital of its own.
    if (c == 0x3C2) {
        return 0x3A3;
    }
    if (c >= 0x3B1 && c <= 0x3CB) {
        return static_cast<WCHAR>(c - 32);
    }
    if (c >= 0x430 && c <= 0x44F) {
        return static_cast<WCHAR>(c - 32);
    }
    if (c >= 0x450 && c <= 0x45F) {
        return static_cast<WCHAR>(c - 80);
    }
    if (c >= 0xFF41 && c <= 0xFF5A) {
        return static_cast<WCHAR>(c - 32);
    }
    return c;
}

bool IsSpaceW(WCHAR c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

} // namespace plat

int _wcsicmp(const WCHAR* a, const WCHAR* b) {
    return _wcsnicmp(a, b, static_cast<size_t>(-1));
}

int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const int ca = plat::ToLowerW(a[i]);
        const int cb = plat::ToLowerW(b[i]);
        if (ca != cb || ca == 0) {
            return ca - cb;
        }
    }
    return 0;
}

WCHAR* _wcslwr(WCHAR* s) {
    if (s) {
        CharLowerBuffW(s, static_cast<DWORD>(wcslen(s)));
    }
    return s;
}

WCHAR* _wcsupr(WCHAR* s) {
    if (s) {
        CharUpperBuffW(s, static_cast<DWORD>(wcslen(s)));
    }
    return s;
}

int lstrcmpiW(LPCWSTR a, LPCWSTR b) {
    if (!a || !b) {
        return (a ? 1 : 0) - (b ? 1 : 0);
    }
    return Sign(_wcsicmp(a, b));
}

int lstrcmpW(LPCWSTR a, LPCWSTR b) {
    const int folded = lstrcmpiW(a, b);
    if (folded != 0 || !a || !b) {
        return folded;
    }
    for (size_t i = 0; a[i] != 0; ++i) {
        if (a[i] != b[i]) {
            // Same letter in another case: the small one sorts first.
            const bool aLower = plat::ToUpperW(a[i]) != a[i];
            return aLower ? -1 : 1;
        }
    }
    return 0;
}

LPWSTR CharLowerW(LPWSTR s) {
    const auto bits = reinterpret_cast<ULONG_PTR>(s);
    if ((bits >> 16) == 0) {
        return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(plat::ToLowerW(LOWORD(bits))));
    }
    return _wcslwr(s);
}

LPWSTR CharUpperW(LPWSTR s) {
    const auto bits = reinterpret_cast<ULONG_PTR>(s);
    if ((bits >> 16) == 0) {
        return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(plat::ToUpperW(LOWORD(bits))));
    }
    return _wcsupr(s);
}

DWORD CharLowerBuffW(LPWSTR s, DWORD length) {
    if (!s) {
        return 0;
    }
    for (DWORD i = 0; i < length; ++i) {
        s[i] = plat::ToLowerW(s[i]);
    }
    return length;
}

DWORD CharUpperBuffW(LPWSTR s, DWORD length) {
    if (!s) {
        return 0;
    }
    for (DWORD i = 0; i < length; ++i) {
        s[i] = plat::ToUpperW(s[i]);
    }
    return length;
}
