#include "Json.h"

#include <platform/utf.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <unordered_set>
#include <utility>

namespace padtool {
namespace {

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// One sequence of s from at: its code point (a surrogate in its three-byte form counts) and
// its length. Anything else that is not UTF-8 is one byte read as U+FFFD.
std::size_t Decode(std::string_view s, std::size_t at, char32_t& cp) {
    const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(at);
    cp = 0xFFFD;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    int more;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        more = 1;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        more = 2;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        more = 3;
        min = 0x10000;
    } else {
        return 1;
    }
    if (at + std::size_t(more) >= s.size())
        return 1;
    char32_t v = b0 & (0x3F >> more);
    for (int i = 1; i <= more; ++i) {
        const unsigned char b = byte(at + std::size_t(i));
        if ((b & 0xC0) != 0x80)
            return 1;
        v = v << 6 | (b & 0x3F);
    }
    if (v < min || v > 0x10FFFF)
        return 1;
    cp = v;
    return std::size_t(more) + 1;
}

void Encode(std::string& out, char32_t cp) {
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

// The unit of a \u escape at text[at], or -1.
long EscapedUnit(std::string_view text, std::size_t at) {
    if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u')
        return -1;
    long v = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const int d = plat::HexDigit(text[i]);
        if (d < 0)
            return -1;
        v = v << 4 | d;
    }
    return v;
}

// The parser refuses a \u escape of a lone surrogate. Such escapes are read as U+FFFD, an
// escape as long, so that places in the text stay true, and are put back into the string
// after: for each string literal that held one, the units its U+FFFDs stand for, 0 where the
// text had U+FFFD itself.
struct StandIns {
    std::string text; // the text with the escapes replaced; empty when it had none
    std::vector<std::pair<std::size_t, std::vector<char16_t>>> literals;
};

void FindLoneSurrogates(std::string_view text, StandIns& found) {
    std::size_t literal = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '"')
            continue;
        std::vector<char16_t> units;
        bool lone = false;
        for (++i; i < text.size() && text[i] != '"';) {
            if (text[i] == '\\') {
                const long v = EscapedUnit(text, i);
                const long next = EscapedUnit(text, i + 6);
                if (v >= 0xD800 && v <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
                    i += 12;
                } else if (IsSurrogate(char32_t(v)) || v == 0xFFFD) {
                    if (v != 0xFFFD) {
                        if (found.text.empty())
                            found.text.assign(text);
                        found.text.replace(i, 6, "\\ufffd");
                        lone = true;
                    }
                    units.push_back(v == 0xFFFD ? 0 : char16_t(v));
                    i += 6;
                } else {
                    i += 2;
                }
            } else if (text.substr(i, 3) == "\xEF\xBF\xBD") {
                units.push_back(0);
                i += 3;
            } else {
                ++i;
            }
        }
        if (lone)
            found.literals.emplace_back(literal, std::move(units));
        ++literal;
    }
}

// The text for the parser, telling the reader how far the parser has read, so that a fault
// found between the parser's own checks can be placed.
class TrackedChars {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    TrackedChars(const char* at, const char** reached) : m_at(at), m_reached(reached) {}
    reference operator*() const { return *m_at; }
    TrackedChars& operator++() {
        *m_reached = ++m_at;
        return *this;
    }
    bool operator==(const TrackedChars& other) const { return m_at == other.m_at; }
    bool operator!=(const TrackedChars& other) const { return m_at != other.m_at; }

private:
    const char* m_at;
    const char** m_reached;
};

// Builds the value from the parser's events, and stops it at the first limit passed.
class Reader {
public:
    Reader(Json& root, std::string_view text, const JsonLimits& limits, const StandIns& standIns,
           std::string& error)
        : m_root(root), m_text(text), m_limits(limits), m_standIns(standIns), m_error(error),
          m_reached(text.data()) {}

    const char** Reached() { return &m_reached; }

    bool null() { return Add(Json(nullptr)) != nullptr; }
    bool boolean(bool v) { return Add(Json(v)) != nullptr; }
    bool number_integer(std::int64_t v) { return Add(Json(v)) != nullptr; }
    bool number_unsigned(std::uint64_t v) {
        if (v > std::uint64_t(INT64_MAX))
            return Fail("the whole number is out of range");
        return Add(Json(std::int64_t(v))) != nullptr;
    }
    bool number_float(double v, const std::string& written) {
        // A whole number past even 64 unsigned bits comes as a double.
        if (written.find_first_of(".eE") == std::string::npos)
            return Fail("the whole number is out of range");
        return Add(Json(v)) != nullptr;
    }
    bool string(std::string& v) {
        PutBack(v);
        return Add(Json(std::move(v))) != nullptr;
    }
    bool binary(Json::binary_t&) { return Fail("binary data is not JSON"); }
    bool start_object(std::size_t) { return Open(Json::object()); }
    bool start_array(std::size_t) { return Open(Json::array()); }
    // Names keep U+FFFD for a lone surrogate: they are only ever compared and shown.
    bool key(std::string& name) {
        ++m_literal;
        if (!m_names.back().insert(name).second)
            return Fail("member \"" + name + "\" appears twice");
        m_key = std::move(name);
        return true;
    }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }
    bool parse_error(std::size_t position, const std::string&, const Json::exception& e) {
        // The parser's words without its own header, place and echo of the text.
        std::string why = e.what();
        const std::size_t column = why.find("column ");
        const std::size_t colon = why.find(": ", column == std::string::npos ? 0 : column);
        if (colon != std::string::npos)
            why.erase(0, colon + 2);
        else if (why.find("] ") != std::string::npos)
            why.erase(0, why.find("] ") + 2);
        if (why.rfind("syntax error ", 0) == 0 && why.find(" - ") != std::string::npos)
            why.erase(0, why.find(" - ") + 3);
        why = why.substr(0, why.find("; last read"));
        return Place(position ? position - 1 : 0, why);
    }

private:
    bool Place(std::size_t at, const std::string& why) {
        int line = 1, column = 1;
        for (std::size_t i = 0; i < at && i < m_text.size(); ++i) {
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
    // At the last character read.
    bool Fail(const std::string& why) {
        const std::size_t read = std::size_t(m_reached - m_text.data());
        return Place(read ? read - 1 : 0, why);
    }

    Json* Add(Json&& value) {
        if (++m_values > m_limits.maxValues) {
            Fail("more than " + std::to_string(m_limits.maxValues) + " values");
            return nullptr;
        }
        if (m_open.empty()) {
            m_root = std::move(value);
            return &m_root;
        }
        Json& parent = *m_open.back();
        if (auto* items = parent.get_ptr<Json::array_t*>()) {
            items->push_back(std::move(value));
            return &items->back();
        }
        // The name was checked as it came; the map would look for it again.
        auto* members = parent.get_ptr<Json::object_t*>();
        members->emplace_back(std::move(m_key), std::move(value));
        return &members->back().second;
    }
    bool Open(Json&& container) {
        if (int(m_open.size()) >= m_limits.maxDepth)
            return Fail("nested deeper than " + std::to_string(m_limits.maxDepth));
        Json* at = Add(std::move(container));
        if (!at)
            return false;
        m_open.push_back(at);
        m_names.emplace_back();
        return true;
    }
    bool Close() {
        Json* closed = m_open.back();
        if (closed->is_object() && int(m_open.size()) == m_limits.packDepth)
            *closed = Json::binary(Json::to_msgpack(*closed));
        m_open.pop_back();
        m_names.pop_back();
        return true;
    }
    void PutBack(std::string& v) {
        const std::size_t literal = m_literal++;
        auto& lits = m_standIns.literals;
        while (m_nextStandIn < lits.size() && lits[m_nextStandIn].first < literal)
            ++m_nextStandIn;
        if (m_nextStandIn == lits.size() || lits[m_nextStandIn].first != literal)
            return;
        const std::vector<char16_t>& units = lits[m_nextStandIn].second;
        std::string out;
        std::size_t n = 0;
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (v.compare(i, 3, "\xEF\xBF\xBD") == 0 && n < units.size()) {
                Encode(out, units[n] ? units[n] : 0xFFFD);
                ++n;
                i += 2;
            } else {
                out += v[i];
            }
        }
        v = std::move(out);
    }

    Json& m_root;
    std::string_view m_text;
    const JsonLimits& m_limits;
    const StandIns& m_standIns;
    std::string& m_error;
    const char* m_reached;
    std::vector<Json*> m_open;
    std::vector<std::unordered_set<std::string>> m_names;
    std::string m_key;
    std::size_t m_values = 0;
    std::size_t m_literal = 0;
    std::size_t m_nextStandIn = 0;
};

void WriteString(std::string& out, std::string_view s) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < s.size();) {
        char32_t c;
        const std::size_t n = Decode(s, i, c);
        const char* escape = c == '"'    ? "\\\""
                             : c == '\\' ? "\\\\"
                             : c == '\b' ? "\\b"
                             : c == '\f' ? "\\f"
                             : c == '\n' ? "\\n"
                             : c == '\r' ? "\\r"
                             : c == '\t' ? "\\t"
                                         : nullptr;
        if (escape) {
            out += escape;
        } else if (c < 0x20 || IsSurrogate(c)) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(c >> shift) & 0xF];
        } else if (n == 1 && c == 0xFFFD) {
            out += "\xEF\xBF\xBD"; // a stray byte
        } else {
            out.append(s.substr(i, n));
        }
        i += n;
    }
    out += '"';
}

void WriteNumber(std::string& out, const Json& v) {
    char buf[64];
    std::to_chars_result r{buf, {}};
    if (const auto* i = v.get_ptr<const Json::number_integer_t*>()) {
        r = std::to_chars(buf, buf + sizeof buf, *i);
    } else if (const auto* u = v.get_ptr<const Json::number_unsigned_t*>()) {
        r = std::to_chars(buf, buf + sizeof buf, *u);
    } else {
        const double d = *v.get_ptr<const Json::number_float_t*>();
        if (!std::isfinite(d)) {
            out += "null";
            return;
        }
        r = std::to_chars(buf, buf + sizeof buf, d);
        // A double stays one when read back ("-0" would read as the whole number 0).
        if (std::string_view(buf, std::size_t(r.ptr - buf)).find_first_of(".eE") ==
            std::string_view::npos) {
            out.append(buf, r.ptr);
            out += ".0";
            return;
        }
    }
    out.append(buf, r.ptr);
}

bool HoldsObject(const Json& v) {
    for (const Json& item : v)
        if (item.is_object() || item.is_binary())
            return true;
    return false;
}

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Digit(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

bool JsonParse(std::string_view text, Json& out, std::string& error, const JsonLimits& limits) {
    out = Json();
    error.clear();
    if (text.size() > limits.maxBytes) {
        error = "the text is larger than " + std::to_string(limits.maxBytes) + " bytes";
        return false;
    }
    // The parser would skip it; it is not white space.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        error = "line 1, column 1: a byte order mark is not JSON";
        return false;
    }
    StandIns standIns;
    FindLoneSurrogates(text, standIns);
    const std::string_view parsed = standIns.text.empty() ? text : std::string_view(standIns.text);
    Reader reader(out, parsed, limits, standIns, error);
    const char* first = parsed.data();
    const char* last = first + parsed.size();
    const bool ok = Json::sax_parse(TrackedChars(first, reader.Reached()),
                                    TrackedChars(last, reader.Reached()), &reader);
    if (!ok && error.empty())
        error = "line 1, column 1: not JSON";
    return ok;
}

const Json& Unpacked(const Json& value, Json& scratch) {
    if (!value.is_binary())
        return value;
    scratch = Json::from_msgpack(value.get_binary(), true, false);
    return scratch;
}

void JsonWriter::Open(bool object, bool lines) {
    Item();
    m_text += object ? '{' : '[';
    m_levels.push_back(Level{object, lines, 0});
}

void JsonWriter::Key(std::string_view name) {
    Item();
    WriteString(m_text, name);
    m_text += ": ";
    m_afterKey = true;
}

void JsonWriter::Close() {
    const Level level = m_levels.back();
    m_levels.pop_back();
    if (level.lines && level.count) {
        m_text += '\n';
        m_text.append(2 * m_levels.size(), ' ');
    }
    m_text += level.object ? '}' : ']';
}

void JsonWriter::Item() {
    Flush(false);
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty())
        return;
    Level& level = m_levels.back();
    if (level.count)
        m_text += ',';
    if (level.lines) {
        m_text += '\n';
        m_text.append(2 * m_levels.size(), ' ');
    } else if (level.count) {
        m_text += ' ';
    }
    ++level.count;
}

void JsonWriter::Value(const Json& value) {
    if (m_stopped)
        return;
    switch (value.type()) {
        case Json::value_t::object:
            OpenObject();
            for (const auto& [name, member] : *value.get_ptr<const Json::object_t*>()) {
                Key(name);
                Value(member);
            }
            Close();
            return;
        case Json::value_t::array:
            OpenArray(HoldsObject(value));
            for (const Json& item : value)
                Value(item);
            Close();
            return;
        case Json::value_t::binary: {
            Json scratch;
            Value(Unpacked(value, scratch));
            return;
        }
        default:
            break;
    }
    Item();
    if (const auto* s = value.get_ptr<const std::string*>())
        WriteString(m_text, *s);
    else if (const auto* b = value.get_ptr<const bool*>())
        m_text += *b ? "true" : "false";
    else if (value.is_number())
        WriteNumber(m_text, value);
    else
        m_text += "null";
}

void JsonWriter::Flush(bool all) {
    constexpr std::size_t kPiece = 64 * 1024;
    if (!m_sink || (!all && m_text.size() < kPiece))
        return;
    if (!m_stopped && !(*m_sink)(m_text))
        m_stopped = true;
    m_text.clear();
}

bool JsonWriter::Finish() {
    m_text += '\n';
    Flush(true);
    return !m_stopped;
}

std::string JsonWrite(const Json& value) {
    JsonWriter writer;
    writer.Value(value);
    writer.Finish();
    return std::move(writer.Text());
}

std::string ToJsonText(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        Encode(out, cp);
    }
    return out;
}

std::u16string FromJsonText(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp;
        i += Decode(text, i, cp);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string Base64Encode(const unsigned char* data, std::size_t size) {
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    for (std::size_t i = 0; i < size; i += 3) {
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

bool Base64Decode(std::string_view text, std::vector<unsigned char>& out) {
    out.clear();
    if (text.size() % 4 != 0)
        return false;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int d[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + std::size_t(k)];
            if (c == '=' && last && k >= 2) {
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
