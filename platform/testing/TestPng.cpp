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
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    picture->width = int(image.width);
    picture->height = int(image.height);
    picture->pixels.resize(size_t(image.width) * image.height);
    for (size_t i = 0; i < picture->pixels.size(); ++i)
        picture->pixels[i] = RGB(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    return true;
}
