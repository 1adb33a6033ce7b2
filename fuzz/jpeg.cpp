// Arbitrary bytes into the JPEG reader (full and scaled) and the lossless transform.
#include <fundo/GMemFile.h>
#include <picta/PictaJPG.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BYTE* bytes = const_cast<BYTE*>(data);
    DWORD n = static_cast<DWORD>(size);
    int pick = size > 0 ? data[size - 1] : 0;
    {
        GMemFile file(bytes, n);
        PictaJPG jpg;
        int w = 0, h = 0;
        jpg.PreLoad(&file, w, h);
    }
    {
        GMemFile file(bytes, n);
        PictaJPG jpg;
        if (pick & 1)
            jpg.SetOutputWidth(1 + pick % 97);
        jpg.Load(&file, nullptr, nullptr);
    }
    if ((pick & 6) == 6) {
        GMemFile source(bytes, n);
        GMemFile target;
        PictaJPG jpg;
        jpg.SaveRotation(&target, &source, (pick >> 3) & 7);
    }
    return 0;
}
