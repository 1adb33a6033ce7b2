#include <platform/device.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

namespace plat {
namespace {

struct RootState {
    std::mutex mutex;
    std::string root;
    std::vector<std::function<void()>> listeners;
};

RootState& State() {
    static RootState state;
    return state;
}

} // namespace

std::string DefaultDeviceRoot() {
    if (const char* env = std::getenv("SCRIBBO_DEVICE"); env && *env)
        return env;
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = "/tmp";
    return base + "/scribbo/device";
}

bool SetDeviceRoot(const std::string& hostDir) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(hostDir, ec);
    if (ec)
        return false;
    std::filesystem::create_directories(p, ec);
    if (!std::filesystem::is_directory(p, ec))
        return false;
    std::vector<std::function<void()>> listeners;
    {
        RootState& s = State();
        std::lock_guard lock(s.mutex);
        s.root = std::filesystem::weakly_canonical(p, ec).string();
        if (ec)
            s.root = p.lexically_normal().string();
        while (s.root.size() > 1 && s.root.back() == '/')
            s.root.pop_back();
        listeners = s.listeners;
    }
    for (auto& l : listeners)
        l();
    return true;
}

std::string DeviceRoot() {
    {
        RootState& s = State();
        std::lock_guard lock(s.mutex);
        if (!s.root.empty())
            return s.root;
    }
    SetDeviceRoot(DefaultDeviceRoot());
    RootState& s = State();
    std::lock_guard lock(s.mutex);
    return s.root;
}

void OnDeviceRootChanged(std::function<void()> listener) {
    RootState& s = State();
    std::lock_guard lock(s.mutex);
    s.listeners.push_back(std::move(listener));
}

} // namespace plat
