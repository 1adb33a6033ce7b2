// Page records and the document body: the bytes the writer produces, documents put together
// from the tables, round trips through every version written, and damaged bodies that must
// fail without touching the document in memory.
#include "fundo/GMemFile.h"
#include "inkra/FileVersion.h"
#include "inkra/InkraMan.h"
#include "ink_man_support.h"
#include "memo_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using memotest::Bytes;
using memotest::Contents;
using memotest::Header;
using memotest::Point;
using memotest::Reader;

_FILE_VERSION V(LONG major, LONG minor) {
    return _FILE_VERSION{major, minor};
}

GDObject* NewStroke(eDOStrokeType type, int points, LONG x0) {
    GDObject* o = AllocGDObject();
    o->kind = DO_STROKE;
    o->strokeType = type;
    o->SetColor(RGB(200, 10, 5));
    o->width = 0x18000;
    o->alpha = type == eDOMarker ? 128 : 255;
    o->pointCount = static_cast<WORD>(points);
    std::vector<GWPOINT> p;
    for (int i = 0; i < points; ++i)
        p.push_back(Point((x0 + 3 * i) << 16, (20 + i) << 16, 0x18000, o->alpha));
    o->SetPointData(p.data());
    o->bounds =
        tagRECT{static_cast<LONG>(x0) - 2, 18, static_cast<LONG>(x0) + 3 * points + 2, 22 + points};
    return o;
}

GDObject* NewText(const char16_t* s) {
    GDObject* o = AllocGDObject();
    o->kind = DO_TEXT;
    o->SetColor(RGB(1, 2, 3));
    o->width = 16;
    o->textFormat = 0x20;
    o->SetTextData(s);
    o->SetFontName(u"Gulim");
    return o;
}

// Every header field, every point and both strings.
bool SameObject(const GDObject* a, const GDObject* b) {
    BYTE ha[64], hb[64];
    a->WriteHeader(ha);
    b->WriteHeader(hb);
    if (std::memcmp(ha, hb, 64) != 0 || a->pointCount != b->pointCount)
        return false;
    if (a->pointCount && std::memcmp(a->points, b->points, a->pointCount * sizeof(GWPOINT)))
        return false;
    auto same = [](const WCHAR* x, const WCHAR* y) {
        return (!x && !y) || (x && y && lstrcmpW(x, y) == 0);
    };
    return same(a->text, b->text) && same(a->fontName, b->fontName);
}

std::vector<BYTE> SavePage(InkraPage& page, _FILE_VERSION v) {
    GMemFile f;
    EXPECT_EQ(page.Save(&f, v), 1);
    return Contents(f);
}

TEST(MemoPageRecord, EmptyPageAtEachVersion) {
    InkraPage page;
    Bytes at22, at20, at1;
    at22.U32(0).U32(0);
    at20.U32(0);
    at1.U32(0).U32(0); // count and the reserved word
    EXPECT_EQ(SavePage(page, V(2, 2)), at22.v);
    EXPECT_EQ(SavePage(page, V(2, 0)), at20.v);
    EXPECT_EQ(SavePage(page, V(1, 0)), at1.v);
    _FILE_VERSION v{2, 2};
    tagPOINT e{0, 0};
    EXPECT_EQ(page.Save(nullptr, v), 0);
    EXPECT_EQ(page.Load(nullptr, v, e), 0);
}

TEST(MemoPageRecord, ObjectsThenBackgroundObjectsFromTheTables) {
    Header pen;
    pen.count = 1;
    Header text;
    text.kind = DO_TEXT;
    Bytes b;
    b.U32(2).Add(pen.Encode()).I32(0x10000).I32(0x20000);
    b.Add(text.Encode()).Str(u"top").U32(0);
    b.U32(1).Add(text.Encode()).Str(u"back line").Str(u"Gulim");
    Reader r(b);
    InkraPage page;
    _FILE_VERSION v{2, 2};
    tagPOINT e{0, 0};
    ASSERT_EQ(page.Load(&r.file, v, e), 1);
    ASSERT_EQ(page.GetTotalGDObjectNum(), 2);
    EXPECT_EQ(page.GetGDObject(0)->kind, DO_STROKE);
    EXPECT_EQ(std::u16string(page.GetGDObject(1)->text), u"top");
    ASSERT_EQ(page.GetBackTextObjectNum(), 1);
    EXPECT_EQ(std::u16string(page.GetBackTextObject(0)->text), u"back line");
    page.DetachDrawMan();

    // 2.0 has no background list: the same bytes leave it unread.
    Bytes at20;
    at20.U32(1).Add(pen.Encode()).I32(1).I32(2).U32(0xEEEEEEEE);
    Reader r20(at20);
    _FILE_VERSION v20{2, 0};
    ASSERT_EQ(page.Load(&r20.file, v20, e), 1);
    EXPECT_EQ(page.GetTotalGDObjectNum(), 1);
    EXPECT_EQ(page.GetBackTextObjectNum(), 0);
    EXPECT_EQ(r20.file.Size() - r20.file.Tell(), 4);
    page.DetachDrawMan();
}

TEST(MemoPageRecord, OldFormSkipsTheReservedWordAndStoresStrokesOnly) {
    Bytes b;
    b.U32(1).U32(0x55555555).U32(0).U8(9).U8(8).U8(7).F64(2.0).U32(1).I32(600).I32(30);
    Reader r(b);
    InkraPage page;
    _FILE_VERSION v{1, 0};
    tagPOINT e{0, 0};
    ASSERT_EQ(page.Load(&r.file, v, e), 1);
    ASSERT_EQ(page.GetTotalGDObjectNum(), 1);
    EXPECT_EQ(page.GetGDObject(0)->points[0].x, 600 << 16);
    EXPECT_EQ(e.x, 600);
    EXPECT_EQ(e.y, 30);

    // A text object cannot be held by the old form, and is not counted either.
    page.AddGDObject(NewText(u"gone"));
    std::vector<BYTE> saved = SavePage(page, v);
    Reader back(Bytes{saved});
    InkraPage again;
    tagPOINT e2{0, 0};
    ASSERT_EQ(again.Load(&back.file, v, e2), 1);
    EXPECT_EQ(again.GetTotalGDObjectNum(), 1);
    EXPECT_EQ(back.file.Size(), back.file.Tell());
    page.DetachDrawMan();
    again.DetachDrawMan();
}

TEST(MemoPageRecord, SavedSizeIsTheBytesSaveWritesAtEachVersion) {
    // Objects and a background line, as the table test above reads them, then strokes.
    Header text;
    text.kind = DO_TEXT;
    Bytes b;
    b.U32(1).Add(text.Encode()).Str(u"top").U32(0);
    b.U32(1).Add(text.Encode()).Str(u"back line").Str(u"Gulim");
    Reader r(b);
    InkraPage page;
    _FILE_VERSION v22{2, 2};
    tagPOINT e{0, 0};
    ASSERT_EQ(page.Load(&r.file, v22, e), 1);
    page.AddGDObject(NewStroke(eDOPen, 3, 10));
    page.AddGDObject(NewStroke(eDOBrush, 7, 60));
    page.AddGDObject(NewStroke(eDOPencel, 9, 70));
    for (_FILE_VERSION v : {V(1, 0), V(2, 0), V(2, 1), V(2, 2)})
        EXPECT_EQ(page.SavedSize(v), SavePage(page, v).size()) << v.major << "." << v.minor;
    page.DetachDrawMan();
}

class MemoDocument : public inktest::ManFixture {
protected:
    // Two pages: strokes of several tools on the first, text and a background line on the
    // second.
    static void Fill(InkraMan& man) {
        if (man.GetPageNum() == 0)
            man.AddPage(AllocInkraPage(), 0);
        InkraPage* first = man.GetPage(0);
        first->AddGDObject(NewStroke(eDOPen, 3, 10));
        first->AddGDObject(NewStroke(eDOMarker, 40, 30));
        first->AddGDObject(NewStroke(eDOEraser, 5, 50));
        InkraPage* second = man.CreatePage();
        ASSERT_NE(second, nullptr);
        ASSERT_EQ(man.AddPage(second, 0), 1);
        second->AddGDObject(NewStroke(eDOBrush, 7, 60));
        second->AddGDObject(NewStroke(eDOPencel, 9, 70));
        second->AddGDObject(NewText(u"hello"));
        ASSERT_EQ(man.SetCurPage(0, 0), 0);
        man.SetObjectChanged(1);
    }
    std::vector<BYTE> Save(_FILE_VERSION v) {
        GMemFile f;
        EXPECT_EQ(man.Save(&f, v), 1);
        return Contents(f);
    }
    // The pages and objects of the document, for comparing before and after.
    std::vector<std::vector<const GDObject*>> Snapshot() {
        std::vector<std::vector<const GDObject*>> pages;
        for (int i = 0; i < man.GetPageNum(); ++i) {
            std::vector<const GDObject*> objects;
            for (int j = 0; j < man.GetPage(i)->GetTotalGDObjectNum(); ++j)
                objects.push_back(man.GetPage(i)->GetGDObject(j));
            pages.push_back(objects);
        }
        return pages;
    }
};

TEST_F(MemoDocument, UnchangedDocumentWritesOnlyTheBackColour) {
    man.SetObjectChanged(0);
    Bytes want;
    want.U32(kBack);
    EXPECT_EQ(Save(V(2, 2)), want.v);
}

TEST_F(MemoDocument, OneEmptyPageIsColourCountAndOneBlock) {
    man.SetObjectChanged(1);
    Bytes record;
    record.U32(0).U32(0);
    Bytes want;
    want.U32(kBack).U32(1).Block(record);
    EXPECT_EQ(Save(V(2, 2)), want.v);
    EXPECT_EQ(man.IsChangedObject(), 0) << "a save clears the change flag";
    _FILE_VERSION v{2, 2};
    tagPOINT e{0, 0};
    EXPECT_EQ(man.Save(nullptr, v), 0);
    EXPECT_EQ(man.Load(nullptr, v, e), 0);
}

TEST_F(MemoDocument, BodyFromTheTablesLoadsPagesInOrder) {
    Header pen;
    pen.count = 2, pen.r = 5;
    Bytes page1, page2;
    page1.U32(1).Add(pen.Encode()).I32(0x10000).I32(0x10000).I32(0x20000).I32(0x20000);
    page1.U32(0);
    page2.U32(0).U32(0);
    Bytes body;
    body.U32(RGB(1, 2, 3)).U32(2).Block(page1).Block(page2);
    Reader r(body);
    _FILE_VERSION v{2, 2};
    tagPOINT e{0, 0};
    ASSERT_EQ(man.Load(&r.file, v, e), 1);
    EXPECT_EQ(man.GetBackColor(), RGB(1, 2, 3));
    ASSERT_EQ(man.GetPageNum(), 2);
    EXPECT_EQ(man.GetCurPageIndex(), 0);
    EXPECT_EQ(man.GetCurPage(), man.GetPage(0));
    ASSERT_EQ(man.GetPage(0)->GetTotalGDObjectNum(), 1);
    EXPECT_EQ(man.GetPage(0)->GetGDObject(0)->red, 5);
    EXPECT_EQ(man.GetPage(1)->GetTotalGDObjectNum(), 0);
    EXPECT_EQ(man.IsChangedObject(), 0);
    EXPECT_EQ(e.x, 0);
}

TEST_F(MemoDocument, OldBodyIsMarkedChangedAndReportsItsExtent) {
    Bytes page;
    page.U32(1).U32(0).U32(2).U8(255).U8(255).U8(0).F64(8.0).U32(2).I32(500).I32(12).I32(4);
    page.I32(100);
    Bytes body;
    body.U32(0xC0FFFF).U32(1).Block(page);
    Reader r(body);
    _FILE_VERSION v{1, 0};
    tagPOINT e{0, 0};
    ASSERT_EQ(man.Load(&r.file, v, e), 1);
    EXPECT_EQ(man.IsChangedObject(), 1);
    EXPECT_EQ(e.x, 500);
    EXPECT_EQ(e.y, 100);
    const GDObject* o = man.GetPage(0)->GetGDObject(0);
    EXPECT_EQ(o->strokeType, eDOMarker);
    EXPECT_EQ(o->alpha, 128);
    EXPECT_EQ(o->width, 8 * 3 * 65536 / 8) << "0.375 of the stored width";
    // Drawn, the converted stroke shows.
    tagRECT all{0, 0, kWidth, kHeight};
    man.UpdateBuffer(all);
    EXPECT_FALSE(BufferIsBack());
}

TEST_F(MemoDocument, RoundTripsThroughEveryVersionWritten) {
    for (_FILE_VERSION v : {V(2, 2), V(2, 1), V(2, 0), V(1, 0)}) {
        InkraMan source;
        Fill(source);
        source.GetPage(0)->AddGDObject(NewStroke(eDODelStroke, 2, 90));
        GMemFile out;
        ASSERT_EQ(source.Save(&out, v), 1);
        const std::vector<BYTE> bytes = Contents(out);
        Reader r(Bytes{bytes});
        tagPOINT e{0, 0};
        ASSERT_EQ(man.Load(&r.file, v, e), 1);
        ASSERT_EQ(man.GetPageNum(), 2);
        const bool old = v.major == 1;
        for (int i = 0; i < 2; ++i) {
            InkraPage* want = source.GetPage(i);
            InkraPage* got = man.GetPage(i);
            int j = 0;
            for (int k = 0; k < want->GetTotalGDObjectNum(); ++k) {
                const GDObject* w = want->GetGDObject(k);
                if (old && w->kind != DO_STROKE)
                    continue;
                ASSERT_LT(j, got->GetTotalGDObjectNum());
                const GDObject* g = got->GetGDObject(j++);
                if (!old) {
                    EXPECT_TRUE(SameObject(w, g))
                        << v.major << "." << v.minor << " " << i << "/" << k;
                    continue;
                }
                // Whole pixels, the same width, tools mapped through the old codes.
                EXPECT_EQ(g->width, w->width);
                ASSERT_EQ(g->pointCount, w->pointCount);
                EXPECT_EQ(g->points[w->pointCount - 1].x, w->points[w->pointCount - 1].x);
                EXPECT_EQ(g->GetColor(), w->GetColor());
                const bool kept = w->strokeType == eDOPen || w->strokeType == eDOMarker ||
                                  w->strokeType == eDODelStroke || w->strokeType == eDOEraser;
                EXPECT_EQ(g->strokeType, kept ? w->strokeType : BYTE{eDOPen});
            }
            EXPECT_EQ(j, got->GetTotalGDObjectNum());
        }
        EXPECT_EQ(man.IsChangedObject(), old ? 1 : 0);
        // Written again, the document gives the same bytes.
        man.SetObjectChanged(1);
        if (!old) {
            EXPECT_EQ(Save(v), bytes);
        }
    }
}

TEST_F(MemoDocument, BackgroundObjectsRoundTripFrom21) {
    Header h;
    h.kind = DO_TEXT;
    h.width = 44;
    Bytes page;
    page.U32(0).U32(1).Add(h.Encode()).Str(u"ruled text").Str(u"Gulim");
    Bytes body;
    body.U32(kBack).U32(1).Block(page);
    Reader r(body);
    _FILE_VERSION v{2, 1};
    tagPOINT e{0, 0};
    ASSERT_EQ(man.Load(&r.file, v, e), 1);
    man.SetObjectChanged(1);
    Reader again(Bytes{Save(v)});
    ASSERT_EQ(man.Load(&again.file, v, e), 1);
    ASSERT_EQ(man.GetPage(0)->GetBackTextObjectNum(), 1);
    const GDObject* o = man.GetPage(0)->GetBackTextObject(0);
    EXPECT_EQ(std::u16string(o->text), u"ruled text");
    EXPECT_EQ(std::u16string(o->fontName), u"Gulim");
    EXPECT_EQ(o->width, 44);
}

TEST_F(MemoDocument, DamagedBodiesFailAndKeepTheDocument) {
    Fill(man);
    std::vector<BYTE> good = Save(V(2, 2));
    const auto before = Snapshot();
    const COLORREF colour = man.GetBackColor();
    _FILE_VERSION v{2, 2};
    // Every truncation of a good body.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        Bytes part;
        part.v.assign(good.begin(), good.begin() + cut);
        Reader r(part);
        tagPOINT e{0, 0};
        ASSERT_EQ(man.Load(&r.file, v, e), 0) << cut;
    }
    // Counts past what the bytes can hold, and a block whose payload is damaged.
    Bytes tooManyPages;
    tooManyPages.U32(0).U32(100);
    for (int i = 0; i < 100; ++i)
        tooManyPages.Block(Bytes{}.U32(0).U32(0));
    Bytes hugeObjectCount;
    hugeObjectCount.U32(0).U32(1).Block(Bytes{}.U32(0xFFFFFFFF).U32(0));
    Header many;
    many.count = 65535;
    Bytes hugePointCount;
    hugePointCount.U32(0).U32(1).Block(Bytes{}.U32(1).Add(many.Encode()).I32(1).I32(2).U32(0));
    Bytes badPayload{good};
    // Flip bytes in the middle of the first block's zlib stream.
    auto u32 = [&](size_t at) {
        return good[at] | good[at + 1] << 8 | good[at + 2] << 16 | good[at + 3] << 24;
    };
    ASSERT_LT(u32(12), u32(8)) << "the first block is compressed";
    badPayload.v[8 + 8 + 20] ^= 0x5A;
    badPayload.v[8 + 8 + 21] ^= 0xA5;
    for (const Bytes* b : {&tooManyPages, &hugeObjectCount, &hugePointCount, &badPayload}) {
        Reader r(*b);
        tagPOINT e{0, 0};
        EXPECT_EQ(man.Load(&r.file, v, e), 0);
    }
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(man.GetBackColor(), colour);
    EXPECT_EQ(man.GetCurPageIndex(), 0);
    // And the good body still loads.
    Reader r(Bytes{good});
    tagPOINT e{0, 0};
    EXPECT_EQ(man.Load(&r.file, v, e), 1);
    EXPECT_EQ(man.GetPageNum(), 2);
}

TEST(MemoFileVersion, EightBytesMajorThenMinor) {
    GMemFile f;
    ASSERT_EQ(WriteFileVersion(&f, kMemoFileVersion), 1);
    Bytes want;
    want.U32(2).U32(2);
    EXPECT_EQ(Contents(f), want.v);
    f.Seek(0, 0);
    _FILE_VERSION v{0, 0};
    ASSERT_EQ(ReadFileVersion(&f, v), 1);
    EXPECT_EQ(v.major, 2);
    EXPECT_EQ(v.minor, 2);
    Reader shortFile(Bytes{}.U32(1));
    EXPECT_EQ(ReadFileVersion(&shortFile.file, v), 0);
    EXPECT_EQ(v.major, 2);
}

} // namespace
