// A small, strict JSON reader and a writer of one canonical layout. Strings are held as
// UTF-16, as memo texts are; lone surrogates survive as \u escapes. Hostile input is refused
// with a reason, never trusted: nesting, size and value count are limited.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace padtool {

enum class JsonType : std::uint8_t { Null, Bool, Number, String, Array, Object };

struct JsonMember;

struct JsonValue {
    JsonType type = JsonType::Null;
    bool boolean = false;
    // Numbers: integer is exact when isInteger (no fraction or exponent was written);
    // number is the nearest double either way.
    bool isInteger = false;
    std::int64_t integer = 0;
    double number = 0;
    std::u16string text;
    std::vector<JsonValue> items;
    std::vector<JsonMember> members; // in the order read or added
    // An object kept as its JSON text (see JsonLimits::deferDepth): members is then empty and
    // the text is parsed again where the object is needed. Big documents stay small in memory
    // this way, one object at a time being whole.
    std::string raw;
    // An object made only when it is written, and let go right after (see Later).
    std::function<JsonValue()> make;

    static JsonValue Null();
    static JsonValue Int(std::int64_t v);
    static JsonValue Double(double v);
    static JsonValue Str(std::u16string s);
    static JsonValue Ascii(std::string_view s);
    static JsonValue Array();
    static JsonValue Object();
    // An object that make builds when JsonWrite reaches it: a large document is written
    // without ever being whole in memory. What make reads must outlive the value.
    static JsonValue Later(std::function<JsonValue()> make);

    // Object members; null when absent.
    const JsonValue* Find(std::string_view key) const;
    JsonValue& Add(std::string key, JsonValue value);
    JsonValue& Push(JsonValue value);
};

struct JsonMember {
    std::string first; // the name
    JsonValue second;
};

struct JsonLimits {
    std::size_t maxBytes = 128u << 20;
    int maxDepth = 64;
    std::size_t maxValues = 4000000;
    // Objects nested this deep (the outermost value is at depth 1) are checked in full but
    // kept as their text in raw; 0 keeps every value parsed.
    int deferDepth = 0;
};

// The whole text must be one value with only white space around it. On failure error says
// where ("line L, column C: ...") and out is unspecified.
bool JsonParse(std::string_view text, JsonValue& out, std::string& error,
               const JsonLimits& limits = {});

// Objects one member per line, indented by two spaces; arrays holding no object on one line.
// Ends with a line feed. Objects kept as text or made later are written as whole ones are.
std::string JsonWrite(const JsonValue& value);

// Receives written text in pieces; false stops the writing.
using JsonSink = std::function<bool(std::string_view piece)>;
// The same text in pieces of about 64 KiB, so that a large document is never held whole.
// False when the sink stopped it.
bool JsonWrite(const JsonValue& value, const JsonSink& sink);

// UTF-16 (lone surrogates allowed) to UTF-8; lone surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

std::string Base64Encode(const unsigned char* data, std::size_t size);
// Strict: padded, no white space, unused bits zero. False on anything else.
bool Base64Decode(std::u16string_view text, std::vector<unsigned char>& out);

} // namespace padtool
