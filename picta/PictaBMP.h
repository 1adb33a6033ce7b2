// Windows device-independent bitmap files: read with optional nearest-neighbour scaling,
// written uncompressed.
#pragma once

#include "picta/Picta.h"

class PictaBMP : public Picta {
public:
    int PreLoad(GFile* file, int& width, int& height) override;
    int Load(GFile* file, PICTAPROGRESS progress, void* user) override;
    int Save(GFile* file, PICTAPROGRESS progress, void* user) override;

protected:
    // What the headers said, normalised.
    struct Header {
        long long start;  // stream position of the file header (or of the info header)
        DWORD dataOffset; // from the file header; 0 without one
        BITMAPINFOHEADER info;
        int core;    // 12-byte core header: 3-byte colour entries
        int topDown; // stored top row first
        int height;  // rows, always positive
    };
    // Reads the file header (when present) and the info header into h.
    int ReadHeaders(GFile* file, Header& h);
    int ReadBitmapInfo(GFile* file, Header& h);

private:
    int ReadScaled(GFile* file, const Header& h, PICTAPROGRESS progress, void* user);
};
