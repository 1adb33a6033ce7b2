// The memo store's whole scan over 10,000 memos in 100 folders (each with its "folder.info"),
// warm cache: the folder tree and a date index are rebuilt from the names on every run.
//
// Counter: memos/s.
#include "scribbo/GFolderItem.h"
#include "scribbo/MemoStore.h"
#include "winza/GTreeCtrl.h"

#include <TestDevice.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kFolders = 100;
constexpr int kMemosPerFolder = 100;

class FolderTree : public GTreeCtrl {
public:
    GItem* CreateItem(LPCWSTR label) override { return new GFolderItem(label); }
};

// What the date list bar keeps: every memo with its time, in arrival order.
class ListIndex : public MemoIndex {
public:
    int AddMemo(LPCWSTR path, double time) override {
        memos.push_back({path, time});
        return 1;
    }
    int RemoveMemo(LPCWSTR, double) override { return 0; }
    void ClearMemos() override { memos.clear(); }
    std::vector<std::pair<std::u16string, double>> memos;
};

void WriteFile(const std::string& path, const void* bytes, size_t size) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes, 1, size, f);
        std::fclose(f);
    }
}

void BuildStore(const TestDevice& device) {
    // Version 2, 2, a colour, unlocked, no subfolder name.
    const unsigned char info[20] = {2, 0, 0, 0, 2, 0, 0, 0, 0xF0, 0xF0, 0xA8, 0, 0, 0, 0, 0, 0};
    const std::string memo(2048, 'm');
    for (int f = 0; f < kFolders; ++f) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "Pad/Folder%03d", f);
        const std::string dir = device.Host(folder);
        std::filesystem::create_directories(dir);
        WriteFile(dir + "/folder.info", info, sizeof info);
        for (int m = 0; m < kMemosPerFolder; ++m) {
            const int n = f * kMemosPerFolder + m;
            char name[40];
            std::snprintf(name, sizeof name, "/2024%02d%02d_%02d%02d%02d.pad", 1 + n % 12,
                          1 + n % 28, n % 24, (n / 24) % 60, n % 60);
            WriteFile(dir + name, memo.data(), memo.size());
        }
    }
}

void BM_ScanStore(benchmark::State& state) {
    TestDevice device;
    BuildStore(device);
    FolderTree tree;
    ListIndex index;
    ScanMemoStore(&tree, &index, u"\\Pad", nullptr); // warms the cache
    for (auto _ : state) {
        ScanMemoStore(&tree, &index, u"\\Pad", nullptr);
        benchmark::DoNotOptimize(index.memos.data());
    }
    if (index.memos.size() != size_t(kFolders * kMemosPerFolder))
        state.SkipWithError("the scan did not list every memo");
    state.counters["memos/s"] = benchmark::Counter(double(index.memos.size()) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScanStore)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
