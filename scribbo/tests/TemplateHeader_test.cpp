#include "scribbo/TemplateHeader.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Bytes = std::array<BYTE, 72>;

// The default paper as the layout table spells it, byte by byte.
Bytes DefaultBytes(bool hires) {
    Bytes b{};
    auto put32 = [&](int at, DWORD v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = BYTE(v >> (8 * i));
    };
    b[0] = 0x20; // 800
    b[1] = 0x03;
    b[2] = 0x58; // 600
    b[3] = 0x02;
    put32(4, 0xC0FFFF);
    b[20] = 128;
    put32(28, 7);
    put32(32, 0x3333FF);
    put32(36, 0xCC9966);
    put32(40, 0x5252FF);
    put32(44, 0xFFEECE);
    b[48] = 255;
    const int k = hires ? 2 : 1;
    b[49] = BYTE(80 * k);
    b[50] = BYTE(120 * k);
    b[51] = BYTE(28 * k);
    b[52] = BYTE(28 * k);
    b[53] = BYTE(2 * k);
    b[54] = BYTE(1 * k);
    b[55] = BYTE(1 * k);
    b[56] = BYTE(1 * k);
    return b;
}

} // namespace

TEST(TemplateHeaderLayout, DefaultsMatchTheTableAtBothResolutions) {
    for (bool hires : {false, true}) {
        TemplateHeader h;
        InitTemplateHeader(&h, hires);
        Bytes out;
        TemplateHeaderToBytes(h, out.data());
        EXPECT_EQ(out, DefaultBytes(hires)) << "hires " << hires;
    }
}

TEST(TemplateHeaderLayout, EveryFieldSitsAtItsOffsetLittleEndian) {
    Bytes in;
    for (int i = 0; i < 72; ++i)
        in[i] = BYTE(i + 1);
    TemplateHeader h;
    TemplateHeaderFromBytes(in.data(), &h);
    EXPECT_EQ(h.PageWidth, 0x0201);
    EXPECT_EQ(h.PageHeight, 0x0403);
    EXPECT_EQ(h.BackColor, 0x08070605u);
    EXPECT_EQ(h.HasBackImage, 9);
    EXPECT_EQ(h.BackImageFormat, 0x100F0E0Du);
    EXPECT_EQ(h.BackImageSize, 0x14131211u);
    EXPECT_EQ(h.BackImageAlpha, 21);
    EXPECT_EQ(h.Flags, 0x201F1E1Du);
    EXPECT_EQ(h.TitleHorLineColor, 0x24232221u);
    EXPECT_EQ(h.HorLineColor, 0x28272625u);
    EXPECT_EQ(h.TitleVerLineColor, 0x2C2B2A29u);
    EXPECT_EQ(h.VerLineColor, 0x302F2E2Du);
    EXPECT_EQ(h.LineAlpha, 49);
    EXPECT_EQ(h.TitleBandHeight, 50);
    EXPECT_EQ(h.TitleColumnWidth, 51);
    EXPECT_EQ(h.LineSpace, 52);
    EXPECT_EQ(h.ColumnSpace, 53);
    EXPECT_EQ(h.TitleHorLineWidth, 54);
    EXPECT_EQ(h.HorLineWidth, 55);
    EXPECT_EQ(h.TitleVerLineWidth, 56);
    EXPECT_EQ(h.VerLineWidth, 57);
    // Reserved bytes travel unchanged, so a memo's paper is written back byte for byte.
    Bytes out;
    TemplateHeaderToBytes(h, out.data());
    EXPECT_EQ(out, in);
}
