// Surfaces: allocation, default colour tables and the colour <-> pixel conversions.
#include "gdi_surface.h"

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <new>

#include <sys/mman.h>

namespace plat {

void DirtyTracker::Add(const RECT& rc) {
    if (rc.left >= rc.right || rc.top >= rc.bottom)
        return;
    std::function<void()> notify;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_box.left >= m_box.right) {
            m_box = rc;
            notify = m_listener;
        } else {
            m_box.left = std::min(m_box.left, rc.left);
            m_box.top = std::min(m_box.top, rc.top);
            m_box.right = std::max(m_box.right, rc.right);
            m_box.bottom = std::max(m_box.bottom, rc.bottom);
        }
    }
    if (notify)
        notify();
}

void DirtyTracker::SetListener(std::function<void()> listener) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listener = std::move(listener);
}

void DirtyTracker::Reset(const RECT& rc) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_box = RECT{0, 0, 0, 0};
    }
    Add(rc);
}

bool DirtyTracker::Take(RECT* rc) {
    std::lock_guard<std::mutex> lock(m_mutex);
    bool any = m_box.left < m_box.right;
    if (rc)
        *rc = any ? m_box : RECT{0, 0, 0, 0};
    m_box = RECT{0, 0, 0, 0};
    return any;
}

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kOwnMappingFrom = size_t{1} << 20;

// A zeroed block on a huge-page boundary, its length rounded up to whole huge pages; null
// when no mapping is had.
BYTE* MapHugeBlock(size_t bytes, size_t* mapped) {
    const size_t length = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const uintptr_t base = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t start = (base + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
    const size_t head = start - base;
    if (head)
        munmap(raw, head);
    if (kHugePage - head)
        munmap(reinterpret_cast<void*>(start + length), kHugePage - head);
    // Only advice: without huge pages the block still works, page by page.
    madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE);
    *mapped = length;
    return reinterpret_cast<BYTE*>(start);
}

} // namespace

void FreeBytes::operator()(BYTE* p) const {
    if (mapped)
        munmap(p, mapped);
    else
        std::free(p);
}

std::shared_ptr<Surface> MakeSurface(int width, int height, int bpp, bool bottomUp) {
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return nullptr;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535)
        return nullptr;
    int stride = StrideFor(width, bpp);
    size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(height);
    if (bytes > (size_t{1} << 28))
        return nullptr;
    auto s = std::make_shared<Surface>();
    size_t mapped = 0;
    BYTE* block = bytes >= kOwnMappingFrom ? MapHugeBlock(bytes, &mapped) : nullptr;
    if (!block)
        block = static_cast<BYTE*>(std::calloc(bytes, 1));
    s->storage = std::unique_ptr<BYTE[], FreeBytes>(block, FreeBytes{mapped});
    if (!s->storage)
        return nullptr;
    s->width = width;
    s->height = height;
    s->bpp = bpp;
    s->stride = stride;
    s->bits = s->storage.get();
    s->bottomUp = bottomUp;
    s->colorCount = bpp <= 8 ? (1 << bpp) : 0;
    return s;
}

void SetDefaultColors(Surface& s) {
    static const BYTE vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    auto set = [&](int i, int r, int g, int b) {
        s.colors[i] = RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
    };
    std::memset(s.colors, 0, sizeof(s.colors));
    s.colorCount = s.bpp <= 8 ? (1 << s.bpp) : 0;
    if (s.bpp == 1) {
        set(1, 255, 255, 255);
    } else if (s.bpp == 2) {
        for (int i = 0; i < 4; ++i)
            set(i, i * 85, i * 85, i * 85);
    } else if (s.bpp == 4) {
        for (int i = 0; i < 16; ++i)
            set(i, vga[i][0], vga[i][1], vga[i][2]);
    } else if (s.bpp == 8) {
        for (int i = 0; i < 216; ++i)
            set(i, (i / 36) * 51, ((i / 6) % 6) * 51, (i % 6) * 51);
        for (int i = 216; i < 256; ++i) {
            int v = (i - 216) * 255 / 39;
            set(i, v, v, v);
        }
    }
}

std::shared_ptr<Surface> CloneSurface(const Surface& src) {
    std::shared_ptr<Surface> s = MakeSurface(src.width, src.height, src.bpp, src.bottomUp);
    if (!s)
        return nullptr;
    for (int y = 0; y < src.height; ++y)
        std::memcpy(s->Row(y), src.Row(y), static_cast<size_t>(std::min(s->stride, src.stride)));
    s->rgb565 = src.rgb565;
    s->mono = src.mono;
    s->colorCount = src.colorCount;
    std::memcpy(s->colors, src.colors, sizeof(s->colors));
    return s;
}

COLORREF RawToColor(const Surface& s, DWORD raw) {
    switch (s.bpp) {
        case 1:
        case 2:
        case 4:
        case 8: {
            if (static_cast<int>(raw) >= s.colorCount)
                return 0;
            const RGBQUAD& q = s.colors[raw];
            return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
        case 16: {
            DWORD r, g, b;
            if (s.rgb565) {
                r = (raw >> 11) & 31;
                g = (raw >> 5) & 63;
                b = raw & 31;
                return RGB((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
            }
            r = (raw >> 10) & 31;
            g = (raw >> 5) & 31;
            b = raw & 31;
            return RGB((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
        }
        default:
            return RGB((raw >> 16) & 255, (raw >> 8) & 255, raw & 255);
    }
}

int NearestIndex(const RGBQUAD* table, int count, COLORREF c) {
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    int best = 0;
    long bestDist = -1;
    for (int i = 0; i < count; ++i) {
        int dr = table[i].rgbRed - r, dg = table[i].rgbGreen - g, db = table[i].rgbBlue - b;
        long d =
            static_cast<long>(dr) * dr + static_cast<long>(dg) * dg + static_cast<long>(db) * db;
        if (d == 0)
            return i;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

DWORD ColorToRaw(const Surface& s, COLORREF c) {
    DWORD r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    switch (s.bpp) {
        case 1:
        case 2:
        case 4:
        case 8:
            return static_cast<DWORD>(NearestIndex(s.colors, s.colorCount, c));
        case 16:
            if (s.rgb565)
                return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
            return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        default:
            return (r << 16) | (g << 8) | b;
    }
}

bool SameFormat(const Surface& a, const Surface& b) {
    if (a.bpp != b.bpp)
        return false;
    if (a.bpp == 16)
        return a.rgb565 == b.rgb565;
    if (a.bpp > 8)
        return true;
    if (a.mono != b.mono)
        return false;
    if (a.mono)
        return true;
    int n = std::max(a.colorCount, b.colorCount);
    for (int i = 0; i < n; ++i) {
        COLORREF ca = RawToColor(a, static_cast<DWORD>(i)),
                 cb = RawToColor(b, static_cast<DWORD>(i));
        if (ca != cb)
            return false;
    }
    return true;
}

} // namespace plat
