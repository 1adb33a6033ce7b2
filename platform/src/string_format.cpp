// The wide formatter behind wsprintfW (user32 rules) and swprintf/_snwprintf (C runtime
// rules). One engine with two dialects; output goes to a bounded sink, so no call writes
// past the size it was given.
#include <platform/winstring.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

enum class Dialect { User, Crt };

constexpr int kMaxField = 65536;

// Receives the output: into a buffer of fixed capacity, into a growing string, or only
// counted (null buffer).
class Sink {
public:
    Sink(WCHAR* buf, size_t capacity) : buf_(buf), cap_(capacity) {}
    explicit Sink(std::u16string* text) : text_(text) {}

    void Put(WCHAR c) {
        if (text_) {
            text_->push_back(c);
        } else if (!buf_) {
            ++len_;
            return;
        } else if (len_ < cap_) {
            buf_[len_] = c;
        } else {
            cut_ = true;
            return;
        }
        ++len_;
    }
    void Repeat(WCHAR c, int n) {
        for (int i = 0; i < n && !cut_; ++i) {
            Put(c);
        }
    }
    void Put(const WCHAR* s, size_t n) {
        for (size_t i = 0; i < n && !cut_; ++i) {
            Put(s[i]);
        }
    }
    size_t Length() const { return len_; }
    bool Cut() const { return cut_; }

private:
    WCHAR* buf_ = nullptr;
    size_t cap_ = 0;
    std::u16string* text_ = nullptr;
    size_t len_ = 0;
    bool cut_ = false;
};

// va_list is an array type on some hosts; wrapping a copy in a struct lets helpers take it by
// reference and keep consuming arguments.
struct Args {
    va_list ap;
};

enum class Size { Default, Char, Short, Long32, Long64, SizeT, IntMax, PtrDiff, LongDouble };

struct Spec {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alt = false;
    bool zero = false;
    int width = 0;
    int precision = -1; // -1: none given
    Size size = Size::Default;
    bool narrow = false; // h on c/s
    bool wide = false;   // l or w on c/s
    WCHAR type = 0;
};

int ReadNumber(const WCHAR*& p) {
    int v = 0;
    while (*p >= u'0' && *p <= u'9') {
        v = std::min(kMaxField, v * 10 + (*p - u'0'));
        ++p;
    }
    return v;
}

// Parses what follows '%' up to and including the type character.
void ParseSpec(const WCHAR*& p, Dialect d, Args& args, Spec& s) {
    for (;; ++p) {
        if (*p == u'-') {
            s.left = true;
        } else if (*p == u'#') {
            s.alt = true;
        } else if (*p == u'0') {
            s.zero = true;
        } else if (d == Dialect::Crt && *p == u'+') {
            s.plus = true;
        } else if (d == Dialect::Crt && *p == u' ') {
            s.space = true;
        } else {
            break;
        }
    }
    if (d == Dialect::Crt && *p == u'*') {
        ++p;
        const int w = va_arg(args.ap, int);
        if (w < 0) {
            s.left = true;
        }
        s.width = std::min(kMaxField, w < 0 ? (w == INT32_MIN ? kMaxField : -w) : w);
    } else {
        s.width = ReadNumber(p);
    }
    if (*p == u'.') {
        ++p;
        if (d == Dialect::Crt && *p == u'*') {
            ++p;
            const int v = va_arg(args.ap, int);
            s.precision = v < 0 ? -1 : std::min(kMaxField, v);
        } else {
            s.precision = ReadNumber(p);
        }
    }
    switch (*p) {
        case u'h':
            ++p;
            s.size = Size::Short;
            s.narrow = true;
            if (*p == u'h') {
                ++p;
                s.size = Size::Char;
            }
            break;
        case u'l':
            ++p;
            s.size = Size::Long32;
            s.wide = true;
            if (*p == u'l') {
                ++p;
                s.size = Size::Long64;
            }
            break;
        case u'w':
            ++p;
            s.wide = true;
            break;
        case u'L':
            ++p;
            s.size = Size::LongDouble;
            break;
        case u'I':
            if (p[1] == u'6' && p[2] == u'4') {
                p += 3;
                s.size = Size::Long64;
            } else if (p[1] == u'3' && p[2] == u'2') {
                p += 3;
                s.size = Size::Long32;
            } else {
                ++p;
                s.size = Size::SizeT;
            }
            break;
        case u'j':
        case u'z':
        case u't':
            if (d == Dialect::Crt) {
                s.size = *p == u'j' ? Size::IntMax : (*p == u'z' ? Size::SizeT : Size::PtrDiff);
                ++p;
            }
            break;
        default:
            break;
    }
    s.type = *p;
    if (*p) {
        ++p;
    }
}

std::int64_t FetchSigned(Args& a, Size size) {
    switch (size) {
        case Size::Char:
            return static_cast<signed char>(va_arg(a.ap, int));
        case Size::Short:
            return static_cast<short>(va_arg(a.ap, int));
        case Size::Long64:
            return va_arg(a.ap, long long);
        case Size::SizeT:
        case Size::PtrDiff:
            return va_arg(a.ap, std::ptrdiff_t);
        case Size::IntMax:
            return va_arg(a.ap, std::intmax_t);
        default:
            return va_arg(a.ap, int);
    }
}

std::uint64_t FetchUnsigned(Args& a, Size size) {
    switch (size) {
        case Size::Char:
            return static_cast<unsigned char>(va_arg(a.ap, unsigned));
        case Size::Short:
            return static_cast<unsigned short>(va_arg(a.ap, unsigned));
        case Size::Long64:
            return va_arg(a.ap, unsigned long long);
        case Size::SizeT:
        case Size::PtrDiff:
            return va_arg(a.ap, std::size_t);
        case Size::IntMax:
            return va_arg(a.ap, std::uintmax_t);
        default:
            return va_arg(a.ap, unsigned);
    }
}

// Spaces (or zeros) for the field width around a body of n characters.
void PadBefore(Sink& out, const Spec& s, int n) {
    if (!s.left && s.width > n) {
        out.Repeat(s.zero ? u'0' : u' ', s.width - n);
    }
}
void PadAfter(Sink& out, const Spec& s, int n) {
    if (s.left && s.width > n) {
        out.Repeat(u' ', s.width - n);
    }
}

void EmitInteger(Sink& out, const Spec& s, Dialect d, std::uint64_t magnitude, bool negative,
                 bool isSigned, unsigned base) {
    const bool upper = s.type == u'X' || s.type == u'p';
    char digits[24];
    int nd = 0;
    // C lets an explicit precision of 0 print no digits for 0; user32 always prints one.
    int precision = s.precision;
    if (precision < 0 || (d == Dialect::User && precision == 0)) {
        precision = 1;
    }
    for (std::uint64_t v = magnitude; v != 0; v /= base) {
        const unsigned digit = static_cast<unsigned>(v % base);
        digits[nd++] =
            static_cast<char>(digit < 10 ? '0' + digit : (upper ? 'A' : 'a') + digit - 10);
    }
    if (base == 8 && s.alt && precision <= nd) {
        precision = nd + 1; // '#' on octal: a leading zero
    }
    WCHAR prefix[2];
    int np = 0;
    if (negative) {
        prefix[np++] = u'-';
    } else if (isSigned && s.plus) {
        prefix[np++] = u'+';
    } else if (isSigned && s.space) {
        prefix[np++] = u' ';
    }
    if (base == 16 && s.alt && magnitude != 0 && s.type != u'p') {
        prefix[np++] = u'0';
        prefix[np++] = upper ? u'X' : u'x';
    }
    int zeros = std::max(0, precision - nd);
    int n = np + zeros + nd;
    // Zero padding fills the width after the sign, unless a precision was given.
    if (s.zero && !s.left && s.precision < 0 && s.width > n) {
        zeros += s.width - n;
        n = s.width;
    }
    if (!s.left && s.width > n) {
        out.Repeat(u' ', s.width - n);
    }
    out.Put(prefix, static_cast<size_t>(np));
    out.Repeat(u'0', zeros);
    while (nd > 0) {
        out.Put(static_cast<WCHAR>(digits[--nd]));
    }
    PadAfter(out, s, n);
}

void EmitText(Sink& out, const Spec& s, const WCHAR* text, size_t len) {
    if (s.precision >= 0) {
        len = std::min(len, static_cast<size_t>(s.precision));
    }
    const int n = static_cast<int>(std::min(len, static_cast<size_t>(kMaxField)));
    PadBefore(out, s, n);
    out.Put(text, len);
    PadAfter(out, s, n);
}

void EmitString(Sink& out, const Spec& s, bool narrow, Args& a) {
    static const WCHAR kNull[] = u"(null)";
    if (narrow) {
        const char* text = va_arg(a.ap, const char*);
        if (!text) {
            EmitText(out, s, kNull, 6);
            return;
        }
        // The precision bounds the bytes read as well, so an unterminated buffer is safe.
        size_t n = 0;
        while ((s.precision < 0 || n < static_cast<size_t>(s.precision)) && text[n]) {
            ++n;
        }
        const std::u16string wide = plat::AnsiToWide(std::string_view(text, n));
        EmitText(out, s, wide.data(), wide.size());
        return;
    }
    const WCHAR* text = va_arg(a.ap, const WCHAR*);
    if (!text) {
        EmitText(out, s, kNull, 6);
        return;
    }
    size_t n = 0;
    while ((s.precision < 0 || n < static_cast<size_t>(s.precision)) && text[n]) {
        ++n;
    }
    EmitText(out, s, text, n);
}

void EmitChar(Sink& out, const Spec& s, Dialect d, bool narrow, Args& a) {
    const int value = va_arg(a.ap, int);
    WCHAR c = static_cast<WCHAR>(value);
    if (narrow) {
        const char byte = static_cast<char>(value);
        const std::u16string wide = plat::AnsiToWide(std::string_view(&byte, 1));
        c = wide.empty() ? u'?' : wide[0];
    }
    if (d == Dialect::User && c == 0) {
        return;
    }
    Spec t = s;
    t.precision = -1;
    EmitText(out, t, &c, 1);
}

void EmitFloat(Sink& out, const Spec& s, Args& a) {
    char fmt[32];
    int n = 0;
    fmt[n++] = '%';
    if (s.left) {
        fmt[n++] = '-';
    }
    if (s.plus) {
        fmt[n++] = '+';
    }
    if (s.space) {
        fmt[n++] = ' ';
    }
    if (s.alt) {
        fmt[n++] = '#';
    }
    if (s.zero) {
        fmt[n++] = '0';
    }
    const bool isLong = s.size == Size::LongDouble;
    std::snprintf(fmt + n, sizeof(fmt) - static_cast<size_t>(n), "*.*%s%c", isLong ? "L" : "",
                  static_cast<char>(s.type));
    const int precision = s.precision < 0 ? 6 : s.precision;
    std::string text;
    int len = 0;
    if (isLong) {
        const long double v = va_arg(a.ap, long double);
        len = std::snprintf(nullptr, 0, fmt, s.width, precision, v);
        if (len > 0) {
            text.resize(static_cast<size_t>(len) + 1);
            std::snprintf(text.data(), text.size(), fmt, s.width, precision, v);
        }
    } else {
        const double v = va_arg(a.ap, double);
        len = std::snprintf(nullptr, 0, fmt, s.width, precision, v);
        if (len > 0) {
            text.resize(static_cast<size_t>(len) + 1);
            std::snprintf(text.data(), text.size(), fmt, s.width, precision, v);
        }
    }
    for (int i = 0; i < len; ++i) {
        out.Put(static_cast<WCHAR>(static_cast<unsigned char>(text[static_cast<size_t>(i)])));
    }
}

void FormatInto(Sink& out, LPCWSTR fmt, Dialect d, va_list ap) {
    Args a;
    va_copy(a.ap, ap);
    const WCHAR* p = fmt;
    while (*p && !out.Cut()) {
        if (*p != u'%') {
            out.Put(*p++);
            continue;
        }
        ++p;
        Spec s;
        ParseSpec(p, d, a, s);
        const bool narrowText = s.narrow || (!s.wide && (s.type == u'S' || s.type == u'C'));
        switch (s.type) {
            case 0:
                break;
            case u'd':
            case u'i': {
                const std::int64_t v = FetchSigned(a, s.size);
                const std::uint64_t mag =
                    v < 0 ? 0u - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
                EmitInteger(out, s, d, mag, v < 0, true, 10);
                break;
            }
            case u'u':
                EmitInteger(out, s, d, FetchUnsigned(a, s.size), false, false, 10);
                break;
            case u'x':
            case u'X':
                EmitInteger(out, s, d, FetchUnsigned(a, s.size), false, false, 16);
                break;
            case u'p': {
                Spec t = s;
                t.precision = static_cast<int>(2 * sizeof(void*));
                const auto bits = reinterpret_cast<std::uintptr_t>(va_arg(a.ap, void*));
                EmitInteger(out, t, d, bits, false, false, 16);
                break;
            }
            case u's':
            case u'S':
                EmitString(out, s, narrowText, a);
                break;
            case u'c':
            case u'C':
                EmitChar(out, s, d, narrowText, a);
                break;
            case u'o':
                if (d == Dialect::Crt) {
                    EmitInteger(out, s, d, FetchUnsigned(a, s.size), false, false, 8);
                } else {
                    out.Put(s.type);
                }
                break;
            case u'e':
            case u'E':
            case u'f':
            case u'F':
            case u'g':
            case u'G':
            case u'a':
            case u'A':
                if (d == Dialect::Crt) {
                    EmitFloat(out, s, a);
                } else {
                    out.Put(s.type);
                }
                break;
            case u'n':
                // Writing through %n is refused (as the Microsoft runtime does by default); the
                // pointer is still consumed so later arguments stay in step.
                if (d == Dialect::Crt) {
                    (void)va_arg(a.ap, void*);
                } else {
                    out.Put(s.type);
                }
                break;
            default:
                out.Put(s.type);
                break;
        }
    }
    va_end(a.ap);
}

} // namespace

int wvsprintfW(LPWSTR out, LPCWSTR fmt, va_list args) {
    if (!out || !fmt) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Sink sink(out, WSPRINTF_MAX_CHARS - 1);
    FormatInto(sink, fmt, Dialect::User, args);
    out[sink.Length()] = 0;
    return static_cast<int>(sink.Length());
}

int wsprintfW(LPWSTR out, LPCWSTR fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int n = wvsprintfW(out, fmt, args);
    va_end(args);
    return n;
}

int wvsprintf(LPWSTR out, LPCWSTR fmt, va_list args) {
    return wvsprintfW(out, fmt, args);
}

int wsprintf(LPWSTR out, LPCWSTR fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int n = wvsprintfW(out, fmt, args);
    va_end(args);
    return n;
}

int vswprintf(WCHAR* out, const WCHAR* fmt, va_list args) {
    if (!out || !fmt) {
        return -1;
    }
    Sink sink(out, static_cast<size_t>(-1));
    FormatInto(sink, fmt, Dialect::Crt, args);
    out[sink.Length()] = 0;
    return static_cast<int>(sink.Length());
}

int swprintf(WCHAR* out, const WCHAR* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int n = vswprintf(out, fmt, args);
    va_end(args);
    return n;
}

int vswprintf(WCHAR* out, size_t count, const WCHAR* fmt, va_list args) {
    if (!out || !fmt || count == 0) {
        return -1;
    }
    Sink sink(out, count - 1);
    FormatInto(sink, fmt, Dialect::Crt, args);
    out[sink.Length()] = 0;
    return sink.Cut() ? -1 : static_cast<int>(sink.Length());
}

int swprintf(WCHAR* out, size_t count, const WCHAR* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int n = vswprintf(out, count, fmt, args);
    va_end(args);
    return n;
}

int _vsnwprintf(WCHAR* out, size_t count, const WCHAR* fmt, va_list args) {
    if (!fmt || (!out && count != 0)) {
        return -1;
    }
    Sink sink(out, count);
    FormatInto(sink, fmt, Dialect::Crt, args);
    if (sink.Cut()) {
        return -1;
    }
    if (out && sink.Length() < count) {
        out[sink.Length()] = 0;
    }
    return static_cast<int>(sink.Length());
}

int _snwprintf(WCHAR* out, size_t count, const WCHAR* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int n = _vsnwprintf(out, count, fmt, args);
    va_end(args);
    return n;
}

namespace plat {

std::u16string VFormat(LPCWSTR fmt, va_list args) {
    std::u16string text;
    if (fmt) {
        Sink sink(&text);
        FormatInto(sink, fmt, Dialect::Crt, args);
    }
    return text;
}

std::u16string Format(LPCWSTR fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::u16string text = VFormat(fmt, args);
    va_end(args);
    return text;
}

} // namespace plat
