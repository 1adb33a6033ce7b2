// Arbitrary bytes as a text-line file read through GStringFile. The first byte picks the
// escape flag, the line capacity and whether a byte-order mark goes first; the rest is the
// file. Lines read forward must come back the same through ReadLine, in any order.
#include "fundo/GStringFile.h"

#include <platform/device.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string g_root;
constexpr int kCapacities[] = {2, 3, 7, 64, 1024, 5000, 8192, 100};

std::u16string ReadOnce(GStringFile& f, int line, int capacity, int escape) {
    std::vector<WCHAR> out(capacity + 1, u'#');
    f.ReadLine(line, out.data(), capacity, escape);
    if (out[capacity] != u'#' || std::char_traits<char16_t>::length(out.data()) >= size_t(capacity))
        abort();
    return out.data();
}

} // namespace

// The file is rewritten for every input: a memory file system keeps that from dominating.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const char* base : {"/dev/shm", "/tmp"}) {
        std::string pattern = std::string(base) + "/scribbo-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) && plat::SetDeviceRoot(pattern)) {
            g_root = pattern;
            atexit([] { std::filesystem::remove_all(g_root); });
            return 0;
        }
    }
    abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    BYTE mode = data[0];
    int escape = mode & 1;
    int capacity = kCapacities[(mode >> 1) & 7];
    std::string bytes = (mode & 16) ? std::string("\xFF\xFE", 2) : std::string();
    bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);
    FILE* file = fopen((g_root + "/f.txt").c_str(), "wb");
    if (!file)
        return 0;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);

    GStringFile f;
    if (!f.OpenR(u"\\f.txt"))
        abort();
    std::vector<std::u16string> lines; // lines[k - 1] is line k
    std::vector<WCHAR> out(capacity + 1, u'#');
    for (int guard = 0; guard < 200000; ++guard) {
        int n = f.ReadNextLine(out.data(), capacity, escape);
        if (out[capacity] != u'#')
            abort();
        if (n == 0)
            break;
        // Lines come numbered in order; a last line without a line end repeats the number
        // before it, and nothing follows it.
        bool unterminated = n == static_cast<int>(lines.size()) && n > 0;
        if (n != static_cast<int>(lines.size()) + 1 && !unterminated)
            abort();
        lines.push_back(out.data());
        if (unterminated && f.ReadNextLine(out.data(), capacity, escape) != 0)
            abort();
        if (unterminated)
            break;
    }
    // Back and forth by line number, as a reader returning to an earlier line does.
    for (size_t i = 0; i < lines.size() && i < 64; ++i) {
        size_t k = (i * 7919 + mode) % lines.size();
        if (ReadOnce(f, static_cast<int>(k + 1), capacity, escape) != lines[k])
            abort();
    }
    if (!lines.empty() &&
        ReadOnce(f, static_cast<int>(lines.size()) + 5, capacity, 0).size() >= size_t(capacity))
        abort();
    return 0;
}
