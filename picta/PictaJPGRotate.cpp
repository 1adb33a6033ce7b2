// Lossless re-orientation through turbojpeg's transform: the DCT coefficients move, nothing is
// decoded again, and edge blocks that cannot move whole are trimmed.
#include "picta/PictaJPG.h"

#include "PictaIO.h"

#include <turbojpeg.h>

#include <vector>

namespace {

// Whole files are held in memory for the transform.
constexpr long long kMaxSourceBytes = 256LL << 20;
constexpr long long kMaxPixels = 256LL << 20;

bool ReadAll(GFile* source, std::vector<unsigned char>& data) {
    long long size = source->Size();
    if (size <= 0 || size > kMaxSourceBytes || !source->Seek(0, 0))
        return false;
    data.resize(static_cast<size_t>(size));
    long long done = 0;
    while (done < size) {
        int want = size - done > (1 << 20) ? (1 << 20) : static_cast<int>(size - done);
        int got = picta::FileRead(source, data.data() + done, want);
        if (got <= 0)
            break;
        done += got;
    }
    data.resize(static_cast<size_t>(done));
    return done > 0;
}

struct TransformHandle {
    tjhandle handle = tjInitTransform();
    ~TransformHandle() {
        if (handle)
            tjDestroy(handle);
    }
};

struct TurboBuffer {
    unsigned char* data = nullptr;
    unsigned long size = 0;
    ~TurboBuffer() { tjFree(data); }
};

} // namespace

int PictaJPG::SaveRotation(GFile* target, GFile* source, int code) {
    if (!target || !source || code < eTransformNone || code > eTransformRotate270)
        return 0;
    std::vector<unsigned char> data;
    if (!ReadAll(source, data))
        return 0;
    TransformHandle tj;
    if (!tj.handle)
        return 0;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(tj.handle, data.data(), data.size(), &width, &height, &subsampling,
                            &colorspace) != 0)
        return 0;
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPixels)
        return 0;
    tjtransform transform{};
    // Our codes are libjpeg's transform codes, in the same order.
    transform.op = code;
    transform.options = TJXOPT_TRIM;
    TurboBuffer out;
    int rc = tjTransform(tj.handle, data.data(), data.size(), 1, &out.data, &out.size, &transform,
                         TJFLAG_LIMITSCANS);
    if (rc != 0 && tjGetErrorCode(tj.handle) != TJERR_WARNING)
        return 0;
    if (!out.data || out.size == 0 || out.size > 0x7FFFFFFFul)
        return 0;
    int n = static_cast<int>(out.size);
    if (picta::FileWrite(target, out.data, n) != n || !target->Flush())
        return 0;
    return 1;
}
