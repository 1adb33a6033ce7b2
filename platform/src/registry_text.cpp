// The registry's text form, UTF-8, one key per section:
//
//   SCRIBBO REGISTRY 1
//   [HKEY_LOCAL_MACHINE\Software\Velmora\Scribbo]
//   "TVNaviMode"=dword:00000001
//   "PenWidth"=hex:00,40,00,00
//   "AdminPassword"=sz(32):"5826"
//   @=sz:"the default value"
//
// Every value keeps its exact bytes. sz:"text" is the text's UTF-16 with its terminator;
// sz(N):"text" is the text followed by zero bytes up to N bytes in all (a string written with
// a buffer's byte count); expand_sz works alike. Anything else, or a string with other bytes
// after its end, is hex(T): with T the type in hex; hex: alone is REG_BINARY. In quoted text
// \\ is a backslash, \" a quote and \uHHHH one UTF-16 unit. Lines starting with ';' are
// comments.
#include "registry_store.h"

#include <platform/utf.h>
#include <platform/winreg.h>

#include <cstdio>

namespace plat::reg {
namespace {

constexpr std::string_view kFirstLine = "SCRIBBO REGISTRY 1";
constexpr size_t kMaxNumberDigits = 8;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Writing.

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendEscapedUnit(std::string& out, char16_t c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
    out += buf;
}

// Writes any UTF-16 text, readable where it can be and escaped where it cannot.
void AppendQuoted(std::string& out, std::u16string_view s) {
    out += '"';
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c == u'\\' || c == u'"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscapedUnit(out, c);
        } else if (IsHighSurrogate(c) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
            AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendEscapedUnit(out, c);
        } else {
            AppendUtf8(out, c);
        }
    }
    out += '"';
}

// Key names never need escaping: they hold no backslash, control character or lone surrogate.
void AppendName(std::string& out, std::u16string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (IsHighSurrogate(s[i]) && i + 1 < s.size()) {
            AppendUtf8(out, 0x10000 + ((s[i] - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, s[i]);
        }
    }
}

void AppendHexBytes(std::string& out, const std::vector<BYTE>& data) {
    static const char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < data.size(); ++i) {
        if (i)
            out += ',';
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
}

// The text of a string value when its bytes are that text followed only by zero bytes.
bool StringForm(const std::vector<BYTE>& data, std::u16string* text) {
    text->clear();
    size_t i = 0;
    for (; i + 1 < data.size(); i += 2) {
        char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == 0)
            break;
        text->push_back(c);
    }
    for (; i < data.size(); ++i)
        if (data[i] != 0)
            return false;
    return true;
}

void AppendValue(std::string& out, const Value& v) {
    char buf[32];
    if (v.name.empty())
        out += '@';
    else
        AppendQuoted(out, v.name);
    out += '=';
    std::u16string text;
    if (v.type == REG_DWORD && v.data.size() == 4) {
        DWORD d = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (DWORD(v.data[3]) << 24);
        std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(d));
        out += buf;
    } else if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && StringForm(v.data, &text)) {
        out += v.type == REG_SZ ? "sz" : "expand_sz";
        if (v.data.size() != text.size() * 2 + 2) {
            std::snprintf(buf, sizeof buf, "(%zu)", v.data.size());
            out += buf;
        }
        out += ':';
        AppendQuoted(out, text);
    } else {
        if (v.type == REG_BINARY) {
            out += "hex:";
        } else {
            std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
            out += buf;
        }
        AppendHexBytes(out, v.data);
    }
    out += '\n';
}

void AppendKey(std::string& out, const Key& key, std::string& path) {
    // Keys between a root and a leaf are implied by the leaf's section.
    bool root = key.Parent() == nullptr;
    if (!key.Values().empty() || (!root && key.Subkeys().empty())) {
        out += "\n[";
        out += path;
        out += "]\n";
        for (const Value& v : key.Values())
            AppendValue(out, v);
    }
    for (const auto& [folded, sub] : key.Subkeys()) {
        size_t mark = path.size();
        path += '\\';
        AppendName(path, sub->Name());
        AppendKey(out, *sub, path);
        path.resize(mark);
    }
}

// Reading.

struct Cursor {
    std::string_view s;
    size_t i = 0;

    bool AtEnd() const { return i >= s.size(); }
    char Peek() const { return AtEnd() ? '\0' : s[i]; }
    bool Eat(char c) {
        if (Peek() != c || AtEnd())
            return false;
        ++i;
        return true;
    }
    bool EatWord(std::string_view w) {
        if (s.substr(i).substr(0, w.size()) != w)
            return false;
        i += w.size();
        return true;
    }
    void SkipBlanks() {
        while (!AtEnd() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
    }
};

// One code point of strict UTF-8: no overlong forms, no encoded surrogates.
bool DecodeUtf8(Cursor& c, char32_t* cp) {
    if (c.AtEnd())
        return false;
    unsigned char b = static_cast<unsigned char>(c.s[c.i]);
    size_t extra;
    char32_t value;
    if (b < 0x80) {
        ++c.i;
        *cp = b;
        return true;
    } else if (b >= 0xC2 && b <= 0xDF) {
        extra = 1;
        value = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        extra = 2;
        value = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        extra = 3;
        value = b & 0x07;
    } else {
        return false;
    }
    if (c.s.size() - c.i <= extra)
        return false;
    for (size_t k = 1; k <= extra; ++k) {
        unsigned char t = static_cast<unsigned char>(c.s[c.i + k]);
        if ((t & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (t & 0x3F);
    }
    static const char32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
    if (value < minimum[extra] || value > 0x10FFFF || IsHighSurrogate(value) ||
        IsLowSurrogate(value))
        return false;
    c.i += extra + 1;
    *cp = value;
    return true;
}

void PushCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
}

bool ParseHexNumber(Cursor& c, size_t maxDigits, uint32_t* out) {
    uint32_t v = 0;
    size_t n = 0;
    while (n < maxDigits && HexDigit(c.Peek()) >= 0) {
        v = (v << 4) | static_cast<uint32_t>(HexDigit(c.s[c.i]));
        ++c.i;
        ++n;
    }
    *out = v;
    return n > 0 && HexDigit(c.Peek()) < 0;
}

bool ParseDecimal(Cursor& c, size_t limit, size_t* out) {
    size_t v = 0, n = 0;
    while (c.Peek() >= '0' && c.Peek() <= '9') {
        v = v * 10 + static_cast<size_t>(c.s[c.i] - '0');
        ++c.i;
        if (++n > kMaxNumberDigits || v > limit)
            return false;
    }
    *out = v;
    return n > 0;
}

bool ParseQuoted(Cursor& c, std::u16string* out) {
    out->clear();
    if (!c.Eat('"'))
        return false;
    while (!c.AtEnd()) {
        char ch = c.s[c.i];
        if (ch == '"') {
            ++c.i;
            return true;
        }
        if (ch == '\\') {
            ++c.i;
            if (c.Eat('\\')) {
                out->push_back(u'\\');
            } else if (c.Eat('"')) {
                out->push_back(u'"');
            } else if (c.Eat('u')) {
                uint32_t unit = 0;
                for (int k = 0; k < 4; ++k) {
                    int d = HexDigit(c.Peek());
                    if (d < 0)
                        return false;
                    unit = (unit << 4) | static_cast<uint32_t>(d);
                    ++c.i;
                }
                out->push_back(static_cast<char16_t>(unit));
            } else {
                return false;
            }
        } else {
            char32_t cp;
            if (!DecodeUtf8(c, &cp) || (cp < 0x20 && cp != '\t') || cp == 0x7F)
                return false;
            PushCodePoint(*out, cp);
        }
        if (out->size() > kMaxValueSize / 2)
            return false;
    }
    return false;
}

bool ParseByteList(Cursor& c, std::vector<BYTE>* out) {
    out->clear();
    if (c.AtEnd())
        return true;
    for (;;) {
        int hi = HexDigit(c.Peek());
        int lo = hi < 0 ? -1 : HexDigit(c.i + 1 < c.s.size() ? c.s[c.i + 1] : '\0');
        if (hi < 0 || lo < 0 || out->size() >= kMaxValueSize)
            return false;
        out->push_back(static_cast<BYTE>(hi * 16 + lo));
        c.i += 2;
        c.SkipBlanks();
        if (c.AtEnd())
            return true;
        if (!c.Eat(','))
            return false;
        c.SkipBlanks();
    }
}

// The data after "=", to the end of the line.
bool ParseData(Cursor& c, DWORD* type, std::vector<BYTE>* data) {
    if (c.EatWord("dword:")) {
        uint32_t v;
        if (!ParseHexNumber(c, 8, &v))
            return false;
        *type = REG_DWORD;
        *data = {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)};
        return c.AtEnd();
    }
    if (c.EatWord("hex")) {
        uint32_t t = REG_BINARY;
        if (c.Eat('(') && (!ParseHexNumber(c, 8, &t) || !c.Eat(')')))
            return false;
        if (!c.Eat(':'))
            return false;
        *type = t;
        return ParseByteList(c, data);
    }
    bool expand = c.EatWord("expand_sz");
    if (!expand && !c.EatWord("sz"))
        return false;
    size_t size = 0;
    bool sized = c.Eat('(');
    if (sized && (!ParseDecimal(c, kMaxValueSize, &size) || !c.Eat(')')))
        return false;
    std::u16string text;
    if (!c.Eat(':') || !ParseQuoted(c, &text) || !c.AtEnd())
        return false;
    if (!sized)
        size = text.size() * 2 + 2;
    if (size < text.size() * 2)
        return false;
    data->assign(size, 0);
    for (size_t k = 0; k < text.size(); ++k) {
        (*data)[2 * k] = static_cast<BYTE>(text[k]);
        (*data)[2 * k + 1] = static_cast<BYTE>(text[k] >> 8);
    }
    *type = expand ? REG_EXPAND_SZ : REG_SZ;
    return true;
}

bool Fail(ParseFailure* failure, size_t line, const char* reason) {
    if (failure) {
        failure->line = line;
        failure->reason = reason;
    }
    return false;
}

// "[ROOT\a\b]" without the brackets: finds or makes the key.
std::shared_ptr<Key> ParseSection(std::string_view inner, Tree* tree) {
    size_t cut = inner.find('\\');
    std::string_view rootName = inner.substr(0, cut);
    std::shared_ptr<Key> key;
    for (int r = 0; r < kRootCount; ++r) {
        std::string_view name = RootName(r);
        bool same = name.size() == rootName.size();
        for (size_t k = 0; same && k < name.size(); ++k)
            same = name[k] ==
                   (rootName[k] >= 'a' && rootName[k] <= 'z' ? rootName[k] - 32 : rootName[k]);
        if (same)
            key = tree->roots[r];
    }
    if (!key)
        return nullptr;
    size_t depth = 0;
    while (cut != std::string_view::npos) {
        Cursor c{inner, cut + 1};
        std::u16string name;
        while (!c.AtEnd() && c.Peek() != '\\') {
            char32_t cp;
            if (!DecodeUtf8(c, &cp))
                return nullptr;
            PushCodePoint(name, cp);
            if (name.size() > kMaxKeyNameLength)
                return nullptr;
        }
        if (!ValidKeyName(name) || ++depth > kMaxDepth)
            return nullptr;
        key = key->AddSubkey(name, nullptr);
        cut = c.AtEnd() ? std::string_view::npos : c.i;
    }
    return key;
}

} // namespace

std::string WriteText(const Tree& tree) {
    std::string out(kFirstLine);
    out += "\n; Keys and value names are case-insensitive. sz(N) pads the text with zero bytes to"
           " N bytes;\n; hex(T) holds the raw bytes of a value of type T.\n";
    for (const auto& root : tree.roots) {
        std::string path;
        AppendName(path, root->Name());
        AppendKey(out, *root, path);
    }
    return out;
}

bool ParseText(std::string_view text, Tree* tree, ParseFailure* failure) {
    std::shared_ptr<Key> current;
    size_t lineNo = 0;
    size_t pos = 0;
    while (pos < text.size() || lineNo == 0) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        if (lineNo == 1) {
            if (line != kFirstLine)
                return Fail(failure, 1, "not a registry file of this format");
            continue;
        }
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (line.size() < 2 || line.back() != ']')
                return Fail(failure, lineNo, "unfinished key name");
            current = ParseSection(line.substr(1, line.size() - 2), tree);
            if (!current)
                return Fail(failure, lineNo, "bad key name");
            continue;
        }
        if (line.front() != '@' && line.front() != '"')
            return Fail(failure, lineNo, "neither a key nor a value");
        if (!current)
            return Fail(failure, lineNo, "value outside a key");
        Cursor c{line};
        std::u16string name;
        if (!c.Eat('@') && (!ParseQuoted(c, &name) || !ValidValueName(name)))
            return Fail(failure, lineNo, "bad value name");
        c.SkipBlanks();
        if (!c.Eat('='))
            return Fail(failure, lineNo, "missing '='");
        c.SkipBlanks();
        DWORD type = 0;
        std::vector<BYTE> data;
        if (!ParseData(c, &type, &data))
            return Fail(failure, lineNo, "bad value data");
        current->SetValue(name, type, std::move(data));
    }
    return true;
}

} // namespace plat::reg
