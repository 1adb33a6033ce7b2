// Memos written by the application's own writer come back byte for byte through dump and
// create; values a memo file cannot hold are refused before anything is written.
#include "Json.h"
#include "PadCommands.h"

#include "fundo/GIOFile.h"
#include "scribbo/GPadDrawMan.h"
#include "scribbo/Settings.h"

#include <TestDevice.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

using padtool::BuildMemo;
using padtool::DumpMemo;
using padtool::FromJsonText;
using padtool::Json;
using padtool::JsonParse;
using padtool::JsonWrite;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteDevice(LPCWSTR path, const std::string& bytes) {
    FILE* f = _wfopen(path, u"wb");
    ASSERT_TRUE(f);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// A 2 x 2 24-bit BMP.
std::string TinyBmp() {
    std::string b = "BM";
    auto put32 = [&b](unsigned v) {
        for (int i = 0; i < 4; ++i)
            b += char(v >> (8 * i));
    };
    put32(14 + 40 + 16);
    put32(0);
    put32(54);
    put32(40);
    put32(2);
    put32(2);
    b += char(1);
    b += char(0);
    b += char(24);
    b += char(0);
    for (int i = 0; i < 6; ++i)
        put32(0);
    const char rows[16] = {0,         0, char(255), 0,         char(255), 0,         0, 0,
                           char(255), 0, 0,         char(255), char(255), char(255), 0, 0};
    b.append(rows, 16);
    return b;
}

std::u16string Text(const Json& v) {
    return FromJsonText(v.get<std::string>());
}

class MemoJson : public ::testing::Test {
protected:
    void SetUp() override {
        InitDefaultSettings();
        dc = CreateCompatibleDC(nullptr);
        ASSERT_TRUE(CreateDirectoryW(u"\\Pad", nullptr));
    }
    void TearDown() override { DeleteDC(dc); }

    void Stroke(GPadDrawMan& memo, eDOStrokeType type, int x0, int y0, int x1, int y1) {
        memo.SetDOStrokeType(type);
        memo.LButtonDown(x0, y0, 200);
        for (int i = 1; i <= 8; ++i)
            memo.MouseMove(x0 + (x1 - x0) * i / 8, y0 + (y1 - y0) * i / 8, 100 + 10 * i);
        memo.LButtonUp(x1, y1, 200);
    }

    // A memo as the pad makes it: every tool, texts of every script, a picture carried in
    // the file, background text and a second page.
    Bytes WriterMemo(_FILE_VERSION version, bool everything) {
        GPadDrawMan memo;
        EXPECT_EQ(memo.InitBuffer(dc, 240, 320), 1);
        memo.NewMemo();
        EXPECT_GE(memo.SetCurPage(0, 0), 0);
        memo.SetPenColor(0x0000FF);
        Stroke(memo, eDOPen, 20, 60, 200, 70);
        Stroke(memo, eDOMarker, 30, 100, 180, 100);
        Stroke(memo, eDOEraser, 40, 60, 60, 70);
        if (everything) {
            Stroke(memo, eDOPencel, 20, 150, 100, 200);
            Stroke(memo, eDOBrush, 50, 220, 150, 260);
            Stroke(memo, eDOAirBrush, 60, 280, 120, 300);
            Stroke(memo, eDOColorPen, 10, 10, 50, 30);
            memo.SetNote(u"first line\nsecond \uD55C\uAE00 \U0001F600\t\"quoted\"");
            memo.SetSoundPath(u"\\Windows\\Chime.wav");
            memo.GetAlarm()->HasSoundPath = 1;
            memo.GetAlarm()->Switch[0] = 1;
            memo.GetAlarm()->AlarmTime = 45000.123456789;
            WriteDevice(u"\\Pad\\back.bmp", TinyBmp());
            EXPECT_EQ(memo.SetBackImage(u"\\Pad\\back.bmp"), 1);
            memo.GetTemplate()->Flags |= eTFEmbedPicture | eTFKeepAspect;
            WriteDevice(u"\\Pad\\text.txt", "background one\nbackground two\n");
            EXPECT_EQ(memo.ImportBackText(u"\\Pad\\text.txt", 0x00FF00, 0), 1);
            InkraPage* second = memo.CreatePage();
            EXPECT_EQ(memo.InsertPage(second, 1, 0), 1);
            EXPECT_GE(memo.SetCurPage(1, 0), 0);
            Stroke(memo, eDOPen, 100, 100, 20, 30);
            memo.SetPagePosition(1, POINT{0, 12});
        }
        memo.SetTitle(u"\uD55C\uAE00 \U0001F600 memo");
        EXPECT_EQ(SaveMemoFile(memo, u"\\Pad\\writer.pad", version), eMSSaved);
        return ReadHost(device.Host("Pad/writer.pad"));
    }

    std::string Dump(const Bytes& file) {
        std::string json, why;
        EXPECT_TRUE(DumpMemo(file, json, why)) << why;
        return json;
    }

    // The reason create gives for json changed by edit, or "" when it was accepted.
    std::string Refusal(const std::string& json, const std::function<void(Json&)>& edit) {
        Json v;
        std::string why;
        EXPECT_TRUE(JsonParse(json, v, why)) << why;
        edit(v);
        Bytes out;
        if (BuildMemo(JsonWrite(v), out, why))
            return "";
        EXPECT_FALSE(why.empty());
        return why;
    }

    TestDevice device;
    HDC dc = nullptr;
};

} // namespace

TEST_F(MemoJson, WriterMemoComesBackByteForByte) {
    const Bytes original = WriterMemo(kMemoFileVersion, true);
    ASSERT_GT(original.size(), 200u);
    const std::string json = Dump(original);

    // Create, as the command does, through the safe save onto the device.
    WriteDevice(u"\\Pad\\memo.json", json);
    std::string why;
    ASSERT_EQ(padtool::RunCreate("\\Pad\\copy.pad", device.Host("Pad/memo.json"), why), 0) << why;
    const Bytes copy = ReadHost(device.Host("Pad/copy.pad"));
    EXPECT_EQ(copy, original);
    EXPECT_EQ(Dump(copy), json);

    // The dump holds what the memo was given, written from objects kept as text just as a
    // whole tree writes it.
    Json v;
    ASSERT_TRUE(JsonParse(json, v, why)) << why;
    EXPECT_EQ(JsonWrite(v), json);
    EXPECT_EQ(Text(v["title"]), u"\uD55C\uAE00 \U0001F600 memo");
    EXPECT_EQ(Text(v["note"]), u"first line\nsecond \uD55C\uAE00 \U0001F600\t\"quoted\"");
    EXPECT_EQ(Text(v["sound"]), u"\\Windows\\Chime.wav");
    EXPECT_EQ(v["alarm"]["time"].get<double>(), 45000.123456789);
    const Json& picture = v["picture"];
    ASSERT_TRUE(picture.is_object());
    EXPECT_EQ(picture["bytes"].get<std::int64_t>(), std::int64_t(TinyBmp().size()));
    EXPECT_EQ(Text(picture["path"]), u"\\Pad\\back.bmp");
    EXPECT_EQ(v["current_page"].get<std::int64_t>(), 2);
    const Json& pages = v["pages"];
    ASSERT_EQ(pages.size(), 2u);
    const Json& first = pages[0];
    EXPECT_GE(first["objects"].size(), 7u);
    ASSERT_EQ(first["background"].size(), 2u);
    EXPECT_EQ(Text(first["background"][0]["text"]), u"background one");
    EXPECT_EQ(pages[1]["position"][1].get<std::int64_t>(), 12);
    // Full points keep their own width; compact ones take the stroke's.
    bool sawFull = false;
    for (const Json& o : first["objects"]) {
        const std::int64_t type = o["stroke_type"].get<std::int64_t>();
        for (const Json& p : o["points"]) {
            if (type == eDOPen || type == eDOMarker || type == eDOEraser || type == eDOPencel) {
                EXPECT_EQ(p[2], o["width"]);
            }
        }
        sawFull = sawFull || type == eDOBrush;
    }
    EXPECT_TRUE(sawFull);
}

TEST_F(MemoJson, VersionOneComesBackToo) {
    const Bytes original = WriterMemo(_FILE_VERSION{1, 0}, false);
    const std::string json = Dump(original);
    EXPECT_NE(json.find("\"version\": [1, 0]"), std::string::npos);
    Bytes copy;
    std::string why;
    ASSERT_TRUE(BuildMemo(json, copy, why)) << why;
    EXPECT_EQ(copy, original);
    EXPECT_EQ(Dump(copy), json);
}

TEST_F(MemoJson, ValuesAFileCannotHoldAreRefused) {
    const std::string json = Dump(WriterMemo(kMemoFileVersion, true));
    EXPECT_EQ(Refusal(json, [](Json&) {}), "");
    auto object = [](Json& v, size_t i) -> Json& { return v["pages"][0]["objects"][i]; };
    struct Case {
        const char* expect; // in the reason
        std::function<void(Json&)> edit;
    };
    const std::vector<Case> cases = {
        {"pages: between 1 and 99",
         [](Json& v) {
             const Json p = v["pages"][0];
             while (v["pages"].size() < 100)
                 v["pages"].push_back(p);
         }},
        {"pages: between 1 and 99", [](Json& v) { v["pages"].clear(); }},
        {"points: between 0 and 65535",
         [&](Json& v) {
             Json& points = object(v, 0)["points"];
             const Json p = points[0];
             while (points.size() < 65536)
                 points.push_back(p);
         }},
        {"title: longer than 31", [](Json& v) { v["title"] = std::string(32, 'x'); }},
        {"note: longer than 511",
         [](Json& v) { v["note"] = padtool::ToJsonText(std::u16string(512, u'\uD55C')); }},
        {"sound: longer than 259", [](Json& v) { v["sound"] = std::string(260, 'a'); }},
        {"picture.path: longer than 259",
         [](Json& v) { v["picture"]["path"] = std::string(260, 'p'); }},
        {"title: a memo text cannot hold U+0000",
         [](Json& v) { v["title"] = std::string("a\0b", 3); }},
        {"back_colour: must equal paper.BackColor",
         [](Json& v) { v["back_colour"] = "0x00010203"; }},
        {"version: only 1 and 2.2", [](Json& v) { v["version"][1] = 1; }},
        {"version[0]", [](Json& v) { v["version"][0] = 3; }},
        {"current_page: must lie between 1 and 2", [](Json& v) { v["current_page"] = 3; }},
        {"kind: must lie between 1 and 255", [&](Json& v) { object(v, 0)["kind"] = 0; }},
        {"alpha: must lie between 0 and 255", [&](Json& v) { object(v, 0)["alpha"] = 256; }},
        {"paper.PageWidth: must lie between 0 and 65535",
         [](Json& v) { v["paper"]["PageWidth"] = 65536; }},
        {"paper.Reserved3: 15 bytes in hex", [](Json& v) { v["paper"]["Reserved3"] = "00"; }},
        {"colour: an object colour has no high byte",
         [&](Json& v) { object(v, 0)["colour"] = "0x01000000"; }},
        {"this stroke type stores x and y only",
         [&](Json& v) {
             Json& width = object(v, 0)["points"][1][2]; // a pen
             width = width.get<std::int64_t>() + 1;
         }},
        {"picture.bytes: must be the number of bytes",
         [](Json& v) { v["picture"]["bytes"] = v["picture"]["bytes"].get<std::int64_t>() + 1; }},
        {"picture.data: the picture bytes in base64",
         [](Json& v) { v["picture"]["data"] = v["picture"]["data"].get<std::string>() + "A"; }},
        {"picture: must be null", [](Json& v) { v["paper"]["HasBackImage"] = 0; }},
        {"unknown member \"colour2\"", [&](Json& v) { object(v, 0)["colour2"] = 1; }},
        {"pages[0].objects[0].width: missing", [&](Json& v) { object(v, 0).erase("width"); }},
        {"only strokes (kind 3) have points",
         [](Json& v) { v["pages"][0]["background"][0]["points"] = Json::array(); }},
        {"an empty text or font is written as null",
         [](Json& v) { v["pages"][0]["background"][0]["text"] = ""; }},
        {"a version 1 memo has no note",
         [](Json& v) {
             v["version"] = Json::array({1, 0});
         }},
        {"alarm.time: a finite time is written as a number",
         [](Json& v) { v["alarm"]["time"] = "0x3FF0000000000000"; }},
    };
    for (const Case& c : cases) {
        const std::string why = Refusal(json, c.edit);
        EXPECT_NE(why.find(c.expect), std::string::npos)
            << "expected \"" << c.expect << "\", got \"" << why << "\"";
    }
}

TEST_F(MemoJson, AnAlarmTimeJsonCannotWriteTravelsAsItsBits) {
    GPadDrawMan memo;
    ASSERT_EQ(memo.InitBuffer(dc, 240, 320), 1);
    memo.NewMemo();
    ASSERT_GE(memo.SetCurPage(0, 0), 0);
    Stroke(memo, eDOPen, 20, 60, 200, 70);
    memo.GetAlarm()->AlarmTime = std::numeric_limits<double>::quiet_NaN();
    ASSERT_EQ(SaveMemoFile(memo, u"\\Pad\\nan.pad", kMemoFileVersion), eMSSaved);
    const Bytes original = ReadHost(device.Host("Pad/nan.pad"));
    const std::string json = Dump(original);
    EXPECT_NE(json.find("\"time\": \"0x7FF8000000000000\""), std::string::npos) << json;
    Bytes copy;
    std::string why;
    ASSERT_TRUE(BuildMemo(json, copy, why)) << why;
    EXPECT_EQ(copy, original);
}

TEST_F(MemoJson, DamagedMemoBytesAreRefused) {
    const Bytes original = WriterMemo(kMemoFileVersion, false);
    std::string json, why;
    for (size_t cut :
         {size_t(0), size_t(7), size_t(60), original.size() / 2, original.size() - 1}) {
        EXPECT_FALSE(DumpMemo(Bytes(original.begin(), original.begin() + long(cut)), json, why))
            << cut;
        EXPECT_FALSE(why.empty());
    }
    Bytes garbage(original.size(), 0xEE);
    EXPECT_FALSE(DumpMemo(garbage, json, why));
}
