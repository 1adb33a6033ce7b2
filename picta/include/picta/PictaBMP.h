// Windows device-independent bitmap files: read with optional nearest-neighbour scaling,
// written uncompressed. Besides plain rows the reader takes run-length coded rows (4 and 8
// bits) and bit-field pixels (16 and 32 bits), which are unpacked to 24 bits.
#pragma once

#include "picta/Picta.h"

#include <functional>

class PictaBMP : public Picta {
public:
    int PreLoad(GFile* file, int& width, int& height) override;
    int Load(GFile* file, PICTAPROGRESS progress, void* user) override;
    int Save(GFile* file, PICTAPROGRESS progress, void* user) override;

    // Why the last PreLoad or Load refused the file, in a few words; null after a success.
    const char* GetRefusal() const { return m_pRefusal; }

protected:
    // What the headers said, normalised.
    struct Header {
        long long start;  // stream position of the file header (or of the info header)
        DWORD dataOffset; // from the file header; 0 without one
        BITMAPINFOHEADER info;
        int core;    // 12-byte core header: 3-byte colour entries
        int topDown; // stored top row first
        int height;  // rows, always positive
        int rle;     // 8 or 4 for run-length coded rows, else 0
        int fields;  // pixels are unpacked through masks into 24 bits
        DWORD masks[3];
    };
    // Reads the file header (when present) and the info header into h.
    int ReadHeaders(GFile* file, Header& h);
    int ReadBitmapInfo(GFile* file, Header& h);

private:
    int Refuse(const char* why);
    int ReadMasks(GFile* file, Header& h);
    int LoadRle(GFile* file, const Header& h, long long available, PICTAPROGRESS progress,
                void* user);
    int LoadFields(GFile* file, const Header& h, PICTAPROGRESS progress, void* user);
    // Rows of bitCount bits come from next() in stored order and are sampled to the
    // bitmap's size.
    int ReadScaled(const std::function<void(BYTE*)>& next, int bitCount, const Header& h,
                   PICTAPROGRESS progress, void* user);

    const char* m_pRefusal = nullptr;
};
