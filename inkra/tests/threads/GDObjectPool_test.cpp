// The shared pool of drawing-object records: records come zeroed and go back released, also
// from two threads at once.
#include "inkra/GDObject.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

bool IsIdentity(const MATRIX& m) {
    return m.m11 == FIXED_ONE && m.m22 == FIXED_ONE && m.m12 == 0 && m.m21 == 0 && m.dx == 0 &&
           m.dy == 0;
}

TEST(GDObjectPool, RecordsComeZeroedAndGoBackReleased) {
    GDObject* o = AllocGDObject();
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->kind, 0);
    EXPECT_TRUE(IsIdentity(o->transform));
    o->SetTextData(u"freed with the record");
    FreeGDObject(o);
    FreeGDObject(nullptr);
}

TEST(GDObjectPool, TwoThreadsAllocateAndFreeAtOnce) {
    auto work = [] {
        std::vector<GDObject*> mine;
        for (int round = 0; round < 20; ++round) {
            for (int i = 0; i < 100; ++i) {
                GDObject* o = AllocGDObject();
                ASSERT_NE(o, nullptr);
                o->kind = DO_STROKE;
                mine.push_back(o);
            }
            for (GDObject* o : mine) {
                EXPECT_EQ(o->kind, DO_STROKE);
                FreeGDObject(o);
            }
            mine.clear();
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
}

} // namespace
