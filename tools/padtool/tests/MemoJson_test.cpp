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
using padtool::JsonParse;
using padtool::JsonType;
using padtool::JsonValue;
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

JsonValue* Member(JsonValue& v, const std::string& key) {
    for (auto& m : v.members)
        if (m.first == key)
            return &m.second;
    return nullptr;
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
    std::string Refusal(const std::string& json, const std::function<void(JsonValue&)>& edit) {
        JsonValue v;
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
    JsonValue v;
    ASSERT_TRUE(JsonParse(json, v, why)) << why;
    EXPECT_EQ(JsonWrite(v), json);
    EXPECT_EQ(v.Find("title")->text, u"\uD55C\uAE00 \U0001F600 memo");
    EXPECT_EQ(v.Find("note")->text, u"first line\nsecond \uD55C\uAE00 \U0001F600\t\"quoted\"");
    EXPECT_EQ(v.Find("sound")->text, u"\\Windows\\Chime.wav");
    EXPECT_EQ(v.Find("alarm")->Find("time")->number, 45000.123456789);
    const JsonValue* picture = v.Find("picture");
    ASSERT_EQ(picture->type, JsonType::Object);
    EXPECT_EQ(picture->Find("bytes")->integer, std::int64_t(TinyBmp().size()));
    EXPECT_EQ(picture->Find("path")->text, u"\\Pad\\back.bmp");
    EXPECT_EQ(v.Find("current_page")->integer, 2);
    const JsonValue* pages = v.Find("pages");
    ASSERT_EQ(pages->items.size(), 2u);
    const JsonValue& first = pages->items[0];
    EXPECT_GE(first.Find("objects")->items.size(), 7u);
    ASSERT_EQ(first.Find("background")->items.size(), 2u);
    EXPECT_EQ(first.Find("background")->items[0].Find("text")->text, u"background one");
    EXPECT_EQ(pages->items[1].Find("position")->items[1].integer, 12);
    // Full points keep their own width; compact ones take the stroke's.
    bool sawFull = false;
    for (const JsonValue& o : first.Find("objects")->items) {
        const std::int64_t type = o.Find("stroke_type")->integer;
        for (const JsonValue& p : o.Find("points")->items) {
            if (type == eDOPen || type == eDOMarker || type == eDOEraser || type == eDOPencel) {
                EXPECT_EQ(p.items[2].integer, o.Find("width")->integer);
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
    EXPECT_EQ(Refusal(json, [](JsonValue&) {}), "");
    auto page = [](JsonValue& v) -> JsonValue& { return Member(v, "pages")->items[0]; };
    auto object = [&](JsonValue& v, size_t i) -> JsonValue& {
        return Member(page(v), "objects")->items[i];
    };
    struct Case {
        const char* expect; // in the reason
        std::function<void(JsonValue&)> edit;
    };
    const std::vector<Case> cases = {
        {"pages: between 1 and 99",
         [&](JsonValue& v) {
             JsonValue p = page(v);
             while (Member(v, "pages")->items.size() < 100)
                 Member(v, "pages")->Push(p);
         }},
        {"pages: between 1 and 99", [](JsonValue& v) { Member(v, "pages")->items.clear(); }},
        {"points: between 0 and 65535",
         [&](JsonValue& v) {
             JsonValue& points = *Member(object(v, 0), "points");
             JsonValue p = points.items[0];
             while (points.items.size() < 65536)
                 points.Push(p);
         }},
        {"title: longer than 31",
         [](JsonValue& v) { Member(v, "title")->text = std::u16string(32, u'x'); }},
        {"note: longer than 511",
         [](JsonValue& v) { Member(v, "note")->text = std::u16string(512, u'\uD55C'); }},
        {"sound: longer than 259",
         [](JsonValue& v) { Member(v, "sound")->text = std::u16string(260, u'a'); }},
        {"picture.path: longer than 259",
         [](JsonValue& v) { Member(*Member(v, "picture"), "path")->text.assign(260, u'p'); }},
        {"title: a memo text cannot hold U+0000",
         [](JsonValue& v) { Member(v, "title")->text = std::u16string(u"a\0b", 3); }},
        {"back_colour: must equal paper.BackColor",
         [](JsonValue& v) { Member(v, "back_colour")->text = u"0x00010203"; }},
        {"version: only 1 and 2.2",
         [](JsonValue& v) { Member(v, "version")->items[1].integer = 1; }},
        {"version[0]", [](JsonValue& v) { Member(v, "version")->items[0].integer = 3; }},
        {"current_page: must lie between 1 and 2",
         [](JsonValue& v) { Member(v, "current_page")->integer = 3; }},
        {"kind: must lie between 1 and 255",
         [&](JsonValue& v) { Member(object(v, 0), "kind")->integer = 0; }},
        {"alpha: must lie between 0 and 255",
         [&](JsonValue& v) { Member(object(v, 0), "alpha")->integer = 256; }},
        {"paper.PageWidth: must lie between 0 and 65535",
         [](JsonValue& v) { Member(*Member(v, "paper"), "PageWidth")->integer = 65536; }},
        {"paper.Reserved3: 15 bytes in hex",
         [](JsonValue& v) { Member(*Member(v, "paper"), "Reserved3")->text = u"00"; }},
        {"colour: an object colour has no high byte",
         [&](JsonValue& v) { Member(object(v, 0), "colour")->text = u"0x01000000"; }},
        {"this stroke type stores x and y only",
         [&](JsonValue& v) {
             Member(object(v, 0), "points")->items[1].items[2].integer += 1; // a pen
         }},
        {"picture.bytes: must be the number of bytes",
         [](JsonValue& v) { Member(*Member(v, "picture"), "bytes")->integer += 1; }},
        {"picture.data: the picture bytes in base64",
         [](JsonValue& v) { Member(*Member(v, "picture"), "data")->text += u"A"; }},
        {"picture: must be null",
         [](JsonValue& v) { Member(*Member(v, "paper"), "HasBackImage")->integer = 0; }},
        {"unknown member \"colour2\"",
         [&](JsonValue& v) { object(v, 0).Add("colour2", JsonValue::Int(1)); }},
        {"pages[0].objects[0].width: missing",
         [&](JsonValue& v) {
             auto& m = object(v, 0).members;
             for (size_t i = 0; i < m.size(); ++i)
                 if (m[i].first == "width")
                     m.erase(m.begin() + long(i));
         }},
        {"only strokes (kind 3) have points",
         [&](JsonValue& v) {
             JsonValue& back = Member(page(v), "background")->items[0];
             back.Add("points", JsonValue::Array());
         }},
        {"an empty text or font is written as null",
         [&](JsonValue& v) {
             Member(Member(page(v), "background")->items[0], "text")->text.clear();
         }},
        {"a version 1 memo has no note",
         [](JsonValue& v) {
             Member(v, "version")->items = {JsonValue::Int(1), JsonValue::Int(0)};
         }},
        {"alarm.time: a finite time is written as a number",
         [](JsonValue& v) {
             *Member(*Member(v, "alarm"), "time") = JsonValue::Ascii("0x3FF0000000000000");
         }},
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
