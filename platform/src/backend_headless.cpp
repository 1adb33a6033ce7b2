// The headless backend: the screen lives only in memory, where tests and scripted runs read
// it; presenting just notes what changed, and the clipboard is a string in memory.
#include "backend.h"

namespace plat {
namespace {

class HeadlessBackend : public DisplayBackend {
public:
    const char* Name() const override { return "headless"; }
    void Present(const RECT& rc) override {
        std::lock_guard lock(m_mutex);
        ++m_presents;
        m_last = rc;
    }
    bool SetClipboardText(const std::u16string& text) override {
        std::lock_guard lock(m_mutex);
        m_clipboard = text;
        return true;
    }
    bool GetClipboardText(std::u16string* text) override {
        std::lock_guard lock(m_mutex);
        *text = m_clipboard;
        return true;
    }

private:
    std::mutex m_mutex;
    int m_presents = 0;
    RECT m_last{};
    std::u16string m_clipboard;
};

} // namespace

std::unique_ptr<DisplayBackend> MakeHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

} // namespace plat
