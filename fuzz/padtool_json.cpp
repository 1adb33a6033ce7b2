// Arbitrary bytes as the JSON that padtool create reads. Whatever the reader accepts, the
// writer's text reads back to the same text; whatever create accepts makes a memo whose dump
// makes the same file again and dumps the same text. Seed it with dumps of real memos.
#include "Json.h"
#include "PadCommands.h"

#include "scribbo/Settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool settings = [] {
        InitDefaultSettings();
        return true;
    }();
    (void)settings;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    padtool::Json value;
    std::string error;
    if (!padtool::JsonParse(text, value, error)) {
        if (error.empty())
            abort();
        return 0;
    }
    const std::string written = padtool::JsonWrite(value);
    padtool::Json again;
    if (!padtool::JsonParse(written, again, error) || padtool::JsonWrite(again) != written)
        abort();

    std::vector<unsigned char> file;
    std::string why;
    bool lost = false;
    if (!padtool::BuildMemo(text, file, why, &lost)) {
        // Create reads its file back; a current-form memo must always come back as given.
        const padtool::Json* version = nullptr;
        if (const auto* members = value.get_ptr<const padtool::Json::object_t*>()) {
            const auto it = members->find("version");
            version = it == members->end() ? nullptr : &it->second;
        }
        if (lost && version && version->is_array() && version->size() == 2 && (*version)[0] == 2)
            abort();
        return 0;
    }
    std::string dump;
    if (!padtool::DumpMemo(file, dump, why))
        abort();
    std::vector<unsigned char> second;
    if (!padtool::BuildMemo(dump, second, why) || second != file)
        abort();
    std::string dump2;
    if (!padtool::DumpMemo(second, dump2, why) || dump2 != dump)
        abort();
    return 0;
}
