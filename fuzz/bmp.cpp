// Arbitrary bytes into the BMP reader: header only, full size, and scaled.
#include <fundo/GMemFile.h>
#include <picta/PictaBMP.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BYTE* bytes = const_cast<BYTE*>(data);
    DWORD n = static_cast<DWORD>(size);
    {
        GMemFile file(bytes, n);
        PictaBMP bmp;
        int w = 0, h = 0;
        bmp.PreLoad(&file, w, h);
    }
    {
        GMemFile file(bytes, n);
        PictaBMP bmp;
        bmp.Load(&file, nullptr, nullptr);
    }
    {
        // Scaling reads row by row: a second path through the pixel data.
        GMemFile file(bytes, n);
        PictaBMP bmp;
        bmp.SetOutputWidth(size > 0 ? 1 + data[0] % 64 : 7);
        bmp.Load(&file, nullptr, nullptr);
    }
    return 0;
}
