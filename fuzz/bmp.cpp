// Arbitrary bytes into the BMP reader (plain, run-length and bit-field forms): header only,
// full size, and scaled. A refused file always says why; a loaded one never does.
#include <fundo/GMemFile.h>
#include <picta/PictaBMP.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BYTE* bytes = const_cast<BYTE*>(data);
    DWORD n = static_cast<DWORD>(size);
    {
        GMemFile file(bytes, n);
        PictaBMP bmp;
        int w = 0, h = 0;
        bmp.PreLoad(&file, w, h);
    }
    for (int scaled = 0; scaled < 2; ++scaled) {
        // Scaling reads row by row: a second path through the pixel data.
        GMemFile file(bytes, n);
        PictaBMP bmp;
        if (scaled)
            bmp.SetOutputWidth(size > 0 ? 1 + data[0] % 64 : 7);
        int loaded = bmp.Load(&file, nullptr, nullptr);
        if (loaded == (bmp.GetRefusal() != nullptr))
            abort();
    }
    return 0;
}
