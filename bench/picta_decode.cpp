// Decode times of the codecs beside the libraries' own plain loops: a 1600 x 1200 JPEG at full
// size and at output width 200 (eighth scale) against libjpeg, and a 640 x 480 GIF against
// giflib. The ratios (ours / theirs) are printed after the table.
#include <fundo/GMemFile.h>
#include <picta/PictaGIF.h>
#include <picta/PictaJPG.h>

#include <benchmark/benchmark.h>

#include <gif_lib.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A photo-like picture: smooth gradients with some texture.
Bytes MakeJpeg() {
    const int w = 1600, h = 1200;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(w * 3);
    while (c.next_scanline < c.image_height) {
        int y = static_cast<int>(c.next_scanline);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<JSAMPLE>(x * 255 / w);
            row[3 * x + 1] = static_cast<JSAMPLE>(y * 255 / h);
            row[3 * x + 2] = static_cast<JSAMPLE>(((x / 9) ^ (y / 7)) * 5);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes b(out, out + size);
    std::free(out);
    return b;
}

Bytes MakeGif() {
    PictaGIF gif;
    gif.Create(640, 480, 8);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            gif.SetPixelIndex(x, y, static_cast<BYTE>((x / 5 + y / 3 + ((x * y) >> 9)) & 255));
    gif.Info().compression = 2;
    GMemFile out;
    gif.Save(&out, nullptr, nullptr);
    return Bytes(out.GetBuffer(), out.GetBuffer() + out.Size());
}

const Bytes& Jpeg() {
    static Bytes b = MakeJpeg();
    return b;
}

const Bytes& Gif() {
    static Bytes b = MakeGif();
    return b;
}

void PictaJpeg(benchmark::State& state, int outputWidth) {
    const Bytes& b = Jpeg();
    for (auto _ : state) {
        GMemFile in(const_cast<BYTE*>(b.data()), static_cast<DWORD>(b.size()));
        PictaJPG jpg;
        if (outputWidth > 0)
            jpg.SetOutputWidth(outputWidth);
        if (!jpg.Load(&in, nullptr, nullptr))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(jpg.GetBits());
    }
}

// The plain libjpeg loop: memory source, RGB rows into one buffer.
void LibjpegLoop(benchmark::State& state, int denominator) {
    const Bytes& b = Jpeg();
    for (auto _ : state) {
        jpeg_decompress_struct d;
        jpeg_error_mgr err;
        d.err = jpeg_std_error(&err);
        jpeg_create_decompress(&d);
        jpeg_mem_src(&d, b.data(), static_cast<unsigned long>(b.size()));
        jpeg_read_header(&d, TRUE);
        d.scale_num = 1;
        d.scale_denom = static_cast<unsigned>(denominator);
        d.out_color_space = JCS_RGB;
        jpeg_start_decompress(&d);
        size_t stride = d.output_width * 3;
        std::vector<JSAMPLE> pixels(stride * d.output_height);
        while (d.output_scanline < d.output_height) {
            JSAMPROW row = pixels.data() + stride * d.output_scanline;
            jpeg_read_scanlines(&d, &row, 1);
        }
        jpeg_finish_decompress(&d);
        jpeg_destroy_decompress(&d);
        benchmark::DoNotOptimize(pixels.data());
    }
}

void PictaGif(benchmark::State& state) {
    const Bytes& b = Gif();
    for (auto _ : state) {
        GMemFile in(const_cast<BYTE*>(b.data()), static_cast<DWORD>(b.size()));
        PictaGIF gif;
        if (!gif.Load(&in, nullptr, nullptr))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(gif.GetBits());
    }
}

struct GifSource {
    const Bytes* bytes;
    size_t at;
};

int ReadGif(GifFileType* f, GifByteType* to, int n) {
    auto* s = static_cast<GifSource*>(f->UserData);
    size_t left = s->bytes->size() - s->at;
    size_t k = static_cast<size_t>(n) < left ? static_cast<size_t>(n) : left;
    std::memcpy(to, s->bytes->data() + s->at, k);
    s->at += k;
    return static_cast<int>(k);
}

// giflib's decode into its indices, then to 24-bit colour as ours ends.
void GiflibLoop(benchmark::State& state) {
    const Bytes& b = Gif();
    std::vector<unsigned char> rgb(640 * 480 * 3);
    for (auto _ : state) {
        GifSource src{&b, 0};
        int error = 0;
        GifFileType* f = DGifOpen(&src, ReadGif, &error);
        if (!f || DGifSlurp(f) != GIF_OK) {
            state.SkipWithError("giflib failed");
            break;
        }
        const SavedImage& im = f->SavedImages[0];
        const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : f->SColorMap;
        size_t n = static_cast<size_t>(im.ImageDesc.Width) * im.ImageDesc.Height;
        for (size_t i = 0; i < n; ++i) {
            const GifColorType& c = map->Colors[im.RasterBits[i]];
            rgb[3 * i] = c.Blue;
            rgb[3 * i + 1] = c.Green;
            rgb[3 * i + 2] = c.Red;
        }
        DGifCloseFile(f, &error);
        benchmark::DoNotOptimize(rgb.data());
    }
}

// Keeps the per-iteration times so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration) {
                times[r.benchmark_name()] = r.GetAdjustedRealTime();
                cpu[r.benchmark_name()] = r.GetAdjustedCPUTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, double> cpu;
};

} // namespace

BENCHMARK_CAPTURE(PictaJpeg, full_1600x1200, -1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibjpegLoop, full_1600x1200, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PictaJpeg, width200_eighth, 200)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibjpegLoop, eighth_200x150, 8)->Unit(benchmark::kMillisecond);
BENCHMARK(PictaGif)->Unit(benchmark::kMillisecond);
BENCHMARK(GiflibLoop)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* ours, const char* theirs) {
        auto a = reporter.times.find(ours);
        auto b = reporter.times.find(theirs);
        auto c = reporter.cpu.find(ours);
        auto d = reporter.cpu.find(theirs);
        if (a != reporter.times.end() && b != reporter.times.end() && b->second > 0 &&
            d->second > 0)
            std::printf("ratio %-26s / %-27s = %.2f real, %.2f cpu\n", ours, theirs,
                        a->second / b->second, c->second / d->second);
    };
    ratio("PictaJpeg/full_1600x1200", "LibjpegLoop/full_1600x1200");
    ratio("PictaJpeg/width200_eighth", "LibjpegLoop/eighth_200x150");
    ratio("PictaGif", "GiflibLoop");
    benchmark::Shutdown();
    return 0;
}
