// Run-length coding that any LZW decoder reads: only codes the decoder has built (or is about
// to build) are sent. After a clear, sending pixel p and then the next free codes in turn makes
// the decoder build runs of p of length 2, 3, 4, ..., so code clear + L stands for L pixels p.
#include "picta/PictaGIF.h"

#include <cmath>

long long PictaGIF::rle_isqrt(long long x) {
    if (x < 2)
        return x;
    long long r = static_cast<long long>(std::sqrt(static_cast<double>(x)));
    while (r * r > x)
        --r;
    while ((r + 1) * (r + 1) <= x)
        ++r;
    return r;
}

// Codes needed to send count pixels of one value when a fresh table is built for them, at
// most nrepcodes codes being available: the triangle 1 + 2 + ... + k, then one code for the
// rest.
int PictaGIF::rle_compute_triangle_count(int count, int nrepcodes) {
    long long k = (rle_isqrt(8LL * count + 1) - 1) / 2;
    if (k > nrepcodes)
        k = nrepcodes;
    if (k < 1)
        return count;
    long long covered = k * (k + 1) / 2;
    long long rest = count - covered;
    // The rest is sent with the longest run codes, k pixels each.
    return static_cast<int>(k + (rest + k - 1) / k);
}

void PictaGIF::RleDidClear() {
    m_Bits = m_InitBits;
    m_OutBump = m_OutBumpInit;
    m_OutClear = m_OutClearInit;
    m_OutCount = 0;
    m_RlTableMax = 0;
    m_RlTablePixel = -1;
    m_JustCleared = 1;
}

void PictaGIF::RleOutputPlain(int code) {
    m_JustCleared = 0;
    PutCode(code, m_Bits);
    // The decoder's next free code is clear + 1 + codes sent; it widens at each power of two.
    ++m_OutCount;
    if (m_OutCount >= m_OutBump) {
        ++m_Bits;
        m_OutBump += 1 << (m_Bits - 1);
    }
    if (m_OutCount >= m_OutClear) {
        PutCode(m_ClearCode, m_Bits);
        RleDidClear();
    }
}

void PictaGIF::RleFlushRun(int pixel, int count) {
    while (count > 0) {
        bool ownTable = m_RlTablePixel == pixel && m_RlTableMax >= 2;
        int withTable = ownTable ? (count + m_RlTableMax - 1) / m_RlTableMax : count;
        int room = m_MaxOcodes - 2;
        int fresh = rle_compute_triangle_count(count, room) + (m_JustCleared ? 0 : 1);
        if (count > 2 && fresh < withTable) {
            if (!m_JustCleared) {
                PutCode(m_ClearCode, m_Bits);
                RleDidClear();
            }
            // Keep the table for as long as the image goes on.
            m_OutClear = m_MaxOcodes;
            m_RlTablePixel = pixel;
            RleOutputPlain(pixel);
            --count;
            m_RlTableMax = 1;
            while (count > m_RlTableMax && m_RlTablePixel == pixel &&
                   m_OutCount < m_MaxOcodes - 1) {
                int length = m_RlTableMax + 1;
                RleOutputPlain(m_ClearCode + length);
                if (m_RlTablePixel == pixel)
                    m_RlTableMax = length;
                count -= length;
            }
            continue;
        }
        if (ownTable) {
            int length = count < m_RlTableMax ? count : m_RlTableMax;
            RleOutputPlain(length == 1 ? pixel : m_ClearCode + length);
            count -= length;
        } else {
            RleOutputPlain(pixel);
            --count;
        }
    }
}

void PictaGIF::RleFlush() {
    if (m_RlCount > 0)
        RleFlushRun(m_RlPixel, m_RlCount);
    m_RlCount = 0;
}

void PictaGIF::compressRLE(int initBits) {
    StartCodes(initBits);
    m_OutBumpInit = m_ClearCode - 1;
    m_OutClearInit = initBits <= 3 ? 9 : m_ClearCode - 2;
    m_MaxOcodes = 4096 - (m_ClearCode + 3);
    m_RlPixel = -1;
    m_RlCount = 0;
    PutCode(m_ClearCode, m_Bits);
    RleDidClear();
    int c;
    while ((c = GifNextPixel()) != -1) {
        if (m_RlCount > 0 && c != m_RlPixel)
            RleFlush();
        if (m_RlPixel == c && m_RlCount > 0) {
            ++m_RlCount;
        } else {
            m_RlPixel = c;
            m_RlCount = 1;
        }
    }
    RleFlush();
    PutCode(m_EofCode, m_Bits);
    FlushCodes();
}
