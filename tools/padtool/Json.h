// JSON text for padtool on nlohmann-json: a reader that refuses hostile text with a reason,
// and a writer of one canonical layout. Strings are UTF-8, except that a lone UTF-16
// surrogate, which a memo text may hold, is kept as its own three-byte form so that texts
// come back unit for unit; it is read from and written as a \u escape.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace padtool {

// Members keep the order they were read or added in.
using Json = nlohmann::ordered_json;

struct JsonLimits {
    std::size_t maxBytes = 128u << 20;
    int maxDepth = 64;
    std::size_t maxValues = 4000000;
    // Objects nested exactly this deep (the outermost value is at depth 1) are checked in full
    // but kept packed, as a binary value, until Unpacked opens them: a big document stays small
    // in memory, one object at a time being whole. 0 keeps every value open.
    int packDepth = 0;
};

// The whole text must be one value with only white space around it; whole numbers are read
// as 64-bit integers, and a name may appear once in an object. On failure error says where
// ("line L, column C: ...") and out is not to be used.
bool JsonParse(std::string_view text, Json& out, std::string& error, const JsonLimits& limits = {});

// An object JsonParse kept packed, opened into scratch; any other value as it is.
const Json& Unpacked(const Json& value, Json& scratch);

// Receives written text in pieces; false stops the writing.
using JsonSink = std::function<bool(std::string_view piece)>;

// Objects one member per line, indented by two spaces; arrays holding no object on one line.
// A document may be written a part at a time, so that a large one is never whole in memory.
class JsonWriter {
public:
    // With a sink, the text goes to it in pieces of about 64 KiB; without, Text() holds it.
    explicit JsonWriter(const JsonSink* sink = nullptr) : m_sink(sink) {}

    void OpenObject() { Open(true, true); }
    // lines: one item a line, as an array of objects is written.
    void OpenArray(bool lines) { Open(false, lines); }
    // The name of the object member written next.
    void Key(std::string_view name);
    void Value(const Json& value);
    void Close();
    // The closing line feed and the last piece; false when the sink stopped the writing.
    bool Finish();
    bool Stopped() const { return m_stopped; }
    std::string& Text() { return m_text; }

private:
    struct Level {
        bool object;
        bool lines;
        std::size_t count;
    };
    void Open(bool object, bool lines);
    void Item();
    void Flush(bool all);

    const JsonSink* m_sink;
    std::vector<Level> m_levels;
    std::string m_text;
    bool m_afterKey = false;
    bool m_stopped = false;
};

// The whole text of value, ending with a line feed.
std::string JsonWrite(const Json& value);

// UTF-16 to the strings' form and back; bytes that are not UTF-8 come back as U+FFFD.
std::string ToJsonText(std::u16string_view text);
std::u16string FromJsonText(std::string_view text);

std::string Base64Encode(const unsigned char* data, std::size_t size);
// Strict: padded, no white space, unused bits zero. False on anything else.
bool Base64Decode(std::string_view text, std::vector<unsigned char>& out);

} // namespace padtool
