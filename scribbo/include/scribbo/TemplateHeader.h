// The paper of a memo: one fixed 72-byte record, stored byte for byte in ".pbt" files and in
// memo files.
#pragma once

#include <windows.h>

#include <cstddef>

// Bits of TemplateHeader::Flags.
enum eTemplateFlag : DWORD {
    eTFTitleLine = 1,     // horizontal line under the title band
    eTFTitleColumn = 2,   // vertical line right of the title column
    eTFLines = 4,         // horizontal writing lines
    eTFColumns = 8,       // vertical column lines
    eTFPicture = 16,      // background picture shown
    eTFKeepAspect = 32,   // picture keeps its aspect ratio
    eTFDrawMode2 = 64,    // picture drawn with draw mode 2 instead of 1
    eTFEmbedPicture = 128 // picture bytes embedded in the file
};

struct TemplateHeader {
    WORD PageWidth;
    WORD PageHeight;
    COLORREF BackColor;
    BYTE HasBackImage;
    BYTE Reserved1[3];
    DWORD BackImageFormat;
    DWORD BackImageSize;
    BYTE BackImageAlpha;
    BYTE Reserved2[7];
    DWORD Flags;
    COLORREF TitleHorLineColor;
    COLORREF HorLineColor;
    COLORREF TitleVerLineColor;
    COLORREF VerLineColor;
    BYTE LineAlpha;
    BYTE TitleBandHeight;
    BYTE TitleColumnWidth;
    BYTE LineSpace;
    BYTE ColumnSpace;
    BYTE TitleHorLineWidth; // widths in half pixels
    BYTE HorLineWidth;
    BYTE TitleVerLineWidth;
    BYTE VerLineWidth;
    BYTE Reserved3[15];
};

// The in-memory record mirrors the file layout; the file itself is still written field by
// field so that the byte order never depends on the host.
static_assert(sizeof(TemplateHeader) == 72);
static_assert(offsetof(TemplateHeader, BackImageFormat) == 12);
static_assert(offsetof(TemplateHeader, BackImageAlpha) == 20);
static_assert(offsetof(TemplateHeader, Flags) == 28);
static_assert(offsetof(TemplateHeader, LineAlpha) == 48);
static_assert(offsetof(TemplateHeader, Reserved3) == 57);

inline constexpr int kTemplateHeaderBytes = 72;

// The default paper; hires selects the doubled band, column, spacing and line widths.
void InitTemplateHeader(TemplateHeader* header, int hires);

// Little-endian serialisation of all 72 bytes, reserved bytes included.
void TemplateHeaderToBytes(const TemplateHeader& header, BYTE out[kTemplateHeaderBytes]);
void TemplateHeaderFromBytes(const BYTE in[kTemplateHeaderBytes], TemplateHeader* header);
