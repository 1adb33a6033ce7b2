// Memo files: files assembled here field by field load as laid out; files we write have the
// same layout; damage and failed writes never cost the memo or its old file.
#include "scribbo/GPadDrawMan.h"

#include "fundo/GIOFile.h"
#include "fundo/GMemFile.h"
#include "scribbo/Settings.h"
#include "memo_file_bytes.h"
#include "scribbo_test_support.h"

#include <TestDevice.h>
#include <platform/safefile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <unistd.h>

using namespace apptest;

namespace {

constexpr char kHostPath[] = "Pad/memo.pad";
constexpr WCHAR kPath[] = u"\\Pad\\memo.pad";

TemplateHeader Paper() {
    TemplateHeader t;
    InitTemplateHeader(&t, 0);
    t.PageWidth = 480;
    t.PageHeight = 900;
    t.BackColor = 0x445566; // as the body's, which the paper takes
    t.LineSpace = 30;
    t.Flags = eTFLines | eTFTitleLine;
    return t;
}

// Version 2.2 header: two pages, current page 1, title, note, sound path and, when picture
// bytes are given, an embedded picture.
Bytes HeaderV22(const TemplateHeader& paperIn, const Bytes& picture = {}) {
    TemplateHeader paper = paperIn;
    if (!picture.empty()) {
        paper.HasBackImage = 1;
        paper.BackImageFormat = 1;
        paper.BackImageSize = DWORD(picture.size());
        paper.Flags |= eTFPicture | eTFEmbedPicture;
    }
    Bytes b;
    Put32(b, 2);
    Put32(b, 2);
    const BYTE state[16] = {0, 1, 1, 0, 2, 1};
    b.insert(b.end(), state, state + 16);
    Bytes alarm(40, 0);
    alarm[0] = 1;
    alarm[16] = 7;
    alarm[19] = 1; // has sound path
    const double when = 45000.5;
    std::memcpy(&alarm[8], &when, 8); // little-endian host
    Append(b, alarm);
    BYTE raw[kTemplateHeaderBytes];
    TemplateHeaderToBytes(paper, raw);
    b.insert(b.end(), raw, raw + kTemplateHeaderBytes);
    PutString(b, u"Shopping");
    PutString(b, u"milk, eggs");
    PutString(b, u"\\Windows\\Chime.wav");
    if (!picture.empty()) {
        PutString(b, u"\\My Pictures\\back.bmp");
        Append(b, picture);
    }
    const LONG positions[4] = {10, 20, 30, 40};
    for (LONG v : positions)
        Put32(b, DWORD(v));
    return b;
}

Bytes FileV22(const Bytes& picture = {}, COLORREF paperColour = 0x445566) {
    TemplateHeader paper = Paper();
    paper.BackColor = paperColour;
    Bytes b = HeaderV22(paper, picture);
    Append(b, Body(0x445566,
                   {PageRecord({StrokeRecord({{5, 6}, {50, 60}, {100, 70}})}), PageRecord({})}));
    return b;
}

// Version 1: old alarm record, title, lines, then the old body (reserved word, old strokes).
Bytes FileV1(LONG farX) {
    Bytes b;
    Put32(b, 1);
    Put32(b, 0);
    Put32(b, 568);
    Bytes record(568, 0);
    record[0] = 0x38;
    record[1] = 0x02;
    record[4] = 1; // first alarm switch
    Append(b, record);
    Put32(b, 1);
    PutString(b, u"Old");
    const DWORD colours[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF};
    for (DWORD c : colours)
        Put32(b, c);
    const DWORD switches[4] = {1, 1, 0, 1};
    for (DWORD s : switches)
        Put32(b, s);
    Put32(b, 25);         // line space
    Put32(b, 0x018794D3); // skipped
    Put32(b, 0);          // current page
    Bytes page;
    Put32(page, 1); // objects
    Put32(page, 0); // reserved
    Put32(page, 2); // tool: marker
    page.push_back(0x80);
    page.push_back(0x40);
    page.push_back(0x20);
    const double width = 4.0;
    const BYTE* w = reinterpret_cast<const BYTE*>(&width);
    page.insert(page.end(), w, w + 8);
    Put32(page, 2);
    Put32(page, 20);
    Put32(page, 30);
    Put32(page, DWORD(farX));
    Put32(page, 200);
    Bytes body;
    Put32(body, 0xFFFFFF);
    Put32(body, 1);
    Append(body, Block(page));
    Append(b, body);
    return b;
}

class PadMemoFile : public ::testing::Test {
protected:
    void SetUp() override {
        InitTemplateHeader(&g_Settings.DefaultTemplate, 0);
        g_Settings.DefaultBackImagePath[0] = 0;
        ASSERT_TRUE(CreateDirectoryW(u"\\Pad", nullptr));
        dc = CreateCompatibleDC(nullptr);
        ASSERT_EQ(man.InitBuffer(dc, 240, 320), 1);
    }
    void TearDown() override { DeleteDC(dc); }
    int LoadBytes(GPadDrawMan& memo, const Bytes& bytes) {
        WriteHost(device.Host(kHostPath), bytes);
        GIOFile file;
        if (!file.Open(kPath, u"rb"))
            return -1;
        return memo.Load(&file);
    }
    std::u16string Title(GPadDrawMan& memo) {
        WCHAR t[kMemoTitleChars];
        memo.GetTitle(t);
        return t;
    }
    // The file's body: back colour, count and each page record decompressed.
    static std::vector<Bytes> BodyPages(const Bytes& file, size_t bodyAt, DWORD* colour) {
        GMemFile mem(const_cast<BYTE*>(file.data()) + bodyAt, DWORD(file.size() - bodyAt));
        DWORD count = 0;
        mem.Read(colour, 4);
        mem.Read(&count, 4);
        std::vector<Bytes> pages;
        for (DWORD i = 0; i < count; ++i) {
            BYTE* buffer = nullptr;
            DWORD size = 0;
            if (mem.UnCompress(buffer, size) == 0)
                break;
            pages.emplace_back(buffer, buffer + size);
            LocalFree(buffer);
        }
        EXPECT_EQ(mem.Tell(), mem.Size()) << "bytes after the last page";
        return pages;
    }
    TestDevice device;
    HDC dc = nullptr;
    GPadDrawMan man;
};

} // namespace

TEST_F(PadMemoFile, CurrentFormLoadsEveryHeaderFieldAndThePages) {
    ASSERT_EQ(LoadBytes(man, FileV22({}, 0x112233)), 1);
    EXPECT_EQ(Title(man), u"Shopping");
    EXPECT_EQ(std::u16string(man.GetNote()), u"milk, eggs");
    EXPECT_EQ(std::u16string(man.GetSoundPath()), u"\\Windows\\Chime.wav");
    EXPECT_EQ(man.GetAlarm()->Switch[0], 1);
    EXPECT_EQ(man.GetAlarm()->Value[0], 7);
    EXPECT_EQ(man.GetAlarm()->AlarmTime, 45000.5);
    const TemplateHeader* t = man.GetTemplate();
    EXPECT_EQ(t->PageWidth, 480);
    EXPECT_EQ(t->PageHeight, 900);
    EXPECT_EQ(t->LineSpace, 30);
    EXPECT_EQ(t->Flags, DWORD(eTFLines | eTFTitleLine));
    // The paper takes the body's back colour.
    EXPECT_EQ(t->BackColor, COLORREF(0x445566));
    EXPECT_EQ(man.GetBackColor(), COLORREF(0x445566));
    ASSERT_EQ(man.GetPageNum(), 2);
    EXPECT_EQ(man.GetPage(0)->GetTotalGDObjectNum(), 1);
    EXPECT_EQ(man.GetPage(0)->GetGDObject(0)->pointCount, 3);
    EXPECT_EQ(man.GetPage(0)->GetGDObject(0)->points[2].x, 100 << 16);
    EXPECT_EQ(man.GetPage(1)->GetTotalGDObjectNum(), 0);
    EXPECT_EQ(man.GetCurPageIndex(), 1);
    EXPECT_EQ(man.GetPagePosition(0).x, 10);
    EXPECT_EQ(man.GetPagePosition(0).y, 20);
    EXPECT_EQ(man.GetPagePosition(1).x, 30);
    EXPECT_EQ(man.GetPagePosition(1).y, 40);
    EXPECT_EQ(man.GetZoom(), 100);
    EXPECT_EQ(man.IsHeaderChanged(), 0);
    EXPECT_EQ(man.IsChangedObject(), 0);
}

TEST_F(PadMemoFile, WrittenFileHasTheLayoutOfTheTable) {
    const Bytes picture = Pattern(300, 9); // not a picture: kept as bytes all the same
    const Bytes source = FileV22(picture);
    ASSERT_EQ(LoadBytes(man, source), 1);
    ASSERT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSSaved);
    const Bytes written = ReadHost(device.Host(kHostPath));
    // Header up to the body is the same byte for byte, current page 1 included.
    const size_t bodyAt = HeaderV22(Paper(), picture).size();
    ASSERT_GT(written.size(), bodyAt);
    for (size_t i = 0; i < bodyAt; ++i)
        ASSERT_EQ(written[i], source[i]) << "header byte " << i;
    // The body carries the colour and both pages, each record as read.
    DWORD colour = 0;
    const std::vector<Bytes> pages = BodyPages(written, bodyAt, &colour);
    EXPECT_EQ(colour, DWORD(0x445566));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0], PageRecord({StrokeRecord({{5, 6}, {50, 60}, {100, 70}})}));
    EXPECT_EQ(pages[1], PageRecord({}));
}

TEST_F(PadMemoFile, SavingTwiceGivesTheSameBytes) {
    ASSERT_EQ(LoadBytes(man, FileV22(Pattern(100, 3))), 1);
    ASSERT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSSaved);
    const Bytes first = ReadHost(device.Host(kHostPath));
    ASSERT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSSaved);
    EXPECT_EQ(ReadHost(device.Host(kHostPath)), first);
    // And what we wrote loads back to the same memo.
    GPadDrawMan again;
    ASSERT_EQ(again.InitBuffer(dc, 240, 320), 1);
    ASSERT_EQ(LoadBytes(again, first), 1);
    EXPECT_EQ(Title(again), u"Shopping");
    EXPECT_EQ(again.GetPageNum(), 2);
    EXPECT_EQ(again.GetPagePosition(1).y, 40);
}

TEST_F(PadMemoFile, EmptyMemoWritesNothingAndSaysSo) {
    man.NewMemo();
    ASSERT_GE(man.SetCurPage(0, 0), 0);
    ASSERT_EQ(man.GetPageNum(), 1);
    const Bytes old = Pattern(64, 5);
    WriteHost(device.Host(kHostPath), old);
    EXPECT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSEmpty);
    EXPECT_EQ(ReadHost(device.Host(kHostPath)), old);
    GMemFile mem;
    _FILE_VERSION v = kMemoFileVersion;
    EXPECT_EQ(man.Save(&mem, v), 0);
    EXPECT_EQ(mem.Size(), 0);
}

TEST_F(PadMemoFile, VersionOneSizesThePageByItsInk) {
    ASSERT_EQ(LoadBytes(man, FileV1(500)), 1);
    const TemplateHeader* t = man.GetTemplate();
    EXPECT_EQ(t->PageWidth, 640);
    EXPECT_GE(t->PageHeight, 200);
    EXPECT_EQ(t->TitleBandHeight, 60);
    EXPECT_EQ(t->TitleColumnWidth, 60);
    EXPECT_EQ(t->LineSpace, 25);
    EXPECT_EQ(t->ColumnSpace, 25);
    EXPECT_EQ(t->HorLineWidth, 1);
    EXPECT_EQ(t->HorLineColor, COLORREF(0x00FF00));
    EXPECT_EQ(t->VerLineColor, COLORREF(0x00FFFF));
    EXPECT_EQ(t->Flags & 15, DWORD(eTFTitleLine | eTFLines | eTFColumns));
    EXPECT_EQ(t->BackColor, COLORREF(0xFFFFFF));
    EXPECT_EQ(Title(man), u"Old");
    EXPECT_EQ(man.GetAlarm()->Switch[0], 1);
    EXPECT_EQ(man.GetPage(0)->GetGDObject(0)->points[1].x, 500 << 16);
    EXPECT_EQ(man.IsHeaderChanged(), 1);
    EXPECT_EQ(man.IsChangedObject(), 1);
    // Ink far below the page gives a tall page, but not an absurd one.
    GPadDrawMan tall;
    ASSERT_EQ(tall.InitBuffer(dc, 240, 320), 1);
    Bytes far = FileV1(100);
    // The last point's y is the final word of the file.
    const size_t y = far.size() - 4;
    far[y] = 0xFF;
    far[y + 1] = 0x7F;
    ASSERT_EQ(LoadBytes(tall, far), 1);
    EXPECT_EQ(tall.GetTemplate()->PageWidth,
              GPadDrawMan::RoundPageWidthV1(std::max(100, GetSystemMetrics(SM_CXSCREEN))));
    EXPECT_LE(tall.GetTemplate()->PageHeight, 4800);
    EXPECT_GT(tall.GetTemplate()->PageHeight, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(PadMemoFile, VersionOneIsWrittenBackInItsOwnLayout) {
    const Bytes source = FileV1(500);
    ASSERT_EQ(LoadBytes(man, source), 1);
    _FILE_VERSION v1{1, 0};
    ASSERT_EQ(SaveMemoFile(man, kPath, v1), eMSSaved);
    const Bytes written = ReadHost(device.Host(kHostPath));
    // Version, record size and the title as laid out.
    ASSERT_GT(written.size(), 8u + 4 + 568 + 4 + 4 + 6 + 44);
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 12),
              Bytes(source.begin(), source.begin() + 12));
    const size_t after = 12 + 568;
    EXPECT_EQ(Bytes(written.begin() + after, written.begin() + after + 14 + 44),
              Bytes(source.begin() + after, source.begin() + after + 14 + 44));
    GPadDrawMan again;
    ASSERT_EQ(again.InitBuffer(dc, 240, 320), 1);
    ASSERT_EQ(LoadBytes(again, written), 1);
    EXPECT_EQ(Title(again), u"Old");
    EXPECT_EQ(again.GetPage(0)->GetGDObject(0)->points[1].x, 500 << 16);
}

TEST_F(PadMemoFile, DamagedFilesChangeNothing) {
    ASSERT_EQ(LoadBytes(man, FileV22()), 1);
    const Bytes good = FileV22(Pattern(40, 4));
    std::vector<Bytes> bad;
    for (size_t n = 0; n < good.size(); n += 7)
        bad.emplace_back(good.begin(), good.begin() + n);
    // A title of 32 characters, 100 pages, a picture larger than the file.
    Bytes longTitle = good;
    longTitle[8 + 16 + 40 + 72] = 32;
    bad.push_back(longTitle);
    Bytes pages = good;
    pages[8 + 4] = 100;
    bad.push_back(pages);
    Bytes bigPicture = good;
    bigPicture[8 + 16 + 40 + 16 + 2] = 0x10;
    bad.push_back(bigPicture);
    Bytes noPages = HeaderV22(Paper());
    Append(noPages, Body(0x445566, {}));
    bad.push_back(noPages);
    Bytes version = good;
    version[0] = 0x7F;
    bad.push_back(version);
    for (const Bytes& b : bad) {
        SCOPED_TRACE(b.size());
        EXPECT_EQ(LoadBytes(man, b), 0);
        EXPECT_EQ(Title(man), u"Shopping");
        EXPECT_EQ(man.GetPageNum(), 2);
        EXPECT_EQ(man.GetPage(0)->GetTotalGDObjectNum(), 1);
        EXPECT_EQ(man.GetPagePosition(1).y, 40);
        EXPECT_EQ(man.GetTemplate()->LineSpace, 30);
        // Nor is it ever saved over the file it failed to read.
        EXPECT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSFailed);
        EXPECT_EQ(ReadHost(device.Host(kHostPath)), b);
    }
    // A good load makes the memo savable again.
    ASSERT_EQ(LoadBytes(man, good), 1);
    EXPECT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSSaved);
}

TEST_F(PadMemoFile, FailedWriteKeepsTheOldFileAndTheChange) {
    ASSERT_EQ(LoadBytes(man, FileV22()), 1);
    man.SetTitle(u"Changed");
    const Bytes old = ReadHost(device.Host(kHostPath));
    {
        FileSizeLimit limit(100);
        ASSERT_TRUE(limit.Ok());
        EXPECT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSFailed);
    }
    EXPECT_EQ(ReadHost(device.Host(kHostPath)), old);
    EXPECT_EQ(HostNames(device.Host("Pad")), std::vector<std::string>{"memo.pad"});
    EXPECT_EQ(man.IsHeaderChanged(), 1);
    EXPECT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSSaved);
    EXPECT_NE(ReadHost(device.Host(kHostPath)), old);
}

TEST_F(PadMemoFile, APlantedLinkAtTheTemporaryNameIsNotWrittenThrough) {
    ASSERT_EQ(LoadBytes(man, FileV22()), 1);
    const Bytes victim = Pattern(50, 9);
    WriteHost(device.Host("victim"), victim);
    const std::string temp = device.Host("Pad/.memo.pad.~sv-AAAAAA");
    ASSERT_EQ(symlink(device.Host("victim").c_str(), temp.c_str()), 0);
    plat::SetSaveTempSuffixForTesting(
        [](int attempt) { return std::string(attempt ? "BBBBBB" : "AAAAAA"); });
    man.SetTitle(u"Changed");
    EXPECT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSSaved);
    plat::SetSaveTempSuffixForTesting(nullptr);
    EXPECT_EQ(ReadHost(device.Host("victim")), victim);
    ASSERT_EQ(LoadBytes(man, ReadHost(device.Host(kHostPath))), 1);
    EXPECT_EQ(Title(man), u"Changed");
}

TEST_F(PadMemoFile, PreviewTakesTheFirstPageZoomedToFit) {
    WriteHost(device.Host(kHostPath), FileV22());
    GIOFile file;
    ASSERT_TRUE(file.Open(kPath, u"rb"));
    ASSERT_EQ(man.LoadPreview(&file, tagRECT{0, 0, 120, 160}), 1);
    EXPECT_EQ(man.GetPageNum(), 1);
    EXPECT_EQ(man.GetPage(0)->GetTotalGDObjectNum(), 1);
    EXPECT_EQ(Title(man), u"Shopping");
    // 120 x 100 / 480 = 25 against 160 x 100 / 900 = 17.
    EXPECT_EQ(man.GetZoom(), 26);
    GMemFile cut(nullptr, 0);
    const Bytes head = HeaderV22(Paper());
    cut.Write(head.data(), DWORD(head.size()));
    EXPECT_EQ(man.LoadPreview(&cut, tagRECT{0, 0, 120, 160}), 0);
}

TEST_F(PadMemoFile, BodyOffsetIsWhereTheHeaderEnds) {
    EXPECT_EQ(man.GetBodyOffset(), 0);
    const Bytes picture = Pattern(77, 4);
    ASSERT_EQ(LoadBytes(man, FileV22(picture)), 1);
    EXPECT_EQ(man.GetBodyOffset(), LONG(HeaderV22(Paper(), picture).size()));
    // Version 1: version, record size and record, has-title and title, eleven words.
    ASSERT_EQ(LoadBytes(man, FileV1(100)), 1);
    EXPECT_EQ(man.GetBodyOffset(), LONG(8 + 4 + 568 + 4 + 4 + 6 + 11 * 4));
    // A failed load keeps the offset of the memo it leaves alone.
    Bytes cut = FileV22();
    cut.resize(cut.size() - 20);
    EXPECT_EQ(LoadBytes(man, cut), 0);
    EXPECT_EQ(man.GetBodyOffset(), LONG(8 + 4 + 568 + 4 + 4 + 6 + 11 * 4));
}

TEST_F(PadMemoFile, StoredPictureBytesAreWrittenAsGiven) {
    const Bytes picture = Pattern(300, 9);
    ASSERT_EQ(LoadBytes(man, FileV22(picture)), 1);
    EXPECT_EQ(man.GetEmbeddedPicture(), picture);
    // Other bytes under another path, never read from the device.
    const Bytes other = Pattern(5000, 2);
    man.SetStoredPicture(u"\\nowhere\\other.jpg", other.data(), DWORD(other.size()));
    EXPECT_EQ(man.IsHeaderChanged(), 1);
    EXPECT_EQ(man.GetBackImage(), nullptr);
    ASSERT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSSaved);
    GPadDrawMan again;
    ASSERT_EQ(again.InitBuffer(dc, 240, 320), 1);
    ASSERT_EQ(LoadBytes(again, ReadHost(device.Host(kHostPath))), 1);
    EXPECT_EQ(again.GetEmbeddedPicture(), other);
    EXPECT_EQ(again.GetTemplate()->BackImageSize, DWORD(other.size()));
    EXPECT_EQ(std::u16string(again.GetBackImagePath()), u"\\nowhere\\other.jpg");
    // A path alone: the paper no longer embeds, so no bytes are looked for.
    again.SetStoredPicture(u"\\nowhere\\plain.bmp", nullptr, 0);
    again.GetTemplate()->Flags &= ~DWORD(eTFEmbedPicture);
    ASSERT_EQ(SaveMemoFile(again, kPath, kMemoFileVersion), eMSSaved);
    GPadDrawMan third;
    ASSERT_EQ(third.InitBuffer(dc, 240, 320), 1);
    ASSERT_EQ(LoadBytes(third, ReadHost(device.Host(kHostPath))), 1);
    EXPECT_TRUE(third.GetEmbeddedPicture().empty());
    EXPECT_EQ(std::u16string(third.GetBackImagePath()), u"\\nowhere\\plain.bmp");
}

TEST_F(PadMemoFile, AlarmDefaultsGoToNewMemosAndStoredAlarmsStayAsTheyAre) {
    struct Case {
        DWORD loop;
        const WCHAR* soundSetting;
        BYTE repeat;
        std::u16string sound;
    } cases[] = {
        {0, u"", 0, u"\\Windows\\Alarm2.wav"},
        {1, u"\\Windows\\Ring.wav", 1, u"\\Windows\\Ring.wav"},
    };
    for (const Case& c : cases) {
        g_Settings.LoopAlarm = c.loop;
        wcscpy(g_Settings.DefAlarmSoundPath, c.soundSetting);
        man.NewMemo();
        const AlarmBlock* a = man.GetAlarm();
        EXPECT_EQ(a->Repeat, c.repeat) << c.loop;
        EXPECT_EQ(std::u16string(man.GetSoundPath()), c.sound) << c.loop;
        EXPECT_EQ(a->AlarmTime, kDefaultAlarmTime);
        EXPECT_EQ(a->Switch[0] | a->Switch[1] | a->Switch[2] | a->Switch[3], 0);
        EXPECT_EQ(a->Value[0] | a->Value[1], 0);
    }
    // Settings that differ from a stored alarm change nothing of it, in memory or on disk.
    const Bytes source = FileV22();
    ASSERT_EQ(LoadBytes(man, source), 1);
    EXPECT_EQ(man.GetAlarm()->Repeat, 0);
    EXPECT_EQ(std::u16string(man.GetSoundPath()), u"\\Windows\\Chime.wav");
    ASSERT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSSaved);
    const Bytes written = ReadHost(device.Host(kHostPath));
    const size_t headerEnd = HeaderV22(Paper()).size();
    ASSERT_GT(written.size(), headerEnd);
    EXPECT_TRUE(std::equal(source.begin(), source.begin() + headerEnd, written.begin()));
    g_Settings.LoopAlarm = 0;
    g_Settings.DefAlarmSoundPath[0] = 0;
}

namespace {

// count strokes of points compact points each on the memo's first page.
void AddStrokes(GPadDrawMan& memo, int count, int points) {
    std::vector<GWPOINT> p(size_t(points), GWPOINT{});
    for (int i = 0; i < points; ++i)
        p[size_t(i)] = GWPOINT{(10 + i % 200) << 16, (20 + i / 200) << 16, FIXED_ONE, 255, {}};
    for (int s = 0; s < count; ++s) {
        GDObject* o = AllocGDObject();
        o->kind = DO_STROKE;
        o->strokeType = eDOPen;
        o->width = FIXED_ONE;
        o->alpha = 255;
        o->pointCount = WORD(points);
        o->SetPointData(p.data());
        o->bounds = tagRECT{8, 18, 212, 24 + points / 200};
        memo.GetPage(0)->AddGDObject(o);
    }
    memo.SetObjectChanged(1);
}

Bytes Written(const MemoImage& image) {
    GMemFile out;
    EXPECT_EQ(WriteMemoImage(image, &out), 1);
    return Bytes(out.GetBuffer(), out.GetBuffer() + out.Size());
}

} // namespace

TEST_F(PadMemoFile, AnImageMadeAgainInItsOldBlockWritesTheFileAFreshOneDoes) {
    ASSERT_EQ(LoadBytes(man, FileV22()), 1);
    AddStrokes(man, 40, 100);
    MemoImage kept;
    ASSERT_EQ(man.Serialize(kMemoFileVersion, kept), 1);
    const BYTE* block = kept.body.get();
    // A smaller memo in the same image: the block stays, and what lies past the new end
    // must not reach the file.
    ASSERT_EQ(LoadBytes(man, FileV22()), 1);
    man.SetTitle(u"Again");
    ASSERT_EQ(man.Serialize(kMemoFileVersion, kept), 1);
    EXPECT_EQ(kept.body.get(), block);
    ASSERT_EQ(SaveMemoFile(man, kPath, kMemoFileVersion), eMSSaved);
    EXPECT_EQ(Written(kept), ReadHost(device.Host(kHostPath)));
}

TEST_F(PadMemoFile, AStrokeEndingOnALargeMemoReadiesABlockWithRoomForTheNextSave) {
    // 400 strokes of 100 compact points: 345 KB of pages, large enough to make ready.
    ASSERT_EQ(LoadBytes(man, FileV22()), 1);
    ASSERT_EQ(man.SetCurPage(0, 0), 0);
    AddStrokes(man, 400, 100);
    man.LButtonDown(20, 30, 255);
    man.MouseMove(60, 40, 255);
    man.LButtonUp(90, 50, 255);
    const unsigned long long total = man.PagesSavedSize(kMemoFileVersion);
    ASSERT_GT(total, 256u * 1024);
    MemoImage image;
    ASSERT_EQ(man.Serialize(kMemoFileVersion, image), 1);
    EXPECT_EQ(image.bodyCapacity, total + total / 4);
    EXPECT_EQ(image.pageEnds.back(), total);

    // A small memo's block is made as the save needs it, to the byte.
    ASSERT_EQ(LoadBytes(man, FileV22()), 1);
    ASSERT_EQ(man.SetCurPage(0, 0), 0);
    man.LButtonDown(20, 30, 255);
    man.LButtonUp(90, 50, 255);
    MemoImage small;
    ASSERT_EQ(man.Serialize(kMemoFileVersion, small), 1);
    EXPECT_EQ(small.bodyCapacity, man.PagesSavedSize(kMemoFileVersion));

    // A draw manager writing into a page it was lent (the magnify strip's) saves nothing.
    GPadDrawMan strip;
    ASSERT_EQ(strip.InitBuffer(dc, 240, 320), 1);
    ASSERT_EQ(strip.AddPage(AllocInkraPage(), 0), 0); // and it is the page shown
    AddStrokes(strip, 400, 100);
    strip.LButtonDown(20, 30, 255);
    strip.LButtonUp(90, 50, 255);
    MemoImage lent;
    ASSERT_EQ(strip.Serialize(kMemoFileVersion, lent), 1);
    EXPECT_EQ(lent.bodyCapacity, strip.PagesSavedSize(kMemoFileVersion));
}
