// The pad view's autosave: the writer thread saves two seconds after the pen lifts, and a memo
// emptied afterwards loses its file.
#include "pad_view_test_support.h"

namespace {

TEST_F(PadView, AMemoEmptiedAfterAnAutosaveLosesItsFile) {
    const std::u16string path = NewMemo();
    Stroke({{30, 50}, {90, 60}, {150, 70}});
    clock.Advance(GPadView::kAutoSaveMs);
    Pump();
    view->GetAutoSave()->Wait();
    ASSERT_EQ(ObjectsIn(path), 1);
    view->GetMemo()->ClearCurPage();
    Command(ID_PAD_CLOSE);
    EXPECT_FALSE(apptest::HostExists(Host(path)));
}

TEST_F(PadView, AutosaveWritesTwoSecondsAfterThePenLifts) {
    ListenAsTitleView();
    const std::u16string path = NewMemo();
    Stroke({{30, 50}, {90, 60}, {150, 70}});
    clock.Advance(GPadView::kAutoSaveMs - 100);
    Pump();
    view->GetAutoSave()->Wait();
    EXPECT_FALSE(apptest::HostExists(Host(path)));
    // A new stroke puts it off again.
    Stroke({{30, 90}, {150, 95}});
    clock.Advance(GPadView::kAutoSaveMs - 100);
    Pump();
    view->GetAutoSave()->Wait();
    EXPECT_FALSE(apptest::HostExists(Host(path)));
    clock.Advance(100);
    Pump();
    view->GetAutoSave()->Wait();
    EXPECT_EQ(ObjectsIn(path), 2);
    EXPECT_FALSE(view->IsChanged());
    EXPECT_TRUE(notices.got.empty()) << "the list hears of the memo when it is left";
    // Leaving it still tells the list of the new memo.
    Command(ID_PAD_CLOSE);
    ASSERT_EQ(notices.got.size(), 1u);
    EXPECT_EQ(notices.got[0].first, UM_MEMOSAVED);
}

// The timer runs out while a stroke is half written in the magnify strip: saved now, the memo
// would hold half a stroke.
TEST_F(PadView, AnAutosaveWaitsForAStrokeHalfWrittenInTheMagnifyStrip) {
    const std::u16string path = NewMemo();
    Stroke({{30, 50}, {90, 60}, {150, 70}});
    Command(ID_PAD_MAGNIFY);
    GMagnifyPad* strip = view->GetMagnifyPad();
    RECT r{};
    ::GetWindowRect(*strip, &r);
    const int w = strip->GetWritingWidth();
    const int mid = (r.top + r.bottom) / 2;
    plat::InputStylusDown(r.left + w / 10, mid);
    plat::InputStylusMove(r.left + w / 4, mid + 10);
    Pump();
    clock.Advance(GPadView::kAutoSaveMs + 100);
    Pump();
    view->GetAutoSave()->Wait();
    EXPECT_FALSE(apptest::HostExists(Host(path)));
    plat::InputStylusUp(r.left + w / 3, mid);
    Pump();
    clock.Advance(GPadView::kAutoSaveMs + 100);
    Pump();
    view->GetAutoSave()->Wait();
    EXPECT_EQ(ObjectsIn(path), 2);
}

} // namespace
