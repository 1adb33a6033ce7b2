// Length, copy, concatenation, comparison and search over WCHAR text: the wide C runtime
// names (over char16_t, beside the host's wchar_t set) and the lstr*W calls.
#include <platform/winstring.h>

#include <cstdlib>
#include <cstring>

size_t wcslen(const WCHAR* s) {
    const WCHAR* p = s;
    while (*p) {
        ++p;
    }
    return static_cast<size_t>(p - s);
}

WCHAR* wcscpy(WCHAR* dst, const WCHAR* src) {
    WCHAR* d = dst;
    while ((*d++ = *src++) != 0) {
    }
    return dst;
}

WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t n) {
    size_t i = 0;
    for (; i < n && src[i] != 0; ++i) {
        dst[i] = src[i];
    }
    for (; i < n; ++i) {
        dst[i] = 0;
    }
    return dst;
}

WCHAR* wcscat(WCHAR* dst, const WCHAR* src) {
    wcscpy(dst + wcslen(dst), src);
    return dst;
}

WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t n) {
    WCHAR* d = dst + wcslen(dst);
    size_t i = 0;
    for (; i < n && src[i] != 0; ++i) {
        d[i] = src[i];
    }
    d[i] = 0;
    return dst;
}

int wcscmp(const WCHAR* a, const WCHAR* b) {
    return wcsncmp(a, b, static_cast<size_t>(-1));
}

int wcsncmp(const WCHAR* a, const WCHAR* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i] || a[i] == 0) {
            return static_cast<int>(a[i]) - static_cast<int>(b[i]);
        }
    }
    return 0;
}

const WCHAR* wcschr(const WCHAR* s, WCHAR c) {
    for (;; ++s) {
        if (*s == c) {
            return s;
        }
        if (*s == 0) {
            return nullptr;
        }
    }
}

WCHAR* wcschr(WCHAR* s, WCHAR c) {
    return const_cast<WCHAR*>(wcschr(static_cast<const WCHAR*>(s), c));
}

const WCHAR* wcsrchr(const WCHAR* s, WCHAR c) {
    const WCHAR* found = nullptr;
    for (;; ++s) {
        if (*s == c) {
            found = s;
        }
        if (*s == 0) {
            return found;
        }
    }
}

WCHAR* wcsrchr(WCHAR* s, WCHAR c) {
    return const_cast<WCHAR*>(wcsrchr(static_cast<const WCHAR*>(s), c));
}

const WCHAR* wcsstr(const WCHAR* s, const WCHAR* find) {
    const size_t n = wcslen(find);
    if (n == 0) {
        return s;
    }
    for (; *s; ++s) {
        if (*s == *find && wcsncmp(s, find, n) == 0) {
            return s;
        }
    }
    return nullptr;
}

WCHAR* wcsstr(WCHAR* s, const WCHAR* find) {
    return const_cast<WCHAR*>(wcsstr(static_cast<const WCHAR*>(s), find));
}

const WCHAR* wcspbrk(const WCHAR* s, const WCHAR* set) {
    for (; *s; ++s) {
        if (wcschr(set, *s)) {
            return s;
        }
    }
    return nullptr;
}

WCHAR* wcspbrk(WCHAR* s, const WCHAR* set) {
    return const_cast<WCHAR*>(wcspbrk(static_cast<const WCHAR*>(s), set));
}

size_t wcsspn(const WCHAR* s, const WCHAR* set) {
    size_t i = 0;
    while (s[i] && wcschr(set, s[i])) {
        ++i;
    }
    return i;
}

size_t wcscspn(const WCHAR* s, const WCHAR* set) {
    size_t i = 0;
    while (s[i] && !wcschr(set, s[i])) {
        ++i;
    }
    return i;
}

WCHAR* _wcsdup(const WCHAR* s) {
    if (!s) {
        return nullptr;
    }
    const size_t bytes = (wcslen(s) + 1) * sizeof(WCHAR);
    auto* copy = static_cast<WCHAR*>(std::malloc(bytes));
    if (copy) {
        std::memcpy(copy, s, bytes);
    }
    return copy;
}

// The lstr* calls tolerate null pointers, as user32's do.

int lstrlenW(LPCWSTR s) {
    return s ? static_cast<int>(wcslen(s)) : 0;
}

LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src) {
    if (!dst || !src) {
        return nullptr;
    }
    return wcscpy(dst, src);
}

LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int max) {
    if (!dst || max <= 0) {
        return dst;
    }
    int i = 0;
    if (src) {
        for (; i < max - 1 && src[i] != 0; ++i) {
            dst[i] = src[i];
        }
    }
    dst[i] = 0;
    return dst;
}

LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src) {
    if (!dst || !src) {
        return nullptr;
    }
    return wcscat(dst, src);
}
