#include "fundo/GZLib.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace {

// Process-wide: the preview thread reads memo files while the user-interface thread writes.
std::mutex g_lock;
HMODULE g_module = nullptr;
std::atomic<GZCompress2Proc> g_compress2{nullptr};
std::atomic<GZUncompressProc> g_uncompress{nullptr};

template <class F> F As(FARPROC p) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(p));
}

// Frees the module when fundo itself goes away.
struct ReleaseAtUnload {
    ~ReleaseAtUnload() { ReleaseGZLib(); }
} g_releaseAtUnload;

} // namespace

int InitGZLib() {
    std::lock_guard lock(g_lock);
    if (g_module)
        return 1;
    g_module = LoadLibraryW(u"GZLib.dll");
    if (!g_module)
        return 0;
    g_compress2 = As<GZCompress2Proc>(GetProcAddress(g_module, u"compress2"));
    g_uncompress = As<GZUncompressProc>(GetProcAddress(g_module, u"uncompress"));
    return 1;
}

void ReleaseGZLib() {
    std::lock_guard lock(g_lock);
    if (!g_module)
        return;
    g_compress2 = nullptr;
    g_uncompress = nullptr;
    FreeLibrary(g_module);
    g_module = nullptr;
}

GZCompress2Proc GZCompress2() {
    return g_compress2;
}
GZUncompressProc GZUncompress() {
    return g_uncompress;
}
