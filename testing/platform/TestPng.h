// Reads a PNG that a scripted run or a test wrote, so tests can check what a picture shows.
#pragma once

#include <platform/wintypes.h>

#include <string>
#include <vector>

struct TestPicture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // row by row, top first
    std::vector<BYTE> alpha;      // the same order; empty for a file without an alpha channel

    COLORREF At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    int AlphaAt(int x, int y) const {
        return alpha.empty() ? 255 : alpha[size_t(y) * size_t(width) + size_t(x)];
    }
    // How many pixels of the rectangle (clipped to the picture) have exactly this colour.
    int Count(int left, int top, int right, int bottom, COLORREF color) const;
};

// False when the file is missing or not a PNG that libpng reads as 8-bit RGB(A) or grey.
bool ReadTestPng(const std::string& hostPath, TestPicture* picture);
