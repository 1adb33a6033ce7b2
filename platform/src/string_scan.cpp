// swscanf over WCHAR: the scanner the memo store uses to read a timestamp back out of a
// file name ("%4d%2d%2d_%2d%2d%2d."). C rules throughout; fields are counted as assigned.
#include <platform/winstring.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Args {
    va_list ap;
};

enum class Size { Default, Char, Short, Long32, Long64, SizeT, IntMax, PtrDiff, LongDouble };

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

class Scanner {
public:
    Scanner(const WCHAR* input, const WCHAR* fmt, va_list ap) : in_(input), fmt_(fmt) {
        va_copy(args_.ap, ap);
    }
    ~Scanner() { va_end(args_.ap); }
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    int Run();

private:
    enum class Step { Ok, MatchFailure, InputFailure };

    void SkipSpace() {
        while (plat::IsSpaceW(in_[pos_])) {
            ++pos_;
        }
    }
    size_t Limit() const { return width_ ? width_ : static_cast<size_t>(-1); }

    Step Integer(WCHAR type);
    Step Float();
    Step Text(WCHAR type);
    void StoreInteger(std::uint64_t bits);
    void StoreText(const WCHAR* text, size_t n, bool terminate);
    bool InSet(WCHAR c) const;

    const WCHAR* in_;
    const WCHAR* fmt_;
    Args args_;
    size_t pos_ = 0;
    int assigned_ = 0;
    int conversions_ = 0;
    // The directive being worked on.
    bool suppress_ = false;
    size_t width_ = 0;
    Size size_ = Size::Default;
    bool narrow_ = false;
    const WCHAR* setBegin_ = nullptr; // the scan set of %[...]
    const WCHAR* setEnd_ = nullptr;
    bool setNegated_ = false;
};

void Scanner::StoreInteger(std::uint64_t bits) {
    switch (size_) {
        case Size::Char:
            *va_arg(args_.ap, signed char*) = static_cast<signed char>(bits);
            break;
        case Size::Short:
            *va_arg(args_.ap, short*) = static_cast<short>(bits);
            break;
        case Size::Long64:
            *va_arg(args_.ap, long long*) = static_cast<long long>(bits);
            break;
        case Size::SizeT:
            *va_arg(args_.ap, std::size_t*) = static_cast<std::size_t>(bits);
            break;
        case Size::IntMax:
            *va_arg(args_.ap, std::intmax_t*) = static_cast<std::intmax_t>(bits);
            break;
        case Size::PtrDiff:
            *va_arg(args_.ap, std::ptrdiff_t*) = static_cast<std::ptrdiff_t>(bits);
            break;
        default:
            // l is 32-bit here (LONG), as on the device.
            *va_arg(args_.ap, int*) = static_cast<int>(static_cast<std::uint32_t>(bits));
            break;
    }
}

Scanner::Step Scanner::Integer(WCHAR type) {
    unsigned base = 10;
    if (type == u'x' || type == u'X' || type == u'p') {
        base = 16;
    } else if (type == u'o') {
        base = 8;
    } else if (type == u'i') {
        base = 0;
    }
    const size_t limit = Limit();
    size_t used = 0;
    bool negative = false;
    if (used < limit && (in_[pos_] == u'+' || in_[pos_] == u'-')) {
        negative = in_[pos_] == u'-';
        ++pos_;
        ++used;
    }
    const bool hexPrefix = in_[pos_] == u'0' && (in_[pos_ + 1] == u'x' || in_[pos_ + 1] == u'X') &&
                           DigitValue(in_[pos_ + 2]) < 16 && used + 2 < limit;
    if ((base == 0 || base == 16) && hexPrefix) {
        pos_ += 2;
        used += 2;
        base = 16;
    } else if (base == 0) {
        base = (used < limit && in_[pos_] == u'0') ? 8 : 10;
    }
    std::uint64_t value = 0;
    bool any = false;
    for (; used < limit && DigitValue(in_[pos_]) < static_cast<int>(base); ++pos_, ++used) {
        const std::uint64_t d = static_cast<std::uint64_t>(DigitValue(in_[pos_]));
        value = value > (UINT64_MAX - d) / base ? UINT64_MAX : value * base + d;
        any = true;
    }
    if (!any) {
        return Step::MatchFailure;
    }
    if (!suppress_) {
        if (negative) {
            value = 0u - value;
        }
        if (type == u'p') {
            *va_arg(args_.ap, void**) = reinterpret_cast<void*>(static_cast<std::uintptr_t>(value));
        } else {
            StoreInteger(value);
        }
        ++assigned_;
    }
    return Step::Ok;
}

Scanner::Step Scanner::Float() {
    // Collect what strtod will read; the width bounds the characters taken.
    const size_t limit = Limit();
    std::string text;
    auto take = [&](auto pred) {
        if (text.size() < limit && pred(in_[pos_])) {
            text += static_cast<char>(in_[pos_++]);
            return true;
        }
        return false;
    };
    auto isDigit = [](WCHAR c) { return c >= u'0' && c <= u'9'; };
    take([](WCHAR c) { return c == u'+' || c == u'-'; });
    size_t digits = 0;
    while (take(isDigit)) {
        ++digits;
    }
    if (take([](WCHAR c) { return c == u'.'; })) {
        while (take(isDigit)) {
            ++digits;
        }
    }
    if (digits == 0) {
        return Step::MatchFailure;
    }
    if (text.size() + 1 < limit && (in_[pos_] == u'e' || in_[pos_] == u'E')) {
        const size_t mark = pos_;
        const size_t keep = text.size();
        take([](WCHAR) { return true; });
        take([](WCHAR c) { return c == u'+' || c == u'-'; });
        size_t expDigits = 0;
        while (take(isDigit)) {
            ++expDigits;
        }
        if (expDigits == 0) {
            pos_ = mark;
            text.resize(keep);
        }
    }
    if (!suppress_) {
        if (size_ == Size::LongDouble) {
            *va_arg(args_.ap, long double*) = std::strtold(text.c_str(), nullptr);
        } else if (size_ == Size::Long32 || size_ == Size::Long64) {
            *va_arg(args_.ap, double*) = std::strtod(text.c_str(), nullptr);
        } else {
            *va_arg(args_.ap, float*) = std::strtof(text.c_str(), nullptr);
        }
        ++assigned_;
    }
    return Step::Ok;
}

bool Scanner::InSet(WCHAR c) const {
    bool found = false;
    for (const WCHAR* p = setBegin_; p < setEnd_; ++p) {
        if (p + 2 < setEnd_ && p[1] == u'-') {
            if (c >= p[0] && c <= p[2]) {
                found = true;
            }
            p += 2;
        } else if (*p == c) {
            found = true;
        }
    }
    return found != setNegated_;
}

void Scanner::StoreText(const WCHAR* text, size_t n, bool terminate) {
    if (narrow_) {
        const std::string bytes = plat::WideToAnsi(std::u16string_view(text, n));
        char* out = va_arg(args_.ap, char*);
        // %c fills exactly its width; strings get what the conversion gave.
        const size_t count = terminate ? bytes.size() : std::min(bytes.size(), n);
        std::memcpy(out, bytes.data(), count);
        if (terminate) {
            out[count] = 0;
        }
        return;
    }
    WCHAR* out = va_arg(args_.ap, WCHAR*);
    std::memcpy(out, text, n * sizeof(WCHAR));
    if (terminate) {
        out[n] = 0;
    }
}

Scanner::Step Scanner::Text(WCHAR type) {
    const size_t start = pos_;
    if (type == u'c' || type == u'C') {
        const size_t count = width_ ? width_ : 1;
        for (size_t i = 0; i < count; ++i) {
            if (in_[start + i] == 0) {
                return Step::InputFailure;
            }
        }
        pos_ += count;
        if (!suppress_) {
            StoreText(in_ + start, count, false);
            ++assigned_;
        }
        return Step::Ok;
    }
    const size_t limit = Limit();
    if (type == u'[') {
        while (pos_ - start < limit && in_[pos_] != 0 && InSet(in_[pos_])) {
            ++pos_;
        }
    } else {
        while (pos_ - start < limit && in_[pos_] != 0 && !plat::IsSpaceW(in_[pos_])) {
            ++pos_;
        }
    }
    if (pos_ == start) {
        return Step::MatchFailure;
    }
    if (!suppress_) {
        StoreText(in_ + start, pos_ - start, true);
        ++assigned_;
    }
    return Step::Ok;
}

int Scanner::Run() {
    const WCHAR* f = fmt_;
    auto inputFailure = [&] { return conversions_ == 0 && assigned_ == 0 ? -1 : assigned_; };
    while (*f) {
        if (plat::IsSpaceW(*f)) {
            while (plat::IsSpaceW(*f)) {
                ++f;
            }
            SkipSpace();
            continue;
        }
        if (*f != u'%' || f[1] == u'%') {
            if (*f == u'%') {
                ++f;
                SkipSpace();
            }
            if (in_[pos_] == 0) {
                return inputFailure();
            }
            if (in_[pos_] != *f) {
                return assigned_;
            }
            ++pos_;
            ++f;
            continue;
        }
        ++f;
        suppress_ = *f == u'*';
        if (suppress_) {
            ++f;
        }
        width_ = 0;
        while (*f >= u'0' && *f <= u'9') {
            width_ = std::min<size_t>(width_ * 10 + static_cast<size_t>(*f - u'0'), 1u << 20);
            ++f;
        }
        size_ = Size::Default;
        narrow_ = false;
        bool wide = false;
        switch (*f) {
            case u'h':
                ++f;
                size_ = Size::Short;
                narrow_ = true;
                if (*f == u'h') {
                    ++f;
                    size_ = Size::Char;
                }
                break;
            case u'l':
                ++f;
                size_ = Size::Long32;
                wide = true;
                if (*f == u'l') {
                    ++f;
                    size_ = Size::Long64;
                }
                break;
            case u'w':
                ++f;
                wide = true;
                break;
            case u'L':
                ++f;
                size_ = Size::LongDouble;
                break;
            case u'I':
                if (f[1] == u'6' && f[2] == u'4') {
                    f += 3;
                    size_ = Size::Long64;
                } else if (f[1] == u'3' && f[2] == u'2') {
                    f += 3;
                    size_ = Size::Long32;
                } else {
                    ++f;
                    size_ = Size::SizeT;
                }
                break;
            case u'j':
                ++f;
                size_ = Size::IntMax;
                break;
            case u'z':
                ++f;
                size_ = Size::SizeT;
                break;
            case u't':
                ++f;
                size_ = Size::PtrDiff;
                break;
            default:
                break;
        }
        const WCHAR type = *f;
        if (type == 0) {
            return assigned_;
        }
        ++f;
        if ((type == u'S' || type == u'C') && !wide) {
            narrow_ = true;
        }
        if (type == u'[') {
            setNegated_ = *f == u'^';
            if (setNegated_) {
                ++f;
            }
            setBegin_ = f;
            if (*f == u']') {
                ++f; // a ']' right after the bracket belongs to the set
            }
            while (*f && *f != u']') {
                ++f;
            }
            if (*f == 0) {
                return assigned_; // unterminated set: the format is bad
            }
            setEnd_ = f++;
        }
        if (type == u'n') {
            if (!suppress_) {
                StoreInteger(pos_);
            }
            continue;
        }
        if (type != u'c' && type != u'C' && type != u'[') {
            SkipSpace();
        }
        if (in_[pos_] == 0) {
            return inputFailure();
        }
        Step step = Step::MatchFailure;
        switch (type) {
            case u'd':
            case u'i':
            case u'u':
            case u'o':
            case u'x':
            case u'X':
            case u'p':
                step = Integer(type);
                break;
            case u'e':
            case u'E':
            case u'f':
            case u'F':
            case u'g':
            case u'G':
            case u'a':
            case u'A':
                step = Float();
                break;
            case u'c':
            case u'C':
            case u's':
            case u'S':
            case u'[':
                step = Text(type);
                break;
            default:
                break;
        }
        if (step == Step::InputFailure) {
            return inputFailure();
        }
        if (step == Step::MatchFailure) {
            return assigned_;
        }
        ++conversions_;
    }
    return assigned_;
}

} // namespace

int vswscanf(const WCHAR* input, const WCHAR* fmt, va_list args) {
    if (!input || !fmt) {
        return -1;
    }
    Scanner scanner(input, fmt, args);
    return scanner.Run();
}

int swscanf(const WCHAR* input, const WCHAR* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int n = vswscanf(input, fmt, args);
    va_end(args);
    return n;
}
