// Code pages: MultiByteToWideChar, WideCharToMultiByte and the ANSI code page (949 unless
// changed). UTF-8 goes through the host conversion in utf.cpp; every other code page through
// glibc's iconv, with descriptors kept open for reuse.
#include <platform/utf.h>
#include <platform/winstring.h>

#include <iconv.h>

#include <atomic>
#include <bit>
#include <bitset>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "WCHAR text is handed to iconv as UTF-16LE in place");

namespace {

std::atomic<UINT> g_ansiCodePage{949};

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

UINT Resolve(UINT codePage) {
    switch (codePage) {
        case CP_ACP:
        case CP_OEMCP:
        case CP_THREAD_ACP:
            return g_ansiCodePage.load(std::memory_order_relaxed);
        case CP_MACCP:
            return 10000;
        default:
            return codePage;
    }
}

// Code pages whose iconv name is not simply "CP" and the number.
std::string IconvName(UINT codePage) {
    switch (codePage) {
        case 20127:
            return "ASCII";
        case 20866:
            return "KOI8-R";
        case 21866:
            return "KOI8-U";
        case 10000:
            return "MACINTOSH";
        case 20932:
        case 51932:
            return "EUC-JP";
        case 51949:
            return "EUC-KR";
        case 51936:
            return "EUC-CN";
        case 50220:
            return "ISO-2022-JP";
        case 1361:
            return "JOHAB";
        case 54936:
            return "GB18030";
        case CP_UTF7:
            return "UTF-7";
        default:
            break;
    }
    if (codePage >= 28591 && codePage <= 28606) {
        return "ISO-8859-" + std::to_string(codePage - 28590);
    }
    return "CP" + std::to_string(codePage);
}

// Multi-byte code pages carry no UTF-16 forms; those numbers are refused outright.
bool IsUtf16CodePage(UINT codePage) {
    return codePage == 1200 || codePage == 1201 || codePage == 12000 || codePage == 12001;
}

// An iconv descriptor carries conversion state, so each is lent to one caller at a time and
// returned reset.
class ConverterCache {
public:
    iconv_t Take(UINT codePage, bool toWide) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = idle_.find(Key(codePage, toWide));
            if (it != idle_.end() && !it->second.empty()) {
                const iconv_t cd = it->second.back();
                it->second.pop_back();
                return cd;
            }
        }
        if (IsUtf16CodePage(codePage)) {
            return kNoConverter;
        }
        const std::string name = IconvName(codePage);
        return toWide ? iconv_open("UTF-16LE", name.c_str()) : iconv_open(name.c_str(), "UTF-16LE");
    }

    void Give(UINT codePage, bool toWide, iconv_t cd) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::lock_guard<std::mutex> lock(mutex_);
        idle_[Key(codePage, toWide)].push_back(cd);
    }

private:
    static std::uint64_t Key(UINT codePage, bool toWide) {
        return (static_cast<std::uint64_t>(codePage) << 1) | (toWide ? 1u : 0u);
    }

    std::mutex mutex_;
    std::map<std::uint64_t, std::vector<iconv_t>> idle_;
};

// Never destroyed: text may still be converted while other statics are torn down.
ConverterCache& Cache() {
    static ConverterCache* cache = new ConverterCache;
    return *cache;
}

class Converter {
public:
    Converter(UINT codePage, bool toWide)
        : codePage_(codePage), toWide_(toWide), cd_(Cache().Take(codePage, toWide)) {}
    ~Converter() {
        if (Ok()) {
            Cache().Give(codePage_, toWide_, cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Ok() const { return cd_ != kNoConverter; }
    iconv_t Get() const { return cd_; }
    void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    UINT codePage_;
    bool toWide_;
    iconv_t cd_;
};

enum class Result { Ok, Invalid, Unsupported };

Result Decode(UINT codePage, std::string_view in, bool strict, std::u16string& out) {
    out.clear();
    if (codePage == CP_UTF8) {
        out = plat::FromUtf8(in);
        // Valid input is exactly what re-encoding gives back; a replacement never re-encodes
        // to the bytes it replaced.
        return (strict && plat::ToUtf8(out) != in) ? Result::Invalid : Result::Ok;
    }
    Converter conv(codePage, true);
    if (!conv.Ok()) {
        return Result::Unsupported;
    }
    out.reserve(in.size());
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char16_t chunk[512];
    for (;;) {
        char* dst = reinterpret_cast<char*>(chunk);
        size_t room = sizeof(chunk);
        const size_t r = left > 0 ? iconv(conv.Get(), &src, &left, &dst, &room)
                                  : iconv(conv.Get(), nullptr, nullptr, &dst, &room);
        const int err = errno;
        out.append(chunk, (sizeof(chunk) - room) / sizeof(char16_t));
        if (r != static_cast<size_t>(-1)) {
            if (left == 0 && dst == reinterpret_cast<char*>(chunk)) {
                return Result::Ok; // input used up and nothing left to flush
            }
            continue;
        }
        if (err == E2BIG) {
            continue;
        }
        if (left == 0) {
            return Result::Ok; // only the final flush failed; nothing is left to convert
        }
        if (strict) {
            return Result::Invalid;
        }
        // A byte that starts nothing valid (or an unfinished sequence at the end) becomes
        // U+FFFD, and conversion starts afresh at the next byte.
        out.push_back(0xFFFD);
        ++src;
        --left;
        conv.Reset();
    }
}

Result Encode(UINT codePage, std::u16string_view in, bool strict, std::string_view defaultChar,
              std::string& out, bool& usedDefault) {
    out.clear();
    usedDefault = false;
    if (codePage == CP_UTF8) {
        out = plat::ToUtf8(in);
        return (strict && plat::FromUtf8(out) != in) ? Result::Invalid : Result::Ok;
    }
    Converter conv(codePage, false);
    if (!conv.Ok()) {
        return Result::Unsupported;
    }
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
    size_t left = in.size() * sizeof(char16_t);
    char chunk[1024];
    for (;;) {
        char* dst = chunk;
        size_t room = sizeof(chunk);
        const size_t r = left > 0 ? iconv(conv.Get(), &src, &left, &dst, &room)
                                  : iconv(conv.Get(), nullptr, nullptr, &dst, &room);
        const int err = errno;
        out.append(chunk, sizeof(chunk) - room);
        if (r != static_cast<size_t>(-1)) {
            if (left == 0 && dst == chunk) {
                return Result::Ok;
            }
            continue;
        }
        if (err == E2BIG) {
            continue;
        }
        if (left == 0) {
            return Result::Ok;
        }
        if (strict) {
            return Result::Invalid;
        }
        // A character the code page lacks, or a lone surrogate: one default character for
        // the whole character.
        char16_t unit[2] = {0, 0};
        std::memcpy(unit, src, left >= 4 ? 4 : 2);
        const bool pair = left >= 4 && unit[0] >= 0xD800 && unit[0] < 0xDC00 && unit[1] >= 0xDC00 &&
                          unit[1] < 0xE000;
        const size_t skip = pair ? 4 : 2;
        out.append(defaultChar);
        usedDefault = true;
        src += skip;
        left -= skip;
        conv.Reset();
    }
}

// Bytes that begin a two-byte character, found once per code page by asking iconv which
// single bytes are an unfinished sequence.
class LeadByteTables {
public:
    bool IsLead(UINT codePage, BYTE b) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = tables_.find(codePage);
        if (it == tables_.end()) {
            it = tables_.emplace(codePage, Probe(codePage)).first;
        }
        return it->second.test(b);
    }

private:
    static std::bitset<256> Probe(UINT codePage) {
        std::bitset<256> leads;
        Converter conv(codePage, true);
        if (!conv.Ok()) {
            return leads;
        }
        for (int b = 0x80; b < 0x100; ++b) {
            char byte = static_cast<char>(b);
            char* src = &byte;
            size_t left = 1;
            char16_t unit[4];
            char* dst = reinterpret_cast<char*>(unit);
            size_t room = sizeof(unit);
            if (iconv(conv.Get(), &src, &left, &dst, &room) == static_cast<size_t>(-1) &&
                errno == EINVAL) {
                leads.set(static_cast<size_t>(b));
            }
            conv.Reset();
        }
        return leads;
    }

    std::mutex mutex_;
    std::map<UINT, std::bitset<256>> tables_;
};

LeadByteTables& LeadBytes() {
    static LeadByteTables* tables = new LeadByteTables;
    return *tables;
}

// Win32's output contract: size query, copy, or what fits and ERROR_INSUFFICIENT_BUFFER.
template <class Char> int Deliver(const std::basic_string<Char>& result, Char* dst, int dstCount) {
    const int needed = static_cast<int>(result.size());
    if (dstCount == 0) {
        return needed;
    }
    const int n = needed <= dstCount ? needed : dstCount;
    std::memcpy(dst, result.data(), static_cast<size_t>(n) * sizeof(Char));
    if (needed > dstCount) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return needed;
}

} // namespace

UINT GetACP() {
    return g_ansiCodePage.load(std::memory_order_relaxed);
}

UINT GetOEMCP() {
    return GetACP();
}

BOOL IsValidCodePage(UINT codePage) {
    if (codePage == CP_UTF8) {
        return TRUE;
    }
    if (codePage <= CP_THREAD_ACP) {
        return FALSE;
    }
    Converter toWide(codePage, true);
    Converter fromWide(codePage, false);
    return toWide.Ok() && fromWide.Ok();
}

BOOL IsDBCSLeadByteEx(UINT codePage, BYTE b) {
    codePage = Resolve(codePage);
    if (b < 0x80 || codePage == CP_UTF8 || codePage == CP_UTF7) {
        return FALSE;
    }
    return LeadBytes().IsLead(codePage, b) ? TRUE : FALSE;
}

BOOL IsDBCSLeadByte(BYTE b) {
    return IsDBCSLeadByteEx(CP_ACP, b);
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes, LPWSTR dst,
                        int dstChars) {
    if (!src || srcBytes == 0 || srcBytes < -1 || dstChars < 0 || (dstChars > 0 && !dst) ||
        (dstChars > 0 && static_cast<const void*>(src) == static_cast<const void*>(dst))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    codePage = Resolve(codePage);
    const DWORD known = MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
    if ((flags & ~known) != 0 || ((flags & MB_PRECOMPOSED) && (flags & MB_COMPOSITE)) ||
        ((codePage == CP_UTF8 || codePage == 54936) && (flags & ~MB_ERR_INVALID_CHARS) != 0)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const size_t n = srcBytes < 0 ? std::strlen(src) + 1 : static_cast<size_t>(srcBytes);
    std::u16string result;
    switch (
        Decode(codePage, std::string_view(src, n), (flags & MB_ERR_INVALID_CHARS) != 0, result)) {
        case Result::Unsupported:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        case Result::Invalid:
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        case Result::Ok:
            break;
    }
    return Deliver(result, dst, dstChars);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcChars, LPSTR dst,
                        int dstBytes, LPCSTR defaultChar, LPBOOL usedDefault) {
    if (!src || srcChars == 0 || srcChars < -1 || dstBytes < 0 || (dstBytes > 0 && !dst) ||
        (dstBytes > 0 && static_cast<const void*>(src) == static_cast<const void*>(dst))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    codePage = Resolve(codePage);
    const bool utf8 = codePage == CP_UTF8;
    const DWORD known = WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_ERR_INVALID_CHARS |
                        WC_COMPOSITECHECK | WC_NO_BEST_FIT_CHARS;
    if ((flags & ~known) != 0 || (utf8 && (flags & ~WC_ERR_INVALID_CHARS) != 0) ||
        (!utf8 && codePage != 54936 && (flags & WC_ERR_INVALID_CHARS))) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (utf8 && (defaultChar || usedDefault)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t n = srcChars < 0 ? wcslen(src) + 1 : static_cast<size_t>(srcChars);
    // The default character is one byte; an empty one falls back to '?'.
    const std::string_view fallback =
        (defaultChar && defaultChar[0]) ? std::string_view(defaultChar, 1) : std::string_view("?");
    std::string result;
    bool used = false;
    switch (Encode(codePage, std::u16string_view(src, n), (flags & WC_ERR_INVALID_CHARS) != 0,
                   fallback, result, used)) {
        case Result::Unsupported:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        case Result::Invalid:
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        case Result::Ok:
            break;
    }
    if (usedDefault) {
        *usedDefault = used ? TRUE : FALSE;
    }
    return Deliver(result, dst, dstBytes);
}

namespace plat {

BOOL SetAnsiCodePage(UINT codePage) {
    if (codePage <= CP_THREAD_ACP || IsUtf16CodePage(codePage) || !IsValidCodePage(codePage)) {
        return FALSE;
    }
    g_ansiCodePage.store(codePage, std::memory_order_relaxed);
    return TRUE;
}

std::u16string AnsiToWide(std::string_view text, UINT codePage) {
    std::u16string out;
    if (Decode(Resolve(codePage), text, false, out) != Result::Ok) {
        out.clear();
    }
    return out;
}

std::string WideToAnsi(std::u16string_view text, UINT codePage) {
    std::string out;
    bool used = false;
    if (Encode(Resolve(codePage), text, false, "?", out, used) != Result::Ok) {
        out.clear();
    }
    return out;
}

} // namespace plat
