// Number conversions of WCHAR text: _wtoi, wcstol and friends, _itow and friends. LONG is
// 32-bit as on the device, so the long forms saturate at 32 bits.
#include <platform/winstring.h>

#include <cerrno>
#include <climits>
#include <cstdint>

namespace {

int DigitValue(WCHAR c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'z') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'Z') {
        return c - u'A' + 10;
    }
    return 99;
}

struct Parsed {
    std::uint64_t magnitude = 0; // saturates at UINT64_MAX
    bool negative = false;
    bool any = false; // at least one digit
    const WCHAR* end = nullptr;
};

// strtol-style: white space, sign, base prefix, digits.
Parsed ParseNumber(const WCHAR* s, int base) {
    Parsed r;
    r.end = s;
    if (!s || base < 0 || base == 1 || base > 36) {
        return r;
    }
    const WCHAR* p = s;
    while (plat::IsSpaceW(*p)) {
        ++p;
    }
    if (*p == u'+' || *p == u'-') {
        r.negative = *p == u'-';
        ++p;
    }
    if ((base == 0 || base == 16) && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') &&
        DigitValue(p[2]) < 16) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = (p[0] == u'0') ? 8 : 10;
    }
    for (; DigitValue(*p) < base; ++p) {
        const std::uint64_t d = static_cast<std::uint64_t>(DigitValue(*p));
        if (r.magnitude > (UINT64_MAX - d) / static_cast<std::uint64_t>(base)) {
            r.magnitude = UINT64_MAX;
        } else {
            r.magnitude = r.magnitude * static_cast<std::uint64_t>(base) + d;
        }
        r.any = true;
    }
    if (r.any) {
        r.end = p;
    }
    return r;
}

std::int64_t ClampSigned(const Parsed& r, std::int64_t lo, std::int64_t hi, bool& overflow) {
    overflow = false;
    if (r.negative) {
        if (r.magnitude > static_cast<std::uint64_t>(-(lo + 1)) + 1) {
            overflow = true;
            return lo;
        }
        return -static_cast<std::int64_t>(r.magnitude - 1) - 1;
    }
    if (r.magnitude > static_cast<std::uint64_t>(hi)) {
        overflow = true;
        return hi;
    }
    return static_cast<std::int64_t>(r.magnitude);
}

WCHAR* FormatUnsigned(std::uint32_t value, bool negative, WCHAR* buf, int radix) {
    if (!buf) {
        return buf;
    }
    if (radix < 2 || radix > 36) {
        buf[0] = 0;
        return buf;
    }
    WCHAR digits[33];
    int n = 0;
    do {
        const unsigned d = value % static_cast<unsigned>(radix);
        digits[n++] = static_cast<WCHAR>(d < 10 ? u'0' + d : u'a' + d - 10);
        value /= static_cast<unsigned>(radix);
    } while (value != 0);
    WCHAR* out = buf;
    if (negative) {
        *out++ = u'-';
    }
    while (n > 0) {
        *out++ = digits[--n];
    }
    *out = 0;
    return buf;
}

} // namespace

int _wtoi(const WCHAR* s) {
    return static_cast<int>(_wtol(s));
}

LONG _wtol(const WCHAR* s) {
    const Parsed r = ParseNumber(s, 10);
    bool overflow = false;
    return static_cast<LONG>(ClampSigned(r, INT32_MIN, INT32_MAX, overflow));
}

LONG wcstol(const WCHAR* s, WCHAR** end, int base) {
    const Parsed r = ParseNumber(s, base);
    if (end) {
        *end = const_cast<WCHAR*>(r.end);
    }
    bool overflow = false;
    const auto v = ClampSigned(r, INT32_MIN, INT32_MAX, overflow);
    if (overflow) {
        errno = ERANGE;
    }
    return static_cast<LONG>(v);
}

ULONG wcstoul(const WCHAR* s, WCHAR** end, int base) {
    const Parsed r = ParseNumber(s, base);
    if (end) {
        *end = const_cast<WCHAR*>(r.end);
    }
    if (r.magnitude > UINT32_MAX) {
        errno = ERANGE;
        return UINT32_MAX;
    }
    // As in C, a minus sign negates in the unsigned type.
    const auto v = static_cast<std::uint32_t>(r.magnitude);
    return r.negative ? static_cast<ULONG>(0u - v) : v;
}

WCHAR* _itow(int value, WCHAR* buf, int radix) {
    return _ltow(value, buf, radix);
}

WCHAR* _ltow(LONG value, WCHAR* buf, int radix) {
    const bool negative = radix == 10 && value < 0;
    const auto bits = static_cast<std::uint32_t>(value);
    return FormatUnsigned(negative ? 0u - bits : bits, negative, buf, radix);
}

WCHAR* _ultow(ULONG value, WCHAR* buf, int radix) {
    return FormatUnsigned(value, false, buf, radix);
}
