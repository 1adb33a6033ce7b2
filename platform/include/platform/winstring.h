// UTF-16 string services: the wide C runtime under its Windows CE names but over WCHAR, the
// user32/kernel32 string calls, the wsprintf-style formatter, the swscanf-style scanner and
// the ANSI code-page conversions.
//
// The C runtime names overload the host's wchar_t functions from <cwchar> (the parameter
// types differ), so both sets can be called from the same file without ambiguity. <cwchar>
// and <cwctype> are included here so the overload set never depends on include order.
#pragma once

#include <platform/wintypes.h>

#include <concepts>
#include <cstdarg>
#include <cwchar>
#include <cwctype>
#include <string>
#include <string_view>

// ---- C runtime: length, copy, compare, search ----------------------------------------------

size_t wcslen(const WCHAR* s);
WCHAR* wcscpy(WCHAR* dst, const WCHAR* src);
WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t n); // pads with NULs; no NUL if src >= n
WCHAR* wcscat(WCHAR* dst, const WCHAR* src);
WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t n); // appends at most n, always ends in NUL
int wcscmp(const WCHAR* a, const WCHAR* b);
int wcsncmp(const WCHAR* a, const WCHAR* b, size_t n);
// Case-insensitive: both sides folded to lower case first (ASCII, Latin-1, Latin Extended-A,
// Greek, Cyrillic and full-width Latin letters; other characters have no case).
int _wcsicmp(const WCHAR* a, const WCHAR* b);
int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t n);

const WCHAR* wcschr(const WCHAR* s, WCHAR c);
WCHAR* wcschr(WCHAR* s, WCHAR c);
const WCHAR* wcsrchr(const WCHAR* s, WCHAR c);
WCHAR* wcsrchr(WCHAR* s, WCHAR c);
const WCHAR* wcsstr(const WCHAR* s, const WCHAR* find);
WCHAR* wcsstr(WCHAR* s, const WCHAR* find);
const WCHAR* wcspbrk(const WCHAR* s, const WCHAR* set);
WCHAR* wcspbrk(WCHAR* s, const WCHAR* set);
size_t wcsspn(const WCHAR* s, const WCHAR* set);
size_t wcscspn(const WCHAR* s, const WCHAR* set);
WCHAR* _wcsdup(const WCHAR* s); // release with free(); null for a null source

WCHAR* _wcslwr(WCHAR* s); // in place; returns s
WCHAR* _wcsupr(WCHAR* s);

namespace plat {
WCHAR ToLowerW(WCHAR c);
WCHAR ToUpperW(WCHAR c);
bool IsSpaceW(WCHAR c);
} // namespace plat

// towlower/towupper for WCHAR only: a template so that int, wint_t and wchar_t arguments
// still reach the host's functions instead of becoming ambiguous.
template <class C>
requires std::same_as<C, char16_t>
inline WCHAR towlower(C c) {
    return plat::ToLowerW(c);
}
template <class C>
requires std::same_as<C, char16_t>
inline WCHAR towupper(C c) {
    return plat::ToUpperW(c);
}

// ---- C runtime: numbers ---------------------------------------------------------------------

// Leading white space, an optional sign, decimal digits; out-of-range values saturate.
int _wtoi(const WCHAR* s);
LONG _wtol(const WCHAR* s);
// Base 0 (prefix decides), 2..36. LONG is 32-bit, as on the device; saturates with ERANGE.
LONG wcstol(const WCHAR* s, WCHAR** end, int base);
ULONG wcstoul(const WCHAR* s, WCHAR** end, int base);
// Radix 2..36; a negative value gets a '-' only in radix 10 (otherwise its bits are printed).
// The buffer must hold 33 characters.
WCHAR* _itow(int value, WCHAR* buf, int radix);
WCHAR* _ltow(LONG value, WCHAR* buf, int radix);
WCHAR* _ultow(ULONG value, WCHAR* buf, int radix);

// ---- Formatting -----------------------------------------------------------------------------
//
// %[flags][width][.precision][size]type. Types: d i u x X c C s S p, and %%. %s and %c take
// WCHAR (as in every wide Win32 function); %S, %hs, %C and %hc take char text, converted
// from the ANSI code page; %ls and %lc are WCHAR again. Size h is short, l is 32-bit (LONG,
// as on the device), ll and I64 are 64-bit, I is pointer-sized. A character after % that
// means nothing is copied as it is, so %% gives one '%'.
//
// wsprintfW follows user32: flags - # 0 only, a precision of 0 or none means at least one
// digit, a %c of value 0 prints nothing, output is limited to 1024 characters including the
// terminator. The CRT forms (swprintf, _snwprintf, vswprintf) add flags + and space, '*'
// widths and precisions, C precision rules, and the types o e E f F g G a A (n is consumed
// and ignored). Widths and precisions above 65536 are cut to 65536.

#define WSPRINTF_MAX_CHARS 1024

int wsprintfW(LPWSTR out, LPCWSTR fmt, ...);
int wvsprintfW(LPWSTR out, LPCWSTR fmt, va_list args);
int wsprintf(LPWSTR out, LPCWSTR fmt, ...);
int wvsprintf(LPWSTR out, LPCWSTR fmt, va_list args);

// Windows CE form: no size, the caller's buffer must be large enough (the C contract).
int swprintf(WCHAR* out, const WCHAR* fmt, ...);
int vswprintf(WCHAR* out, const WCHAR* fmt, va_list args);
// ISO form: at most count characters including the terminator; -1 when cut (still
// terminated when count > 0).
int swprintf(WCHAR* out, size_t count, const WCHAR* fmt, ...);
int vswprintf(WCHAR* out, size_t count, const WCHAR* fmt, va_list args);
// Microsoft form: at most count characters. Returns the length when it fits (terminated if
// there is room, not terminated when the length is exactly count) and -1 when cut (count
// characters stored, no terminator). A null buffer with count 0 returns the needed length.
int _snwprintf(WCHAR* out, size_t count, const WCHAR* fmt, ...);
int _vsnwprintf(WCHAR* out, size_t count, const WCHAR* fmt, va_list args);

namespace plat {
// The CRT formatter into a string of any length.
std::u16string Format(LPCWSTR fmt, ...);
std::u16string VFormat(LPCWSTR fmt, va_list args);
} // namespace plat

// ---- Scanning -------------------------------------------------------------------------------
//
// swscanf over WCHAR: white space in the format skips any white space, other characters
// must match, %[*][width][size]type with types d i u o x X (size hh h l ll I64 I j z t),
// c s [set] (WCHAR, or char through the ANSI code page with h or the capitals C S),
// e f g a (float, double with l), p and n. Returns the number of fields assigned, or EOF (-1)
// when the input ends before the first conversion.
int swscanf(const WCHAR* input, const WCHAR* fmt, ...);
int vswscanf(const WCHAR* input, const WCHAR* fmt, va_list args);

// ---- Win32 string calls ---------------------------------------------------------------------

int lstrlenW(LPCWSTR s);                  // 0 for null
LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src); // null when either is null
// Copies at most max - 1 characters and always terminates (when max > 0).
LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int max);
LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src);
// Word order as CompareString gives it for letters: letters compare without case first and
// only a tie is decided by case, lower case first ("a" < "A" < "b"). Returns -1, 0 or 1; a
// null string sorts first.
int lstrcmpW(LPCWSTR a, LPCWSTR b);
int lstrcmpiW(LPCWSTR a, LPCWSTR b);

inline int lstrlen(LPCWSTR s) {
    return lstrlenW(s);
}
inline LPWSTR lstrcpy(LPWSTR d, LPCWSTR s) {
    return lstrcpyW(d, s);
}
inline LPWSTR lstrcpyn(LPWSTR d, LPCWSTR s, int max) {
    return lstrcpynW(d, s, max);
}
inline LPWSTR lstrcat(LPWSTR d, LPCWSTR s) {
    return lstrcatW(d, s);
}
inline int lstrcmp(LPCWSTR a, LPCWSTR b) {
    return lstrcmpW(a, b);
}
inline int lstrcmpi(LPCWSTR a, LPCWSTR b) {
    return lstrcmpiW(a, b);
}

// A pointer whose high bits are zero is one character in the low word, converted and returned
// the same way; otherwise the string is converted in place and returned.
LPWSTR CharLowerW(LPWSTR s);
LPWSTR CharUpperW(LPWSTR s);
DWORD CharLowerBuffW(LPWSTR s, DWORD length);
DWORD CharUpperBuffW(LPWSTR s, DWORD length);

// ---- Code pages -----------------------------------------------------------------------------

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400

#ifndef ERROR_INVALID_FLAGS
#define ERROR_INVALID_FLAGS 1004L
#endif
#ifndef ERROR_NO_UNICODE_TRANSLATION
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#endif

// The device's ANSI code page (949 unless plat::SetAnsiCodePage changed it). The OEM code
// page is the same one.
UINT GetACP();
UINT GetOEMCP();
BOOL IsValidCodePage(UINT codePage);
// True when the byte starts a two-byte character in the code page.
BOOL IsDBCSLeadByteEx(UINT codePage, BYTE b);
BOOL IsDBCSLeadByte(BYTE b);

// Win32 semantics: a source length of -1 means NUL-terminated (the NUL is converted and
// counted); a destination length of 0 asks for the needed size; a destination that is too
// small gets what fits and the call returns 0 with ERROR_INSUFFICIENT_BUFFER. Bytes that are
// not valid in the code page become U+FFFD (or fail with ERROR_NO_UNICODE_TRANSLATION under
// MB_ERR_INVALID_CHARS); characters the code page lacks become the default character ('?'
// unless one is given) and set *usedDefault.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes, LPWSTR dst,
                        int dstChars);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcChars, LPSTR dst,
                        int dstBytes, LPCSTR defaultChar, LPBOOL usedDefault);

namespace plat {
// Changes the ANSI code page for the whole process. FALSE (and no change) when the host
// cannot convert it.
BOOL SetAnsiCodePage(UINT codePage);
// Whole-string conversions with replacement characters; empty for an unknown code page.
std::u16string AnsiToWide(std::string_view text, UINT codePage = CP_ACP);
std::string WideToAnsi(std::u16string_view text, UINT codePage = CP_ACP);
} // namespace plat
