// Arbitrary bytes into the GIF reader, then the animation and the writer over what came out.
#include <fundo/GMemFile.h>
#include <picta/PictaGIF.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BYTE* bytes = const_cast<BYTE*>(data);
    DWORD n = static_cast<DWORD>(size);
    {
        GMemFile file(bytes, n);
        PictaGIF gif;
        int w = 0, h = 0;
        gif.PreLoad(&file, w, h);
    }
    GMemFile file(bytes, n);
    PictaGIF gif;
    if (size > 0 && (data[size - 1] & 1))
        gif.SetOutputWidth(1 + data[size - 1] % 50);
    if (!gif.Load(&file, nullptr, nullptr))
        return 0;
    for (int i = 0; i < 2 * gif.GetTotalFrame() + 1 && i < 64; ++i)
        gif.NextFrame();
    // Small results are written back, each encoding in turn.
    if (static_cast<long long>(gif.Width()) * gif.Height() <= 64 * 64) {
        gif.Info().compression = size % 3;
        GMemFile out;
        gif.Save(&out, nullptr, nullptr);
    }
    return 0;
}
