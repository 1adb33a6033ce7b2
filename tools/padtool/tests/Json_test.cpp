// The JSON reader refuses what is not strict JSON, keeps to its limits, and reads back what
// the writer writes, UTF-16 texts of every kind included.
#include "Json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

using padtool::Base64Decode;
using padtool::Base64Encode;
using padtool::FromJsonText;
using padtool::Json;
using padtool::JsonLimits;
using padtool::JsonParse;
using padtool::JsonWrite;
using padtool::ToJsonText;

namespace {

bool Parses(std::string_view text, Json* out = nullptr, std::string* why = nullptr,
            const JsonLimits& limits = {}) {
    Json v;
    std::string error;
    const bool ok = JsonParse(text, v, error, limits);
    if (out)
        *out = std::move(v);
    if (why)
        *why = error;
    return ok;
}

std::u16string StringOf(std::string_view text) {
    Json v;
    std::string error;
    EXPECT_TRUE(JsonParse(text, v, error)) << text << ": " << error;
    const auto* s = v.get_ptr<const std::string*>();
    EXPECT_TRUE(s) << text;
    return s ? FromJsonText(*s) : std::u16string();
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
    EXPECT_EQ(why, "line 1, column 65: nested deeper than 64");

    limits = JsonLimits{};
    limits.maxValues = 4;
    EXPECT_TRUE(Parses("[1, 2, 3]", nullptr, nullptr, limits));
    EXPECT_FALSE(Parses("[1, 2, 3, 4]", nullptr, nullptr, limits));

    limits = JsonLimits{};
    limits.maxBytes = 8;
    EXPECT_TRUE(Parses("[1,2,3] ", nullptr, nullptr, limits));
    EXPECT_FALSE(Parses("[1,2,3]  ", nullptr, nullptr, limits));
}

TEST(JsonParse, PackedObjectsAreCheckedWholeAndReadTheSame) {
    const std::string text =
        "{\"pages\": [{\"objects\": [{\"a\": [1, 2]}, {\"b\": {\"c\": \"d\\ud800\"}}]}], \"n\": 1}";
    JsonLimits limits;
    limits.packDepth = 5;
    Json packed, full;
    std::string why;
    ASSERT_TRUE(JsonParse(text, packed, why, limits)) << why;
    ASSERT_TRUE(JsonParse(text, full, why)) << why;
    const Json& objects = packed["pages"][0]["objects"];
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_TRUE(objects[0].is_binary());
    EXPECT_TRUE(packed["pages"][0].is_object()); // shallower objects stay open
    Json scratch;
    EXPECT_EQ(padtool::Unpacked(objects[1], scratch), full["pages"][0]["objects"][1]);
    EXPECT_EQ(JsonWrite(packed), JsonWrite(full));
    // A fault inside a packed object is found at its place, and its values count.
    std::string bad = text;
    bad.replace(bad.find("[1, 2]"), 6, "[1, 2,]");
    EXPECT_FALSE(JsonParse(bad, packed, why, limits));
    EXPECT_EQ(why.rfind("line 1, column 37: ", 0), 0u) << why;
    limits.maxValues = 8;
    EXPECT_FALSE(JsonParse(text, packed, why, limits));
}

TEST(JsonParse, NumbersKeepWholeValuesExact) {
    Json v;
    ASSERT_TRUE(Parses("[0, -0, 9223372036854775807, -9223372036854775808, 2147483648, 1.5, "
                       "-2.5e-3, 1E2, 0.1]",
                       &v));
    ASSERT_EQ(v.size(), 9u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_TRUE(v[i].is_number_integer() && !v[i].is_number_unsigned()) << i;
    EXPECT_EQ(v[1].get<std::int64_t>(), 0); // -0 is the whole number 0
    EXPECT_EQ(v[2].get<std::int64_t>(), INT64_MAX);
    EXPECT_EQ(v[3].get<std::int64_t>(), INT64_MIN);
    EXPECT_EQ(v[4].get<std::int64_t>(), 2147483648ll);
    EXPECT_TRUE(v[5].is_number_float());
    EXPECT_EQ(v[5].get<double>(), 1.5);
    EXPECT_EQ(v[6].get<double>(), -2.5e-3);
    EXPECT_TRUE(v[7].is_number_float());
    EXPECT_EQ(v[7].get<double>(), 100.0);
    EXPECT_EQ(v[8].get<double>(), 0.1);
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
    // Among U+FFFD, as an escape and as text, and in a later string of the document.
    EXPECT_EQ(StringOf("\"\\uFFFD\\udbff\xEF\xBF\xBD\\ud83d\\ude00\\ud800\""),
              std::u16string({0xFFFD, 0xDBFF, 0xFFFD, 0xD83D, 0xDE00, 0xD800}));
    Json v;
    ASSERT_TRUE(Parses(R"({"\ud800": "x", "b": ["\ufffd", "\udfff\ufffd"]})", &v));
    EXPECT_EQ(FromJsonText(v["b"][0].get<std::string>()), u"\uFFFD");
    EXPECT_EQ(FromJsonText(v["b"][1].get<std::string>()), std::u16string({0xDFFF, 0xFFFD}));
}

TEST(JsonWrite, CanonicalLayoutReadsBackToTheSameText) {
    Json o = Json::object();
    o["n"] = -5;
    o["d"] = 949998.0;
    o["f"] = 0.1;
    o["list"] = Json::array({1});
    const Json p = Json::array({65536, -1});
    o["points"] = Json::array({p, p});
    o["objects"] = Json::array({Json::object({{"k", nullptr}})});
    o["empty"] = Json::object();
    std::u16string text = u"q\"\\\n\x01\uD55C\U0001F600";
    text += char16_t(0xDBFF); // lone, at the end
    o["s"] = ToJsonText(text);
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
    Json back;
    std::string why;
    ASSERT_TRUE(JsonParse(written, back, why)) << why;
    EXPECT_EQ(FromJsonText(back["s"].get<std::string>()), text);
    EXPECT_EQ(JsonWrite(back), written);
}

TEST(JsonWrite, DoublesRoundTripExactly) {
    const double values[] = {0.0,       -0.0,        1e-310, 5e-324, 1.7976931348623157e308,
                             0.1 + 0.2, -123456.789, 45000.5};
    for (double d : values) {
        const Json a = Json::array({d});
        Json back;
        std::string why;
        ASSERT_TRUE(JsonParse(JsonWrite(a), back, why)) << why;
        // Written again it is the same text: a double stays a double.
        ASSERT_TRUE(back[0].is_number_float()) << JsonWrite(a);
        const double r = back[0].get<double>();
        EXPECT_EQ(std::memcmp(&r, &d, sizeof d), 0) << JsonWrite(a);
        EXPECT_EQ(JsonWrite(back), JsonWrite(a));
    }
    Json minusZero;
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
        ASSERT_TRUE(Base64Decode(e, d)) << e;
        EXPECT_EQ(d, std::vector<unsigned char>(bytes, bytes + n));
    }
    EXPECT_EQ(Base64Encode(reinterpret_cast<const unsigned char*>("Man"), 3), "TWFu");
    std::vector<unsigned char> d;
    const char* bad[] = {"TWF",  "TW=u", "T===", "TWFu=", "TW u", "TW-u",
                         "TWF=", // the unused bits are not zero
                         "TR==", "=TWF"};
    for (const char* b : bad)
        EXPECT_FALSE(Base64Decode(b, d)) << b;
}

TEST(JsonWrite, MemberNamesOfAnyTextReadBack) {
    Json v;
    std::string why;
    ASSERT_TRUE(JsonParse(R"({"\uD55C\"\n\\x": 1, "\ud83d\ude00": 2})", v, why)) << why;
    const std::string written = JsonWrite(v);
    EXPECT_EQ(written, "{\n  \"\xED\x95\x9C\\\"\\n\\\\x\": 1,\n  \"\xF0\x9F\x98\x80\": 2\n}\n");
    Json back;
    ASSERT_TRUE(JsonParse(written, back, why)) << why;
    EXPECT_EQ(back, v);
    EXPECT_EQ(JsonWrite(back), written);
}
