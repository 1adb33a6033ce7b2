// The registry file's text form: what the reader accepts and what it refuses. Whatever it
// accepts is also written back and re-read inside RegistryParseForTest, which aborts when
// that round trip changes anything.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

bool Parses(const std::string& text) {
    return plat::RegistryParseForTest(text.data(), text.size());
}

const std::string kHead = "SCRIBBO REGISTRY 1\n";

} // namespace

TEST(RegistryText, AcceptsEveryFormOfValue) {
    EXPECT_TRUE(Parses(kHead));
    EXPECT_TRUE(Parses("SCRIBBO REGISTRY 1"));
    EXPECT_TRUE(Parses("SCRIBBO REGISTRY 1\r\n\r\n; comment\r\n"));
    EXPECT_TRUE(Parses(kHead + "[HKEY_LOCAL_MACHINE]\n@=dword:0\n"));
    EXPECT_TRUE(Parses(kHead + "[HKEY_USERS\\a\\b]\n[hkey_classes_root\\c]\n"));
    EXPECT_TRUE(Parses(kHead + "[HKEY_CURRENT_USER\\k]\n"
                               "\"d\"=dword:ffffffff\n"
                               "\"h\"=hex:\n"
                               "\"h2\"=hex:0a,FF\n"
                               "\"t\"=hex(0):\n"
                               "\"t2\"=hex(ffffffff):01\n"
                               "\"s\"=sz:\"\"\n"
                               "\"s2\"=sz(0):\"\"\n"
                               "\"s3\"=sz(7):\"abc\"\n"
                               "\"s4\"=sz(6):\"abc\"\n"
                               "\"e\"=expand_sz(4):\"%\"\n"
                               "\"esc\"=sz:\"\\\\ \\\" \\u0000 \\uDC00 \\uD800\"\n"
                               "\"u\"=sz:\"\xEC\x95\x88 \xF0\x9F\x96\x8A\"\n"
                               "\"[not a key]\"=hex:01\n"
                               "\"dup\"=hex:01\n"
                               "\"DUP\"=hex:02\n"));
    // Key names may hold brackets, quotes and spaces; sections may repeat.
    EXPECT_TRUE(Parses(kHead + "[HKEY_CURRENT_USER\\ a [b] \"c\" ]\n\"v\"=hex:01\n"
                               "[HKEY_CURRENT_USER\\ A [B] \"C\" ]\n\"w\"=hex:02\n"));
    std::string deep = kHead + "[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < 512; ++i)
        deep += "\\k";
    EXPECT_TRUE(Parses(deep + "]\n"));
    EXPECT_TRUE(Parses(kHead + "[HKEY_LOCAL_MACHINE\\" + std::string(255, 'n') + "]\n"));
}

TEST(RegistryText, RefusesAnythingNotUnderstoodCompletely) {
    const char* bad[] = {
        "",
        "SCRIBBO REGISTRY 2\n",
        "scribbo registry 1\n",
        "\xEF\xBB\xBFSCRIBBO REGISTRY 1\n",
        "SCRIBBO REGISTRY 1\n\"v\"=dword:1\n", // value before any key
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE\n",
        "SCRIBBO REGISTRY 1\n[HKEY_SOMEWHERE\\x]\n",
        "SCRIBBO REGISTRY 1\n[HKLM\\x]\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE\\]\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE\\a\\\\b]\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE\\a\x01]\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE\\\xC0\xAF]\n",         // overlong UTF-8
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE\\\xED\xA0\x80]\n",     // encoded surrogate
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE\\\xF4\x90\x80\x80]\n", // beyond U+10FFFF
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE\\\xE2\x82]\n",         // cut short
        "SCRIBBO REGISTRY 1\nstray text\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v=dword:1\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=dword:\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=dword:123456789\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=dword:1 2\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=hex:1\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=hex:0g\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=hex:01,\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=hex:01,,02\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=hex(1:01\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=hex():01\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=hex(123456789):01\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz:abc\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz:\"abc\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz:\"abc\"x\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz(5):\"abc\"\n", // shorter than text
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz(2000000):\"\"\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz():\"\"\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz:\"\\n\"\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz:\"\\u12\"\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz:\"a\x01\"\n", // raw control
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=sz:\"\xFF\"\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"v\"=multi_sz:\"a\"\n",
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\"a\\u0000b\"=hex:\n", // NUL in a name
        "SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n@\"v\"=hex:\n",
    };
    for (const char* text : bad)
        EXPECT_FALSE(Parses(text)) << text;
    // A NUL byte in the middle of the file.
    EXPECT_FALSE(Parses(std::string("SCRIBBO REGISTRY 1\n[HKEY_LOCAL_MACHINE]\n\0\n", 42)));
    // Limits: 513 keys deep, a 256-unit key name, a value over 1 MiB.
    std::string deep = kHead + "[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < 513; ++i)
        deep += "\\k";
    EXPECT_FALSE(Parses(deep + "]\n"));
    EXPECT_FALSE(Parses(kHead + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'n') + "]\n"));
    std::string big = kHead + "[HKEY_LOCAL_MACHINE]\n\"v\"=hex:00";
    for (int i = 0; i < (1 << 20); ++i)
        big += ",00";
    EXPECT_FALSE(Parses(big + "\n"));
}

TEST(RegistryText, SurvivesMangledInput) {
    const std::string seed = kHead + "[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Scribbo]\n"
                                     "\"TVNaviMode\"=dword:00000001\n"
                                     "\"PenWidth\"=hex:00,40,00,00\n"
                                     "\"BaseDataFolder\"=sz(260):\"\\\\My Documents\\\\Pad\"\n"
                                     "\"Name\"=sz:\"\xEB\xA9\x94\xEB\xAA\xA8 \\u0001\"\n"
                                     "@=hex(7):61,00,00,00,00,00\n"
                                     "[HKEY_CURRENT_USER\\ControlPanel\\Owner]\n"
                                     "\"Owner\"=hex:01,02\n";
    ASSERT_TRUE(Parses(seed));
    const char alphabet[] = "\\\"[]=:(),@;\n\r\t 0123456789abcdefghsxzu\x80\xC3\xED\xF0\xFF";
    std::mt19937 rng(12345);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text = seed;
        int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            size_t at = rng() % (text.size() + 1);
            char c = alphabet[rng() % (sizeof alphabet - 1)];
            switch (rng() % 3) {
                case 0:
                    text.insert(text.begin() + static_cast<long>(at), c);
                    break;
                case 1:
                    if (at < text.size())
                        text[at] = c;
                    break;
                default:
                    if (at < text.size())
                        text.erase(at, 1 + rng() % 8);
            }
        }
        accepted += Parses(text) ? 1 : 0;
    }
    // Both outcomes occur; the point is that none crashes or changes on a round trip.
    EXPECT_GT(accepted, 100);
    EXPECT_LT(accepted, 20000);
}
