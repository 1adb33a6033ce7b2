// DrawTextW of one 20-character line into a 24-bit memory bitmap, in glyphs per second: Latin
// and Hangul, antialiased, with warm glyph caches (the toolkit's steady state), and the
// measuring call alone.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

class Target {
public:
    Target() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 480;
        info.bmiHeader.biHeight = 40;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        std::memset(bits, 0xFF, 480 * 3 * 40);
        m_dc = CreateCompatibleDC(nullptr);
        m_oldBitmap = SelectObject(m_dc, m_bitmap);
        m_font = CreateFontW(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             CLEARTYPE_QUALITY, 0, u"Tahoma");
        m_oldFont = SelectObject(m_dc, m_font);
        SetBkMode(m_dc, TRANSPARENT);
    }
    ~Target() {
        SelectObject(m_dc, m_oldFont);
        SelectObject(m_dc, m_oldBitmap);
        DeleteDC(m_dc);
        DeleteObject(m_font);
        DeleteObject(m_bitmap);
    }
    HDC dc() const { return m_dc; }

private:
    HBITMAP m_bitmap;
    HDC m_dc;
    HFONT m_font;
    HGDIOBJ m_oldBitmap, m_oldFont;
};

void DrawLine(benchmark::State& state, const char16_t* text) {
    Target t;
    const int n = static_cast<int>(std::char_traits<char16_t>::length(text));
    for (auto _ : state) {
        RECT rc{0, 0, 480, 40};
        benchmark::DoNotOptimize(DrawTextW(t.dc(), text, n, &rc, DT_SINGLELINE | DT_NOPREFIX));
    }
    state.counters["glyphs/s"] = benchmark::Counter(static_cast<double>(n) * state.iterations(),
                                                    benchmark::Counter::kIsRate);
}

void BM_DrawTextLatin(benchmark::State& state) {
    DrawLine(state, u"Handwriting memo 123");
}
BENCHMARK(BM_DrawTextLatin);

void BM_DrawTextHangul(benchmark::State& state) {
    DrawLine(state, u"손글씨 메모장 새 메모 폴더 목록보기");
}
BENCHMARK(BM_DrawTextHangul);

void BM_MeasureLatin(benchmark::State& state) {
    Target t;
    const char16_t* text = u"Handwriting memo 123";
    for (auto _ : state) {
        SIZE size;
        GetTextExtentPoint32W(t.dc(), text, 20, &size);
        benchmark::DoNotOptimize(size);
    }
    state.counters["glyphs/s"] =
        benchmark::Counter(20.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MeasureLatin);

} // namespace
BENCHMARK_MAIN();
