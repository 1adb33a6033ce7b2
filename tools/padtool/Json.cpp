#include "Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace padtool {

JsonValue JsonValue::Null() {
    return JsonValue{};
}

JsonValue JsonValue::Int(std::int64_t v) {
    JsonValue j;
    j.type = JsonType::Number;
    j.isInteger = true;
    j.integer = v;
    j.number = double(v);
    return j;
}

JsonValue JsonValue::Double(double v) {
    JsonValue j;
    j.type = JsonType::Number;
    j.number = v;
    return j;
}

JsonValue JsonValue::Str(std::u16string s) {
    JsonValue j;
    j.type = JsonType::String;
    j.text = std::move(s);
    return j;
}

JsonValue JsonValue::Ascii(std::string_view s) {
    return Str(std::u16string(s.begin(), s.end()));
}

JsonValue JsonValue::Array() {
    JsonValue j;
    j.type = JsonType::Array;
    return j;
}

JsonValue JsonValue::Object() {
    JsonValue j;
    j.type = JsonType::Object;
    return j;
}

JsonValue JsonValue::Later(std::function<JsonValue()> make) {
    JsonValue j;
    j.type = JsonType::Object;
    j.make = std::move(make);
    return j;
}

const JsonValue* JsonValue::Find(std::string_view key) const {
    for (const auto& m : members)
        if (m.first == key)
            return &m.second;
    return nullptr;
}

JsonValue& JsonValue::Add(std::string key, JsonValue value) {
    members.push_back(JsonMember{std::move(key), std::move(value)});
    return members.back().second;
}

JsonValue& JsonValue::Push(JsonValue value) {
    items.push_back(std::move(value));
    return items.back();
}

namespace {

class Parser {
public:
    Parser(std::string_view text, const JsonLimits& limits, std::string& error)
        : m_text(text), m_limits(limits), m_error(error) {}

    bool Document(JsonValue& out) {
        if (m_text.size() > m_limits.maxBytes)
            return Fail("the text is larger than " + std::to_string(m_limits.maxBytes) + " bytes");
        SkipSpace();
        if (!Value(out, 0))
            return false;
        SkipSpace();
        if (m_pos != m_text.size())
            return Fail("text after the end of the value");
        return true;
    }

private:
    bool Fail(const std::string& why) {
        int line = 1, column = 1;
        for (size_t i = 0; i < m_pos && i < m_text.size(); ++i) {
            if (m_text[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        m_error =
            "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + why;
        return false;
    }

    void SkipSpace() {
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos];
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                break;
            ++m_pos;
        }
    }

    bool Literal(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word)
            return Fail("unknown word");
        m_pos += word.size();
        return true;
    }

    bool Value(JsonValue& out, int depth) {
        if (++m_values > m_limits.maxValues)
            return Fail("more than " + std::to_string(m_limits.maxValues) + " values");
        if (m_pos >= m_text.size())
            return Fail("a value is missing");
        const char c = m_text[m_pos];
        switch (c) {
            case '{':
                if (m_limits.deferDepth > 0 && depth + 1 >= m_limits.deferDepth && !m_deferring)
                    return DeferredObject(out, depth + 1);
                return ObjectValue(out, depth + 1);
            case '[':
                return ArrayValue(out, depth + 1);
            case '"':
                out.type = JsonType::String;
                return String(out.text);
            case 't':
                out.type = JsonType::Bool;
                out.boolean = true;
                return Literal("true");
            case 'f':
                out.type = JsonType::Bool;
                return Literal("false");
            case 'n':
                out.type = JsonType::Null;
                return Literal("null");
            default:
                if (c == '-' || (c >= '0' && c <= '9'))
                    return Number(out);
                return Fail("a value cannot start with this character");
        }
    }

    // Checked as any object, through a tree thrown away at once; only the text is kept.
    bool DeferredObject(JsonValue& out, int depth) {
        const size_t start = m_pos;
        m_deferring = true;
        JsonValue scratch;
        const bool ok = ObjectValue(scratch, depth);
        m_deferring = false;
        if (!ok)
            return false;
        out.type = JsonType::Object;
        out.raw.assign(m_text.substr(start, m_pos - start));
        return true;
    }

    bool ObjectValue(JsonValue& out, int depth) {
        if (depth > m_limits.maxDepth)
            return Fail("nested deeper than " + std::to_string(m_limits.maxDepth));
        out.type = JsonType::Object;
        ++m_pos;
        SkipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"')
                return Fail("a member name in double quotes is expected");
            std::u16string key16;
            const size_t keyAt = m_pos;
            if (!String(key16))
                return false;
            std::string key = Utf16ToUtf8(key16);
            if (out.Find(key)) {
                m_pos = keyAt;
                return Fail("member \"" + key + "\" appears twice");
            }
            SkipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos] != ':')
                return Fail("':' is expected after a member name");
            ++m_pos;
            SkipSpace();
            JsonValue& v = out.Add(std::move(key), JsonValue{});
            if (!Value(v, depth))
                return false;
            SkipSpace();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == '}') {
                ++m_pos;
                return true;
            }
            return Fail("',' or '}' is expected");
        }
    }

    bool ArrayValue(JsonValue& out, int depth) {
        if (depth > m_limits.maxDepth)
            return Fail("nested deeper than " + std::to_string(m_limits.maxDepth));
        out.type = JsonType::Array;
        ++m_pos;
        SkipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            SkipSpace();
            JsonValue& v = out.Push(JsonValue{});
            if (!Value(v, depth))
                return false;
            SkipSpace();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == ']') {
                ++m_pos;
                return true;
            }
            return Fail("',' or ']' is expected");
        }
    }

    bool Digits() {
        const size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
            ++m_pos;
        return m_pos > start;
    }

    bool Number(JsonValue& out) {
        const size_t start = m_pos;
        if (m_text[m_pos] == '-')
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '0') {
            ++m_pos;
            if (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
                return Fail("a number cannot have leading zeros");
        } else if (!Digits()) {
            return Fail("digits are expected");
        }
        bool integer = true;
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            integer = false;
            if (!Digits())
                return Fail("digits are expected after '.'");
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            integer = false;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-'))
                ++m_pos;
            if (!Digits())
                return Fail("digits are expected in the exponent");
        }
        const char* first = m_text.data() + start;
        const char* last = m_text.data() + m_pos;
        out.type = JsonType::Number;
        out.isInteger = integer;
        auto [dp, dec] = std::from_chars(first, last, out.number);
        if (dec != std::errc() || dp != last || !std::isfinite(out.number)) {
            m_pos = start;
            return Fail("the number is out of range");
        }
        if (integer) {
            auto [ip, iec] = std::from_chars(first, last, out.integer);
            if (iec != std::errc() || ip != last) {
                m_pos = start;
                return Fail("the whole number is out of range");
            }
        }
        return true;
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // One UTF-8 sequence, checked strictly: no overlong forms, no surrogates, nothing past
    // U+10FFFF.
    bool Utf8(std::u16string& out) {
        const auto* p = reinterpret_cast<const unsigned char*>(m_text.data());
        const size_t n = m_text.size();
        const unsigned char b0 = p[m_pos];
        int more;
        char32_t cp, min;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            more = 1;
            cp = b0 & 0x1F;
            min = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            more = 2;
            cp = b0 & 0x0F;
            min = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            more = 3;
            cp = b0 & 0x07;
            min = 0x10000;
        } else {
            return Fail("invalid UTF-8");
        }
        if (m_pos + size_t(more) >= n)
            return Fail("invalid UTF-8");
        for (int i = 1; i <= more; ++i) {
            const unsigned char b = p[m_pos + i];
            if ((b & 0xC0) != 0x80)
                return Fail("invalid UTF-8");
            cp = (cp << 6) | (b & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return Fail("invalid UTF-8");
        m_pos += size_t(more) + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
        return true;
    }

    bool String(std::u16string& out) {
        ++m_pos; // the opening quote
        for (;;) {
            if (m_pos >= m_text.size())
                return Fail("the string does not end");
            const unsigned char c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c < 0x20)
                return Fail("a control character must be escaped in a string");
            if (c >= 0x80) {
                if (!Utf8(out))
                    return false;
                continue;
            }
            if (c != '\\') {
                out.push_back(char16_t(c));
                ++m_pos;
                continue;
            }
            if (m_pos + 1 >= m_text.size())
                return Fail("the string does not end");
            const char e = m_text[m_pos + 1];
            m_pos += 2;
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out.push_back(char16_t(e));
                    break;
                case 'b':
                    out.push_back(u'\b');
                    break;
                case 'f':
                    out.push_back(u'\f');
                    break;
                case 'n':
                    out.push_back(u'\n');
                    break;
                case 'r':
                    out.push_back(u'\r');
                    break;
                case 't':
                    out.push_back(u'\t');
                    break;
                case 'u': {
                    if (m_pos + 4 > m_text.size())
                        return Fail("\\u needs four hex digits");
                    unsigned v = 0;
                    for (int i = 0; i < 4; ++i) {
                        const int d = HexDigit(m_text[m_pos + i]);
                        if (d < 0)
                            return Fail("\\u needs four hex digits");
                        v = v << 4 | unsigned(d);
                    }
                    m_pos += 4;
                    // Surrogates are kept as units: a pair makes its character, a lone one
                    // stays what memo texts may hold.
                    out.push_back(char16_t(v));
                    break;
                }
                default:
                    m_pos -= 2;
                    return Fail("unknown escape in a string");
            }
        }
    }

    std::string_view m_text;
    const JsonLimits& m_limits;
    std::string& m_error;
    size_t m_pos = 0;
    size_t m_values = 0;
    bool m_deferring = false;
};

void WriteString(std::string& out, std::u16string_view s) {
    out += '"';
    static const char kHex[] = "0123456789abcdef";
    for (size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        switch (c) {
            case u'"':
                out += "\\\"";
                continue;
            case u'\\':
                out += "\\\\";
                continue;
            case u'\b':
                out += "\\b";
                continue;
            case u'\f':
                out += "\\f";
                continue;
            case u'\n':
                out += "\\n";
                continue;
            case u'\r':
                out += "\\r";
                continue;
            case u'\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool pair = high && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF;
        if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF && !pair)) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(c >> shift) & 0xF];
            continue;
        }
        out += Utf16ToUtf8(s.substr(i, pair ? 2 : 1));
        if (pair)
            ++i;
    }
    out += '"';
}

// Names are held as UTF-8 already; the escapes are those of WriteString.
void WriteKey(std::string& out, const std::string& key) {
    out += '"';
    for (const char c : key) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || u < 0x20) {
            std::string escaped;
            WriteString(escaped, std::u16string(1, char16_t(u)));
            out.append(escaped, 1, escaped.size() - 2);
        } else {
            out += c;
        }
    }
    out += '"';
}

bool HoldsObject(const JsonValue& v) {
    for (const JsonValue& item : v.items)
        if (item.type == JsonType::Object)
            return true;
    return false;
}

// The text being written, handed to the sink (when there is one) a piece at a time.
struct Output {
    static constexpr size_t kPiece = 64 * 1024;
    std::string text;
    const JsonSink* sink = nullptr;

    bool Flush(bool all) {
        if (!sink || (!all && text.size() < kPiece))
            return true;
        const bool go = (*sink)(text);
        text.clear();
        return go;
    }
};

bool Write(Output& o, const JsonValue& v, int indent) {
    std::string& out = o.text;
    if (v.make)
        return Write(o, v.make(), indent);
    if (!v.raw.empty()) {
        JsonValue parsed;
        std::string error;
        if (!JsonParse(v.raw, parsed, error)) {
            out += v.raw;
            return true;
        }
        return Write(o, parsed, indent);
    }
    switch (v.type) {
        case JsonType::Null:
            out += "null";
            return true;
        case JsonType::Bool:
            out += v.boolean ? "true" : "false";
            return true;
        case JsonType::Number: {
            char buf[64];
            auto r = v.isInteger ? std::to_chars(buf, buf + sizeof buf, v.integer)
                                 : std::to_chars(buf, buf + sizeof buf, v.number);
            out.append(buf, r.ptr);
            // A double stays one when read back ("-0" would read as the whole number 0).
            if (!v.isInteger && std::string_view(buf, size_t(r.ptr - buf)).find_first_of(".eE") ==
                                    std::string_view::npos)
                out += ".0";
            return true;
        }
        case JsonType::String:
            WriteString(out, v.text);
            return true;
        case JsonType::Array: {
            const bool lines = HoldsObject(v);
            out += '[';
            for (size_t i = 0; i < v.items.size(); ++i) {
                if (lines) {
                    out += i ? ",\n" : "\n";
                    out.append(size_t(indent + 2), ' ');
                } else if (i) {
                    out += ", ";
                }
                if (!Write(o, v.items[i], indent + 2) || !o.Flush(false))
                    return false;
            }
            if (lines && !v.items.empty()) {
                out += '\n';
                out.append(size_t(indent), ' ');
            }
            out += ']';
            return true;
        }
        case JsonType::Object: {
            out += '{';
            for (size_t i = 0; i < v.members.size(); ++i) {
                out += i ? ",\n" : "\n";
                out.append(size_t(indent + 2), ' ');
                WriteKey(out, v.members[i].first);
                out += ": ";
                if (!Write(o, v.members[i].second, indent + 2) || !o.Flush(false))
                    return false;
            }
            if (!v.members.empty()) {
                out += '\n';
                out.append(size_t(indent), ' ');
            }
            out += '}';
            return true;
        }
    }
    return true;
}

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Digit(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 26;
    if (c >= u'0' && c <= u'9')
        return c - u'0' + 52;
    if (c == u'+')
        return 62;
    if (c == u'/')
        return 63;
    return -1;
}

} // namespace

bool JsonParse(std::string_view text, JsonValue& out, std::string& error,
               const JsonLimits& limits) {
    out = JsonValue{};
    Parser parser(text, limits, error);
    return parser.Document(out);
}

std::string JsonWrite(const JsonValue& value) {
    Output o;
    Write(o, value, 0);
    o.text += '\n';
    return std::move(o.text);
}

bool JsonWrite(const JsonValue& value, const JsonSink& sink) {
    Output o;
    o.sink = &sink;
    if (!Write(o, value, 0))
        return false;
    o.text += '\n';
    return o.Flush(true);
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string Base64Encode(const unsigned char* data, std::size_t size) {
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        const unsigned b0 = data[i];
        const unsigned b1 = i + 1 < size ? data[i + 1] : 0;
        const unsigned b2 = i + 2 < size ? data[i + 2] : 0;
        const unsigned v = b0 << 16 | b1 << 8 | b2;
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += i + 1 < size ? kBase64[(v >> 6) & 63] : '=';
        out += i + 2 < size ? kBase64[v & 63] : '=';
    }
    return out;
}

bool Base64Decode(std::u16string_view text, std::vector<unsigned char>& out) {
    out.clear();
    if (text.size() % 4 != 0)
        return false;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int d[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            const char16_t c = text[i + size_t(k)];
            if (c == u'=' && last && k >= 2) {
                d[k] = 0;
                ++pad;
                continue;
            }
            if (pad)
                return false; // data after padding
            d[k] = Base64Digit(c);
            if (d[k] < 0)
                return false;
        }
        const unsigned v =
            unsigned(d[0]) << 18 | unsigned(d[1]) << 12 | unsigned(d[2]) << 6 | unsigned(d[3]);
        if ((pad == 1 && (v & 0xFF)) || (pad == 2 && (v & 0xFFFF)))
            return false; // bits the padding should have zeroed
        out.push_back((unsigned char)(v >> 16));
        if (pad < 2)
            out.push_back((unsigned char)(v >> 8));
        if (pad < 1)
            out.push_back((unsigned char)v);
    }
    return true;
}

} // namespace padtool
