#include "picta/PictaJPG.h"
#include "PictaJPGStream.h"

#include "PictaIO.h"

#include <cmath>
#include <cstring>

namespace {

// JPEG squeezes flat pictures hard, but not without bound: more pixels than this per byte of
// stream (beyond a floor that any real photo stays under) is a hostile header.
constexpr long long kMinPixels = 4LL << 20;
constexpr long long kPixelsPerByte = 2048;
constexpr int kDefaultQuality = 85;

bool PlausibleSize(long long width, long long height, long long streamSize) {
    long long pixels = width * height;
    long long allowed = streamSize * kPixelsPerByte;
    if (allowed < kMinPixels)
        allowed = kMinPixels;
    return width > 0 && height > 0 && pixels <= allowed;
}

int DensityToDpi(int unit, int density) {
    if (unit == 2)
        return static_cast<int>(std::floor(density * 2.54 + 0.5));
    return density;
}

// Creates the decoder over file and reads the header; false, with the decoder destroyed, when
// the stream cannot be attached. Library errors leave through the caller's jump point.
bool StartDecoder(jpeg_decompress_struct& cinfo, picta::JpegError& error, picta::JpegSource& source,
                  GFile* file) {
    jpeg_create_decompress(&cinfo);
    picta::LimitDecoder(&cinfo, &error);
    if (!picta::AttachSource(&cinfo, &source, file)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_read_header(&cinfo, TRUE);
    return true;
}

// Samples one decoded row into the bitmap rows that show it (nearest rows and columns).
void CopyScaledRow(jpeg_decompress_struct& cinfo, JSAMPARRAY row, const int* columns, BYTE* bits,
                   int W, int H, int dh, int components, int stride) {
    jpeg_read_scanlines(&cinfo, row, 1);
    int r = static_cast<int>(cinfo.output_scanline) - 1;
    // Nearest rows: bitmap row o shows decoded row (o * dh) / H.
    long long first = (static_cast<long long>(r) * H + dh - 1) / dh;
    long long end = (static_cast<long long>(r + 1) * H + dh - 1) / dh;
    const JSAMPLE* in = row[0];
    for (long long o = first; o < end && o < H; ++o) {
        BYTE* out = bits + static_cast<std::ptrdiff_t>(H - 1 - o) * stride;
        if (components == 1) {
            for (int i = 0; i < W; ++i)
                out[i] = in[columns[i]];
        } else if (components == 3) {
            // Red, green, blue to the bitmap's blue, green, red.
            for (int i = 0; i < W; ++i) {
                const JSAMPLE* p = in + columns[i];
                out[3 * i] = p[2];
                out[3 * i + 1] = p[1];
                out[3 * i + 2] = p[0];
            }
        } else {
            // Adobe CMYK as libjpeg hands it over: inverted inks.
            for (int i = 0; i < W; ++i) {
                const JSAMPLE* p = in + columns[i];
                int k = p[3];
                out[3 * i] = static_cast<BYTE>(p[2] * k / 255);
                out[3 * i + 1] = static_cast<BYTE>(p[1] * k / 255);
                out[3 * i + 2] = static_cast<BYTE>(p[0] * k / 255);
            }
        }
    }
}

} // namespace

int PictaJPG::SupportedDenominator(int d) {
    if (d >= 8)
        return 8;
    if (d >= 4)
        return 4;
    if (d >= 2)
        return 2;
    return 1;
}

void PictaJPG::SetOutputWidth(int width) {
    Picta::SetOutputWidth(width);
}

void PictaJPG::SetOutputHeight(int height) {
    Picta::SetOutputHeight(height);
}

void PictaJPG::SetOutputPercent(int percent) {
    Picta::SetOutputPercent(percent);
}

int PictaJPG::PreLoad(GFile* file, int& width, int& height) {
    if (!file || file->Size() <= 0)
        return 0;
    jpeg_decompress_struct cinfo;
    picta::JpegError error;
    picta::JpegSource source;
    source.buffer = nullptr;
    cinfo.err = picta::InitJpegError(&error);
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&cinfo);
        picta::ReleaseSource(&source);
        return 0;
    }
    if (!StartDecoder(cinfo, error, source, file))
        return 0;
    width = static_cast<int>(cinfo.image_width);
    height = static_cast<int>(cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
    picta::ReleaseSource(&source);
    return picta::EstimateBytes(width, height, 24);
}

int PictaJPG::Load(GFile* file, PICTAPROGRESS progress, void* user) {
    m_bLoaded = 0;
    m_nDensityUnit = -1;
    m_nXDensity = m_nYDensity = 0;
    m_bDamaged = 0;
    long long streamSize = file ? file->Size() : 0;
    if (streamSize <= 0)
        return 0;
    jpeg_decompress_struct cinfo;
    picta::JpegError error;
    picta::JpegSource source;
    source.buffer = nullptr;
    cinfo.err = picta::InitJpegError(&error);
    if (setjmp(error.jump)) {
        // Rows already decoded stay; the image is not marked loaded.
        jpeg_destroy_decompress(&cinfo);
        picta::ReleaseSource(&source);
        return 0;
    }
    if (!StartDecoder(cinfo, error, source, file))
        return 0;
    int w = static_cast<int>(cinfo.image_width);
    int h = static_cast<int>(cinfo.image_height);
    if (!PlausibleSize(w, h, streamSize)) {
        jpeg_destroy_decompress(&cinfo);
        picta::ReleaseSource(&source);
        return 0;
    }
    int W, H;
    picta::FitOutputSize(w, h, m_PictaInfo.outputWidth, m_PictaInfo.outputHeight, W, H);
    int requestW = m_PictaInfo.outputWidth;
    int requestH = m_PictaInfo.outputHeight;
    int d = 1;
    if (requestW >= 1 && requestH >= 1) {
        int f = h / requestH;
        int g = w / requestW;
        d = g < f ? f : g;
    } else if (requestH >= 1) {
        d = h / requestH;
    } else if (requestW >= 1) {
        d = w / requestW;
    }
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(SupportedDenominator(d));
    if (cinfo.jpeg_color_space == JCS_GRAYSCALE)
        cinfo.out_color_space = JCS_GRAYSCALE;
    else if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK)
        cinfo.out_color_space = JCS_CMYK;
    else
        cinfo.out_color_space = JCS_RGB;
    // When the scaled decode already has the output size, rows go straight into the bitmap,
    // colour rows in its blue-green-red order: no copy, no swap.
    jpeg_calc_output_dimensions(&cinfo);
    bool direct = static_cast<int>(cinfo.output_width) == W &&
                  static_cast<int>(cinfo.output_height) == H && cinfo.out_color_space != JCS_CMYK;
    if (direct && cinfo.out_color_space == JCS_RGB)
        cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    m_PictaInfo.format = eImageJPEG;
    int components = cinfo.output_components;
    int bits = components == 1 ? 8 : 24;
    if (!picta::BitmapFits(W, H, bits) || !Create(W, H, bits)) {
        jpeg_destroy_decompress(&cinfo);
        picta::ReleaseSource(&source);
        return 0;
    }
    if (cinfo.saw_JFIF_marker) {
        m_nDensityUnit = cinfo.density_unit;
        m_nXDensity = cinfo.X_density;
        m_nYDensity = cinfo.Y_density;
        SetXDPI(DensityToDpi(cinfo.density_unit, cinfo.X_density));
        SetYDPI(DensityToDpi(cinfo.density_unit, cinfo.Y_density));
    }
    if (components == 1)
        SetGrayPalette();

    int dw = static_cast<int>(cinfo.output_width);
    int dh = static_cast<int>(cinfo.output_height);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                static_cast<JDIMENSION>(dw * components), 1);
    int* columns = static_cast<int*>((*cinfo.mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, sizeof(int) * static_cast<size_t>(W)));
    for (int i = 0; i < W; ++i)
        columns[i] = static_cast<int>(static_cast<long long>(i) * dw / W) * components;
    int stride = GetLineSize();
    int reported = -1;
    while (cinfo.output_scanline < cinfo.output_height) {
        if (direct) {
            JSAMPROW target = m_pBits + static_cast<std::ptrdiff_t>(
                                            H - 1 - static_cast<int>(cinfo.output_scanline)) *
                                            stride;
            jpeg_read_scanlines(&cinfo, &target, 1);
        } else {
            CopyScaledRow(cinfo, row, columns, m_pBits, W, H, dh, components, stride);
        }
        int percent = (10 * static_cast<int>(cinfo.output_scanline) / dh) * 10;
        if (percent != reported) {
            reported = percent;
            if (progress && !progress(percent, user)) {
                jpeg_destroy_decompress(&cinfo);
                picta::ReleaseSource(&source);
                Free();
                return 0;
            }
        }
    }
    if (progress)
        progress(100, user);
    jpeg_finish_decompress(&cinfo);
    // Warnings are what libjpeg says of data it had to guess: corrupt or missing bytes.
    m_bDamaged = error.pub.num_warnings > 0;
    jpeg_destroy_decompress(&cinfo);
    picta::ReleaseSource(&source);
    m_bLoaded = 1;
    return 1;
}

namespace {

// Runs under the codec's jump point: a library error leaves through it.
void Encode(PictaJPG& image, jpeg_compress_struct& cinfo, int paletted) {
    int width = image.Width();
    int height = image.Height();
    int bc = image.GetBitCount();
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = paletted ? 1 : 3;
    cinfo.in_color_space = paletted ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    // A quality never set means the usual one, not the worst.
    const _PICTAINFO& info = image.Info();
    int quality = info.quality ? info.quality : kDefaultQuality;
    jpeg_set_quality(&cinfo, quality > 100 ? 100 : quality, TRUE);
    if (info.xDPI > 0 && info.yDPI > 0) {
        cinfo.density_unit = 1;
        cinfo.X_density = static_cast<UINT16>(info.xDPI > 65535 ? 65535 : info.xDPI);
        cinfo.Y_density = static_cast<UINT16>(info.yDPI > 65535 ? 65535 : info.yDPI);
    }
    jpeg_start_compress(&cinfo, TRUE);
    int length = width * cinfo.input_components;
    JSAMPARRAY buffer =
        (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                   static_cast<JDIMENSION>(length + 8), 1);
    int stride = image.GetLineSize();
    const BYTE* bits = image.GetBits();
    for (int y = 0; y < height; ++y) {
        const BYTE* in = bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride;
        JSAMPLE* out = buffer[0];
        if (paletted && bc == 8) {
            std::memcpy(out, in, static_cast<size_t>(length));
        } else if (paletted) {
            for (int x = 0; x < width; ++x)
                out[x] = image.GetPixelIndex(x, y);
        } else if (bc == 24) {
            for (int x = 0; x < width; ++x) {
                out[3 * x] = in[3 * x + 2];
                out[3 * x + 1] = in[3 * x + 1];
                out[3 * x + 2] = in[3 * x];
            }
        } else {
            for (int x = 0; x < width; ++x) {
                RGBQUAD c = image.GetPixel(x, y);
                out[3 * x] = c.rgbRed;
                out[3 * x + 1] = c.rgbGreen;
                out[3 * x + 2] = c.rgbBlue;
            }
        }
        jpeg_write_scanlines(&cinfo, buffer, 1);
    }
    jpeg_finish_compress(&cinfo);
}

} // namespace

int PictaJPG::Save(GFile* file, PICTAPROGRESS, void*) {
    if (!file || !m_hBitmap || !m_pBits)
        return 0;
    if (IsIndexed() && !IsGrayScale())
        return 0;
    jpeg_compress_struct cinfo;
    picta::JpegError error;
    picta::JpegDestination destination;
    destination.buffer = nullptr;
    cinfo.err = picta::InitJpegError(&error);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&cinfo);
        picta::ReleaseDestination(&destination);
        return 0;
    }
    jpeg_create_compress(&cinfo);
    if (!picta::AttachDestination(&cinfo, &destination, file)) {
        jpeg_destroy_compress(&cinfo);
        return 0;
    }
    Encode(*this, cinfo, IsIndexed());
    jpeg_destroy_compress(&cinfo);
    picta::ReleaseDestination(&destination);
    return 1;
}
