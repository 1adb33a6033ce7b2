// The JSON reader refuses what is not strict JSON, keeps to its limits, and reads back what
// the writer writes, UTF-16 texts of every kind included.
#include "Json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

using padtool::Base64Decode;
using padtool::Base64Encode;
using padtool::JsonLimits;
using padtool::JsonParse;
using padtool::JsonType;
using padtool::JsonValue;
using padtool::JsonWrite;

namespace {

bool Parses(std::string_view text, JsonValue* out = nullptr, std::string* why = nullptr,
            const JsonLimits& limits = {}) {
    JsonValue v;
    std::string error;
    const bool ok = JsonParse(text, v, error, limits);
    if (out)
        *out = std::move(v);
    if (why)
        *why = error;
    return ok;
}

std::u16string StringOf(std::string_view text) {
    JsonValue v;
    std::string error;
    EXPECT_TRUE(JsonParse(text, v, error)) << text << ": " << error;
    EXPECT_EQ(v.type, JsonType::String);
    return v.text;
}

} // namespace

TEST(JsonParse, MalformedTextIsRefusedWithItsPlace) {
    const char* bad[] = {"",
                         "   ",
                         "{",
                         "[1, 2",
                         "[1, 2,]",
                         "{\"a\": 1,}",
                         "{\"a\" 1}",
                         "{a: 1}",
                         "{'a': 1}",
                         "[01]",
                         "[-]",
                         "[1.]",
                         "[.5]",
                         "[1e]",
                         "[+1]",
                         "[0x10]",
                         "[NaN]",
                         "[Infinity]",
                         "[tru]",
                         "[nul]",
                         "\"abc",
                         "\"a\\x\"",
                         "\"\\u12g4\"",
                         "\"\\u12\"",
                         "\"tab\there\"",
                         "\"line\nbreak\"",
                         "[1] [2]",
                         "[1] x",
                         "\xEF\xBB\xBF[1]", // a byte order mark is not white space
                         "{\"a\": 1, \"a\": 2}",
                         "[1e400]",
                         "[9223372036854775808]",
                         "[-9223372036854775809]"};
    for (const char* text : bad) {
        std::string why;
        EXPECT_FALSE(Parses(text, nullptr, &why)) << text;
        EXPECT_EQ(why.rfind("line ", 0), 0u) << text << " gives " << why;
        EXPECT_EQ(why.find('\n'), std::string::npos) << why;
    }
    std::string why;
    EXPECT_FALSE(Parses("{\n  \"a\": 1,\n  \"b\": ?\n}", nullptr, &why));
    EXPECT_EQ(why.rfind("line 3, column 8:", 0), 0u) << why;
}

TEST(JsonParse, InvalidUtf8IsRefused) {
    const char* bad[] = {
        "\"\x80\"",             // continuation byte alone
        "\"\xC0\xAF\"",         // overlong '/'
        "\"\xE0\x80\xAF\"",     // overlong, three bytes
        "\"\xED\xA0\x80\"",     // a surrogate written as UTF-8
        "\"\xF4\x90\x80\x80\"", // past U+10FFFF
        "\"\xF8\x88\x80\x80\x80\"",
        "\"\xE2\x82\"", // cut short before the quote
        "\"\xE2\x82",   // cut short at the end of the text
        "\"\xC3\"",
    };
    for (const char* text : bad)
        EXPECT_FALSE(Parses(text)) << text;
}

TEST(JsonParse, LimitsOnDepthValuesAndSize) {
    JsonLimits limits;
    limits.maxDepth = 3;
    EXPECT_TRUE(Parses("[[[1]]]", nullptr, nullptr, limits));
    EXPECT_FALSE(Parses("[[[[1]]]]", nullptr, nullptr, limits));
    EXPECT_FALSE(Parses("{\"a\": {\"b\": {\"c\": {}}}}", nullptr, nullptr, limits));
    // Far deeper than any stack would allow without the limit.
    std::string deep(200000, '[');
    std::string why;
    EXPECT_FALSE(Parses(deep, nullptr, &why));
    EXPECT_NE(why.find("nested deeper"), std::string::npos) << why;

    limits = JsonLimits{};
    limits.maxValues = 4;
    EXPECT_TRUE(Parses("[1, 2, 3]", nullptr, nullptr, limits));
    EXPECT_FALSE(Parses("[1, 2, 3, 4]", nullptr, nullptr, limits));

    limits = JsonLimits{};
    limits.maxBytes = 8;
    EXPECT_TRUE(Parses("[1,2,3] ", nullptr, nullptr, limits));
    EXPECT_FALSE(Parses("[1,2,3]  ", nullptr, nullptr, limits));
}

TEST(JsonParse, DeferredObjectsAreCheckedWholeAndWriteTheSame) {
    const std::string text =
        "{\"pages\": [{\"objects\": [{\"a\": [1, 2]}, {\"b\": {\"c\": \"d\"}}]}], \"n\": 1}";
    JsonLimits limits;
    limits.deferDepth = 5;
    JsonValue lazy, full;
    std::string why;
    ASSERT_TRUE(JsonParse(text, lazy, why, limits)) << why;
    ASSERT_TRUE(JsonParse(text, full, why)) << why;
    const JsonValue& objects = *lazy.Find("pages")->items[0].Find("objects");
    ASSERT_EQ(objects.items.size(), 2u);
    EXPECT_EQ(objects.items[0].raw, "{\"a\": [1, 2]}");
    EXPECT_TRUE(objects.items[1].members.empty());
    EXPECT_TRUE(lazy.Find("pages")->items[0].raw.empty()); // shallower objects are parsed
    EXPECT_EQ(JsonWrite(lazy), JsonWrite(full));
    EXPECT_EQ(JsonWrite(JsonValue::Later([&full] { return full; })), JsonWrite(full));
    // A fault inside a deferred object is found at its place, and its values count.
    std::string bad = text;
    bad.replace(bad.find("[1, 2]"), 6, "[1, 2,]");
    EXPECT_FALSE(JsonParse(bad, lazy, why, limits));
    EXPECT_EQ(why, "line 1, column 37: a value cannot start with this character");
    limits.maxValues = 8;
    EXPECT_FALSE(JsonParse(text, lazy, why, limits));
}

TEST(JsonParse, NumbersKeepWholeValuesExact) {
    JsonValue v;
    ASSERT_TRUE(Parses("[0, -0, 9223372036854775807, -9223372036854775808, 2147483648, 1.5, "
                       "-2.5e-3, 1E2, 0.1]",
                       &v));
    ASSERT_EQ(v.items.size(), 9u);
    EXPECT_TRUE(v.items[0].isInteger);
    EXPECT_EQ(v.items[0].integer, 0);
    EXPECT_TRUE(v.items[1].isInteger);
    EXPECT_TRUE(std::signbit(v.items[1].number)); // -0 stays negative as a double
    EXPECT_EQ(v.items[2].integer, INT64_MAX);
    EXPECT_EQ(v.items[3].integer, INT64_MIN);
    EXPECT_EQ(v.items[4].integer, 2147483648ll);
    EXPECT_FALSE(v.items[5].isInteger);
    EXPECT_EQ(v.items[5].number, 1.5);
    EXPECT_EQ(v.items[6].number, -2.5e-3);
    EXPECT_FALSE(v.items[7].isInteger);
    EXPECT_EQ(v.items[7].number, 100.0);
    EXPECT_EQ(v.items[8].number, 0.1);
}

TEST(JsonParse, EscapesAndUnicode) {
    EXPECT_EQ(StringOf(R"("\"\\\/\b\f\n\r\t")"), u"\"\\/\b\f\n\r\t");
    // Korean as escapes and as UTF-8.
    EXPECT_EQ(StringOf(R"("\uD55C\uAE00")"), u"\uD55C\uAE00");
    EXPECT_EQ(StringOf("\"\xED\x95\x9C\xEA\xB8\x80\""), u"\uD55C\uAE00");
    // An astral character: a surrogate pair, escaped (either case) or in four UTF-8 bytes.
    EXPECT_EQ(StringOf(R"("\ud83d\ude00")"), u"\U0001F600");
    EXPECT_EQ(StringOf(R"("\uD83D\uDE00")"), u"\U0001F600");
    EXPECT_EQ(StringOf("\"\xF0\x9F\x98\x80\""), u"\U0001F600");
    // Lone surrogates are units a memo text may hold; they are kept as they are.
    EXPECT_EQ(StringOf(R"("a\ud800b")"), std::u16string(u"a") + char16_t(0xD800) + u"b");
    EXPECT_EQ(StringOf(R"("\udc00\ud800")"), std::u16string({char16_t(0xDC00), char16_t(0xD800)}));
    EXPECT_EQ(StringOf(R"("\u0000")"), std::u16string(1, u'\0'));
}

TEST(JsonWrite, CanonicalLayoutReadsBackToTheSameText) {
    JsonValue o = JsonValue::Object();
    o.Add("n", JsonValue::Int(-5));
    o.Add("d", JsonValue::Double(949998.0));
    o.Add("f", JsonValue::Double(0.1));
    o.Add("list", JsonValue::Array()).Push(JsonValue::Int(1));
    JsonValue& pts = o.Add("points", JsonValue::Array());
    JsonValue p = JsonValue::Array();
    p.Push(JsonValue::Int(65536));
    p.Push(JsonValue::Int(-1));
    pts.Push(p);
    pts.Push(p);
    JsonValue& objects = o.Add("objects", JsonValue::Array());
    objects.Push(JsonValue::Object()).Add("k", JsonValue::Null());
    o.Add("empty", JsonValue::Object());
    std::u16string text = u"q\"\\\n\x01\uD55C\U0001F600";
    text += char16_t(0xDBFF); // lone, at the end
    o.Add("s", JsonValue::Str(text));
    const std::string written = JsonWrite(o);
    EXPECT_EQ(written, "{\n"
                       "  \"n\": -5,\n"
                       "  \"d\": 949998.0,\n"
                       "  \"f\": 0.1,\n"
                       "  \"list\": [1],\n"
                       "  \"points\": [[65536, -1], [65536, -1]],\n"
                       "  \"objects\": [\n"
                       "    {\n"
                       "      \"k\": null\n"
                       "    }\n"
                       "  ],\n"
                       "  \"empty\": {},\n"
                       "  \"s\": \"q\\\"\\\\\\n\\u0001\xED\x95\x9C\xF0\x9F\x98\x80\\udbff\"\n"
                       "}\n");
    JsonValue back;
    std::string why;
    ASSERT_TRUE(JsonParse(written, back, why)) << why;
    EXPECT_EQ(back.Find("s")->text, text);
    EXPECT_EQ(JsonWrite(back), written);
}

TEST(JsonWrite, DoublesRoundTripExactly) {
    const double values[] = {0.0,       -0.0,        1e-310, 5e-324, 1.7976931348623157e308,
                             0.1 + 0.2, -123456.789, 45000.5};
    for (double d : values) {
        JsonValue a = JsonValue::Array();
        a.Push(JsonValue::Double(d));
        JsonValue back;
        std::string why;
        ASSERT_TRUE(JsonParse(JsonWrite(a), back, why)) << why;
        const double r = back.items[0].number;
        EXPECT_EQ(std::memcmp(&r, &d, sizeof d), 0) << JsonWrite(a);
        // Written again it is the same text: a double stays a double.
        EXPECT_FALSE(back.items[0].isInteger) << JsonWrite(a);
        EXPECT_EQ(JsonWrite(back), JsonWrite(a));
    }
    JsonValue minusZero;
    std::string why;
    ASSERT_TRUE(JsonParse("-0E5", minusZero, why)) << why;
    EXPECT_EQ(JsonWrite(minusZero), "-0.0\n");
}

TEST(Base64, EncodesAndDecodesStrictly) {
    const unsigned char bytes[] = {0, 1, 2, 253, 254, 255, 'M', 'a', 'n'};
    for (size_t n = 0; n <= sizeof bytes; ++n) {
        const std::string e = Base64Encode(bytes, n);
        EXPECT_EQ(e.size(), (n + 2) / 3 * 4);
        std::vector<unsigned char> d;
        ASSERT_TRUE(Base64Decode(std::u16string(e.begin(), e.end()), d)) << e;
        EXPECT_EQ(d, std::vector<unsigned char>(bytes, bytes + n));
    }
    EXPECT_EQ(Base64Encode(reinterpret_cast<const unsigned char*>("Man"), 3), "TWFu");
    std::vector<unsigned char> d;
    const char16_t* bad[] = {u"TWF",  u"TW=u", u"T===", u"TWFu=", u"TW u", u"TW-u",
                             u"TWF=", // the unused bits are not zero
                             u"TR==", u"=TWF"};
    for (const char16_t* b : bad)
        EXPECT_FALSE(Base64Decode(b, d)) << padtool::Utf16ToUtf8(b);
}

TEST(JsonWrite, MemberNamesOfAnyTextReadBack) {
    JsonValue v;
    std::string why;
    ASSERT_TRUE(JsonParse(R"({"\uD55C\"\n\\x": 1, "\ud83d\ude00": 2})", v, why)) << why;
    const std::string written = JsonWrite(v);
    EXPECT_EQ(written, "{\n  \"\xED\x95\x9C\\\"\\n\\\\x\": 1,\n  \"\xF0\x9F\x98\x80\": 2\n}\n");
    JsonValue back;
    ASSERT_TRUE(JsonParse(written, back, why)) << why;
    ASSERT_EQ(back.members.size(), 2u);
    EXPECT_EQ(back.members[0].first, v.members[0].first);
    EXPECT_EQ(back.members[1].first, "\xF0\x9F\x98\x80");
    EXPECT_EQ(JsonWrite(back), written);
}
