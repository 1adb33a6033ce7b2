#include "TestPng.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

int TestPicture::Count(int left, int top, int right, int bottom, COLORREF color) const {
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, width); ++x)
            n += At(x, y) == color;
    return n;
}

bool ReadTestPng(const std::string& hostPath, TestPicture* picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, hostPath.c_str()))
        return false;
    // Colours as stored: with an alpha channel they are read beside it, not blended.
    const bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    const size_t step = hasAlpha ? 4 : 3;
    image.format = hasAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    picture->width = int(image.width);
    picture->height = int(image.height);
    picture->pixels.resize(size_t(image.width) * image.height);
    picture->alpha.assign(hasAlpha ? picture->pixels.size() : 0, 0);
    for (size_t i = 0; i < picture->pixels.size(); ++i) {
        const unsigned char* p = rgb.data() + step * i;
        picture->pixels[i] = RGB(p[0], p[1], p[2]);
        if (hasAlpha)
            picture->alpha[i] = p[3];
    }
    return true;
}
