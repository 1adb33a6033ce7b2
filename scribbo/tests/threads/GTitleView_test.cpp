// The title view: captions in both navigations, the header quick read, geometry, the pad
// view's notices, marking, the context menu's actions and the preview thread meeting the pen.
#include "scribbo/App.h"
#include "scribbo/GDateListBar.h"
#include "scribbo/GTitleView.h"
#include "scribbo/LanguageText.h"
#include "scribbo/Settings.h"
#include "scribbo/TemplateHeader.h"

#include "fundo/GIOFile.h"
#include "gesture_test_support.h"
#include "memo_file_bytes.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"
#include "winza/GTime.h"

#include <TestDevice.h>
#include <platform/clock.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

using namespace apptest;

namespace {

constexpr char kFolder[] = "My Documents/Pad";
constexpr WCHAR kDeviceFolder[] = u"\\My Documents\\Pad";

// A memo of the current form with one stroke on its one page; with picture bytes it carries
// them embedded, so the quick read has to skip them to reach the back colour.
Bytes Memo(BYTE mark, COLORREF back, const Bytes& picture = {}) {
    TemplateHeader paper;
    InitTemplateHeader(&paper, 0);
    paper.PageWidth = 240;
    paper.PageHeight = 320;
    paper.BackColor = back;
    if (!picture.empty()) {
        paper.HasBackImage = 1;
        paper.BackImageFormat = 1;
        paper.BackImageSize = DWORD(picture.size());
        paper.Flags |= eTFPicture | eTFEmbedPicture;
    }
    Bytes b;
    Put32(b, 2);
    Put32(b, 2);
    const BYTE state[16] = {mark, 1, 0, 0, 1, 0};
    b.insert(b.end(), state, state + 16);
    Append(b, Bytes(40, 0));
    BYTE raw[kTemplateHeaderBytes];
    TemplateHeaderToBytes(paper, raw);
    b.insert(b.end(), raw, raw + kTemplateHeaderBytes);
    PutString(b, u"Title");
    if (!picture.empty()) {
        PutString(b, u"\\back.bmp");
        Append(b, picture);
    }
    Put32(b, 0);
    Put32(b, 0);
    Append(b, Body(back, {PageRecord({StrokeRecord({{20, 20}, {120, 160}, {220, 300}})})}));
    return b;
}

// The old form: alarm record, a title, line colours and switches, then the drawing.
Bytes OldMemo(COLORREF back) {
    Bytes b;
    Put32(b, 1);
    Put32(b, 0);
    Put32(b, 568);
    Bytes record(568, 0);
    record[0] = 0x38;
    record[1] = 0x02;
    Append(b, record);
    Put32(b, 1);
    PutString(b, u"Old");
    for (int i = 0; i < 11; ++i)
        Put32(b, i == 8 ? 25 : 0);
    Put32(b, back);
    Put32(b, 0);
    return b;
}

Bytes Cut(Bytes b, size_t size) {
    b.resize(size);
    return b;
}

class TitleView : public GestureTest {
protected:
    void SetUp() override {
        GestureTest::SetUp();
        InitGLibControl();
        InitDefaultSettings();
        std::filesystem::create_directories(device.Host("Program Files/Scribbo"));
        std::filesystem::copy_file(std::string(SCRIBBO_DATA_DIR) + "/language.txt",
                                   device.Host("Program Files/Scribbo/language.txt"));
        ASSERT_EQ(LoadLanguageFile(), 1);
        std::filesystem::create_directories(device.Host(kFolder));
        SYSTEMTIME now{2023, 3, 3, 15, 9, 30, 0, 0};
        ASSERT_TRUE(plat::SetVirtualLocalTime(now));
    }
    void TearDown() override {
        view.StopPreview();
        GestureTest::TearDown();
        FreeLanguageTexts();
        AppFonts()->RemoveAllUserFont();
        AppFonts()->RemoveAllFont();
        FreeGLib();
    }
    std::string Put(const std::string& name, const Bytes& bytes, const char* folder = kFolder) {
        std::filesystem::create_directories(device.Host(folder));
        const std::string host = device.Host(std::string(folder) + "/" + name);
        WriteHost(host, bytes);
        return host;
    }
    static std::u16string DevicePath(const std::string& folder, const std::string& name) {
        std::u16string p = u"\\";
        for (char c : folder + "/" + name)
            p += c == '/' ? u'\\' : char16_t(c);
        return p;
    }
    void Make(int viewMode = eViewRows, int height = 280) {
        ASSERT_TRUE(view.Create(nullptr, u"TitleView", WS_POPUP | WS_VISIBLE, 0, 0, 240, height));
        view.SetViewMode(viewMode);
        view.SetFolder(kDeviceFolder, 0);
        view.Reload();
        Pump();
    }
    // Paints and lets each preview thread finish until a paint finds nothing left to draw.
    void DrawPreviews() {
        ::UpdateWindow(view);
        for (int i = 0; i < 200 && view.IsPreviewRunning(); ++i) {
            while (view.IsPreviewRunning())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            Pump();
        }
        view.StopPreview();
    }
    // The darkest red value in an entry's cell on the screen.
    int Darkest(int index) {
        const RECT r = view.GetItemRect(index);
        int darkest = 255;
        for (int y = r.top + 2; y < r.bottom - 2; ++y)
            for (int x = r.left + 2; x < r.right - 2; ++x)
                darkest = std::min<int>(darkest, GetRValue(ScreenPixel(x, y)));
        return darkest;
    }
    // A tap: the hold check sees the pen lift after 100 ms.
    void Tap(int x, int y) {
        Script("wait 100\nup " + std::to_string(x) + " " + std::to_string(y) + "\nwait 60000\n");
        plat::InputStylusDown(x, y);
        Pump();
        plat::UnloadInputScript();
        Pump();
    }
    // Lets the script's time pass until the unlock prompt's timer has fired and run.
    // (A script that runs out closes the windows, so each ends with a long wait.)
    void WaitAndPump() {
        Pump();
        ::WaitMessage();
        Pump();
    }
    // Down and up with no hold check between (the mark square has none).
    void Click(int x, int y) {
        plat::InputStylusDown(x, y);
        Pump();
        plat::InputStylusUp(x, y);
        Pump();
    }
    std::u16string Caption(int index, int width = 0) {
        WCHAR text[300];
        HDC dc = ::GetDC(view);
        ::SelectObject(dc, GetGlobalFontDef());
        view.GetCaption(index, text, 300, dc, width);
        ::ReleaseDC(view, dc);
        return text;
    }

    TestDevice device;
    GTitleView view;
};

} // namespace

TEST_F(TitleView, FolderCaptionIsTheTimeOnOneOrTwoLines) {
    Put("20070315_093005.pad", Memo(0, 0xFFFFFF));
    Make();
    ASSERT_EQ(view.GetEntryCount(), 1);
    EXPECT_EQ(Caption(0), u"2007/03/15 09:30");
    EXPECT_EQ(Caption(0, 500), u"2007/03/15 09:30");
    EXPECT_EQ(Caption(0, 40), u"2007/03/15\n09:30");
}

TEST_F(TitleView, DateCaptionIsTheFolderBelowTheRoot) {
    const std::string work = std::string(kFolder) + "/Work/Today";
    Put("20070315_093005.pad", Memo(0, 0xFFFFFF), work.c_str());
    Put("20070315_100000.pad", Memo(0, 0xFFFFFF));
    Make();
    GDateListBar bar;
    ASSERT_TRUE(bar.CreateBar(view, &view, RECT{0, 0, 240, 23}, eGBarHorizontal));
    view.SetDateListBar(&bar);
    for (const auto& [folder, name] : {std::pair{work, "20070315_093005.pad"},
                                       std::pair{std::string(kFolder), "20070315_100000.pad"}}) {
        double time = 0;
        const std::u16string path = DevicePath(folder, name);
        ASSERT_TRUE(ParseMemoTime(path.c_str(), &time));
        ASSERT_EQ(bar.AddDateEntry(path.c_str(), time, eDateAscending), 1);
    }
    view.SetNaviMode(eNaviDate);
    bar.SetDate(double(GTime(2007, 3, 15)));
    Pump();
    ASSERT_EQ(view.GetEntryCount(), 2);
    EXPECT_EQ(Caption(0), u"Work/Today");
    EXPECT_EQ(Caption(1), std::u16string(GetLangText(43)));
    // Too narrow: the front gives way, the end stays.
    const std::u16string cut = Caption(0, 50);
    EXPECT_EQ(cut.substr(0, 3), u"...");
    EXPECT_EQ(cut.back(), u'y');
    EXPECT_LT(cut.size(), std::u16string(u"Work/Today").size() + 3);
}

TEST_F(TitleView, QuickReadFindsMarkAndBackColourInEveryForm) {
    const struct {
        const char* name;
        Bytes bytes;
        int ok;
        BYTE mark;
        COLORREF back;
    } cases[] = {
        {"plain", Memo(0, 0x102030), 1, 0, 0x102030},
        {"marked", Memo(1, 0x405060), 1, 1, 0x405060},
        {"picture", Memo(1, 0x708090, Pattern(333, 5)), 1, 1, 0x708090},
        {"old", OldMemo(0xA0B0C0), 1, 0, 0xA0B0C0},
        {"cut", Cut(Memo(1, 0x123456), 120), 0, 0, 0xFFFFFF},
        {"empty", Bytes{}, 0, 0, 0xFFFFFF},
    };
    for (const auto& c : cases) {
        Put("q.pad", c.bytes);
        MemoQuickInfo info;
        const std::u16string path = DevicePath(kFolder, "q.pad");
        EXPECT_EQ(ReadMemoQuickInfo(path.c_str(), &info), c.ok) << c.name;
        EXPECT_EQ(info.mark, c.mark) << c.name;
        EXPECT_EQ(info.back, c.back) << c.name;
    }
}

TEST_F(TitleView, EmbeddedPictureMemoListsWithItsBackColour) {
    Put("20070315_093005.pad", Memo(0, 0x33CC99, Pattern(5000, 7)));
    Make();
    ASSERT_EQ(view.GetEntryCount(), 1);
    EXPECT_EQ(view.GetEntry(0)->back, COLORREF(0x33CC99));
    // And the row shows it.
    ::UpdateWindow(view);
    const RECT r = view.GetItemRect(0);
    EXPECT_EQ(ScreenPixel(r.right - 3, r.bottom - 4), COLORREF(0x33CC99));
}

TEST_F(TitleView, GeometryFollowsModeAndScreen) {
    for (int i = 0; i < 30; ++i)
        Put("2007031" + std::to_string(i % 10) + "_0900" + std::to_string(10 + i) + ".pad",
            Memo(0, 0xFFFFFF));
    Make(eViewRows);
    // Rows: 240 - 8 + 4, less the 13-pixel bar; 30 rows of 42 overflow the view.
    EXPECT_TRUE(view.IsScrollShown());
    EXPECT_EQ(view.GetItemWidth(), 240 - 13 - 4);
    EXPECT_EQ(view.GetItemHeight(), 40);
    EXPECT_EQ(view.GetContentHeight(), 30 * 42);
    view.SetViewMode(eViewGrid);
    // Three square cells: (223 - 4) / 3.
    EXPECT_EQ(view.GetItemWidth(), 73);
    EXPECT_EQ(view.GetItemHeight(), 73);
    EXPECT_EQ(view.GetContentHeight(), 10 * 75);
    const RECT second = view.GetItemRect(4);
    EXPECT_EQ(second.left, 2 + 75);
    EXPECT_EQ(second.top, 2 + 75);
    EXPECT_EQ(view.HitTest(POINT{second.left + 5, second.top + 5}), 4);
    view.ScrollByWheel(-120);
    EXPECT_EQ(view.GetScrollPos(), 75);
    EXPECT_EQ(view.HitTest(POINT{second.left + 5, second.top + 5}), 7);
}

TEST_F(TitleView, SavedMemoIsAddedOrReadAgainAndAnEmptyOneGoes) {
    Put("20070315_093005.pad", Memo(0, 0x111111));
    Make();
    GDateListBar bar;
    ASSERT_TRUE(bar.CreateBar(view, &view, RECT{0, 0, 240, 23}, eGBarHorizontal));
    view.SetDateListBar(&bar);
    ASSERT_EQ(view.GetEntryCount(), 1);
    // A new memo earlier in time comes first, and its day has it for date navigation.
    Put("20070301_080000.pad", Memo(1, 0x222222));
    const std::u16string fresh = DevicePath(kFolder, "20070301_080000.pad");
    ::SendMessageW(view, UM_MEMOSAVED, 1, LPARAM(fresh.c_str()));
    ASSERT_EQ(view.GetEntryCount(), 2);
    const LONG day = LONG(double(GTime(2007, 3, 1)));
    EXPECT_TRUE(bar.HasMemos(day));
    EXPECT_EQ(std::u16string(view.GetEntry(0)->path), fresh);
    EXPECT_EQ(view.GetEntry(0)->mark, 1);
    EXPECT_EQ(GTime(view.GetEntry(0)->time).GetDay(), 1);
    // An existing memo saved again is read again, not listed twice.
    const std::u16string old = DevicePath(kFolder, "20070315_093005.pad");
    Put("20070315_093005.pad", Memo(0, 0x333333));
    ::SendMessageW(view, UM_MEMOSAVED, 0, LPARAM(old.c_str()));
    ASSERT_EQ(view.GetEntryCount(), 2);
    EXPECT_EQ(view.GetEntry(1)->back, COLORREF(0x333333));
    // Left empty: out of the list and off the disk.
    ::SendMessageW(view, UM_MEMOEMPTY, 0, LPARAM(fresh.c_str()));
    ASSERT_EQ(view.GetEntryCount(), 1);
    EXPECT_FALSE(HostExists(device.Host(std::string(kFolder) + "/20070301_080000.pad")));
    EXPECT_FALSE(bar.HasMemos(day));
}

TEST_F(TitleView, TapOnTheCornerMarksTheMemoThroughTheSafeSave) {
    Put("20070315_093005.pad", Memo(0, 0xEEEEEE));
    Make();
    const RECT mark = view.GetMarkRect(0);
    const std::string host = device.Host(std::string(kFolder) + "/20070315_093005.pad");
    Click(mark.left + 3, mark.top + 3);
    EXPECT_EQ(view.GetEntry(0)->mark, 1);
    // Byte 0 of the state block, just after the version.
    EXPECT_EQ(ReadHost(host).at(8), 1);
    EXPECT_TRUE(view.GetSelection().empty());
    // The triangle shows in the darker back colour.
    ::UpdateWindow(view);
    EXPECT_EQ(ScreenPixel(mark.left + 1, mark.top + 1), COLORREF(0xCECECE));
    Click(mark.left + 3, mark.top + 3);
    EXPECT_EQ(view.GetEntry(0)->mark, 0);
    EXPECT_EQ(ReadHost(host).at(8), 0);
    // Nothing left beside it.
    EXPECT_EQ(HostNames(device.Host(kFolder)), std::vector<std::string>{"20070315_093005.pad"});
}

TEST_F(TitleView, TapSelectsAndDragSelectsARange) {
    for (int i = 0; i < 5; ++i)
        Put("2007031" + std::to_string(i) + "_090000.pad", Memo(0, 0xFFFFFF));
    Make();
    const RECT first = view.GetItemRect(1);
    Tap(first.left + 50, first.top + 10);
    EXPECT_EQ(view.GetSelection(), std::vector<int>{1});
    EXPECT_EQ(view.GetAnchor(), 1);
    // Down on 1, up over 3.
    const RECT last = view.GetItemRect(3);
    // The move ends the hold check; the rest comes after it.
    const int x = last.left + 50, y = last.top + 10;
    Script("wait 50\nmove " + std::to_string(x) + " " + std::to_string(y) + "\nwait 60000\n");
    plat::InputStylusDown(first.left + 50, first.top + 10);
    Pump();
    plat::UnloadInputScript();
    plat::InputStylusMove(x, y);
    Pump();
    plat::InputStylusUp(x, y);
    Pump();
    EXPECT_EQ(view.GetSelection(), (std::vector<int>{1, 2, 3}));
    // Down outside every entry clears it.
    Tap(120, 270);
    EXPECT_TRUE(view.GetSelection().empty());
}

TEST_F(TitleView, DeleteDuplicateMoveAndCopyTheSelection) {
    Put("20070315_093005.pad", Memo(0, 0x010101));
    Put("20070316_093005.pad", Memo(0, 0x020202));
    Make();
    const std::string other = std::string(kFolder) + "/Other";
    std::filesystem::create_directories(device.Host(other));
    const std::u16string otherPath = u"\\My Documents\\Pad\\Other";

    view.SelectOnly(0);
    view.DuplicateSelected();
    // The copy is named after the clock (15 March 2023, 09:30).
    EXPECT_EQ(HostNames(device.Host(kFolder)),
              (std::vector<std::string>{"20070315_093005.pad", "20070316_093005.pad",
                                        "20230315_093000.pad", "Other"}));
    ASSERT_EQ(view.GetEntryCount(), 3);

    view.SelectOnly(2);
    ::SendMessageW(view, UM_COPYMEMOS, 0, LPARAM(otherPath.c_str()));
    EXPECT_EQ(HostNames(device.Host(other)), std::vector<std::string>{"20230315_093000.pad"});
    EXPECT_EQ(view.GetEntryCount(), 3);

    view.SelectOnly(1);
    ::SendMessageW(view, UM_MOVEMEMOS, 0, LPARAM(otherPath.c_str()));
    EXPECT_EQ(HostNames(device.Host(other)),
              (std::vector<std::string>{"20070316_093005.pad", "20230315_093000.pad"}));
    EXPECT_EQ(view.GetEntryCount(), 2);

    view.SelectOnly(0);
    view.DeleteSelected(0);
    EXPECT_EQ(HostNames(device.Host(kFolder)),
              (std::vector<std::string>{"20230315_093000.pad", "Other"}));
    ASSERT_EQ(view.GetEntryCount(), 1);
    EXPECT_EQ(view.GetEntry(0)->back, COLORREF(0x010101));
}

TEST_F(TitleView, ViewModeSwitchStopsThePreviewThreadAndTheNextPaintStartsOne) {
    for (int i = 0; i < 40; ++i)
        Put("200703" + std::to_string(10 + i / 10) + "_0900" + std::to_string(10 + i) + ".pad",
            Memo(0, 0xF0F0F0));
    Make(eViewGrid);
    ::UpdateWindow(view);
    ASSERT_TRUE(view.IsPreviewRunning() || view.GetPreviewsDrawn() > 0);
    view.SetViewMode(eViewRows);
    // Stopped before the switch; the new layout waits for the next paint.
    EXPECT_FALSE(view.IsPreviewRunning());
    // Joined: nothing is drawn after the switch.
    const int drawn = view.GetPreviewsDrawn();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(view.GetPreviewsDrawn(), drawn);
    for (int i = 0; i < view.GetEntryCount(); ++i) {
        const GDib& p = view.GetEntry(i)->preview;
        EXPECT_TRUE(!p.GetSafeHandle() || p.Width() == 73) << i;
    }
    // The next paint starts a thread for the rows in sight at the row size.
    ::UpdateWindow(view);
    EXPECT_TRUE(view.IsPreviewRunning() || view.GetPreviewsDrawn() > drawn);
    DrawPreviews();
    const GDib& row = view.GetEntry(0)->preview;
    EXPECT_EQ(row.Width(), view.GetItemWidth());
    EXPECT_EQ(row.Height(), view.GetItemHeight());
}

TEST_F(TitleView, PreviewsShowTheInkAndOnlyTheEntriesInSight) {
    for (int i = 0; i < 40; ++i)
        Put("200703" + std::to_string(10 + i / 10) + "_0900" + std::to_string(10 + i) + ".pad",
            Memo(i == 0, 0xF0F0F0));
    Make(eViewGrid);
    DrawPreviews();
    // 280 pixels show four rows of three.
    for (int i = 0; i < view.GetEntryCount(); ++i)
        EXPECT_EQ(view.GetEntry(i)->preview.GetSafeHandle() != nullptr, i < 12) << i;
    // The cells show the stroke; a marked entry's preview lies at alpha 96 over its back
    // colour, so its ink is lighter than the same ink unmarked.
    ::InvalidateRect(view, nullptr, FALSE);
    ::UpdateWindow(view);
    view.StopPreview();
    const int plain = Darkest(1);
    const int marked = Darkest(0);
    EXPECT_LT(plain, 0xF0);
    EXPECT_LT(plain, marked);
    EXPECT_LT(marked, 0xF0);
}

// The preview thread draws from the ink engine's pools while the interface thread loads and
// saves memos from them and the list keeps answering the pen.
TEST_F(TitleView, PreviewThreadAndPenShareTheInkPools) {
    for (int i = 0; i < 60; ++i)
        Put("200704" + std::to_string(10 + i / 10) + "_0900" + std::to_string(10 + i) + ".pad",
            Memo(0, 0xF8F8F8));
    Make(eViewGrid, 320);
    HDC dc = ::CreateCompatibleDC(nullptr);
    for (int round = 0; round < 20; ++round) {
        view.ScrollTo(round % 2 ? 150 * round : 0);
        ::UpdateWindow(view);
        // Memos loaded here take pages and objects from the same pools meanwhile.
        for (int k = 0; k < 3; ++k) {
            GPadDrawMan memo;
            ASSERT_EQ(memo.InitBuffer(dc, 60, 60), 1);
            GIOFile file;
            const std::u16string path = view.GetEntry((round * 3 + k) % 60)->path;
            ASSERT_TRUE(file.Open(path.c_str(), u"rb"));
            ASSERT_EQ(memo.Load(&file), 1);
        }
        view.SelectOnly(round % 12);
        Pump();
    }
    ::DeleteDC(dc);
    DrawPreviews();
    const int first = view.GetScrollPos() / (view.GetItemHeight() + view.GetGap()) * 3;
    EXPECT_EQ(view.GetEntry(first)->preview.Width(), view.GetItemWidth());
}

TEST_F(TitleView, LockedFolderListsOnceThePasswordIsGivenInTwoTries) {
    Put("20070315_093005.pad", Memo(0, 0xFFFFFF));
    Make();
    ASSERT_EQ(view.GetEntryCount(), 1);
    // First try wrong (its notice times out), second right.
    view.SetFolder(kDeviceFolder, 1);
    Script("wait 20\ntype 1111\nkey RETURN\nwait 3500\ntype 5826\nkey RETURN\nwait 600000\n");
    ::SendMessageW(view, UM_FOLDERCHANGED, 0, 0);
    EXPECT_EQ(view.GetEntryCount(), 0);
    // Script steps wait for the preview thread, so the prompt may need more than one wake.
    for (int i = 0; i < 20 && view.GetEntryCount() == 0; ++i)
        WaitAndPump();
    plat::UnloadInputScript();
    EXPECT_EQ(view.GetEntryCount(), 1);
    // Two wrong tries leave it locked and empty.
    view.SetFolder(kDeviceFolder, 1);
    Script("wait 20\ntype 1111\nkey RETURN\nwait 3500\ntype 2222\nkey RETURN\nwait 3500\n"
           "wait 600000\n");
    ::SendMessageW(view, UM_FOLDERCHANGED, 0, 0);
    WaitAndPump();
    plat::UnloadInputScript();
    EXPECT_TRUE(::IsWindow(view));
    EXPECT_EQ(view.GetEntryCount(), 0);
}
