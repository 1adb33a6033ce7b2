// Arbitrary bytes as a "folder.info": a file that reads must write back to the same fields,
// and the name must stay inside its buffer.
#include "scribbo/FolderInfo.h"

#include "TestDevice.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

TestDevice* g_device = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_device = new TestDevice;
    CreateDirectoryW(u"\\In", nullptr);
    CreateDirectoryW(u"\\Out", nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = fopen((g_device->Root() + "/In/folder.info").c_str(), "wb");
    if (!f)
        return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    FolderInfo info;
    const int parsed = ParseFolderInfo(data, size, &info);
    FolderInfo read;
    if (ReadFolderInfo(u"\\In", &read) != parsed)
        abort();
    if (!parsed)
        return 0;
    if (info.subfolder[kFolderInfoNameMax] != 0 || (info.locked != 0 && info.locked != 1))
        abort();
    if (!WriteFolderInfo(u"\\Out", info))
        abort();
    // The name is the text up to its first terminator: characters stored after one are read
    // into the buffer but are no part of it, and are not written back.
    FolderInfo back;
    if (!ReadFolderInfo(u"\\Out", &back) || back.color != info.color ||
        back.locked != info.locked ||
        std::u16string_view(back.subfolder) != std::u16string_view(info.subfolder))
        abort();
    return 0;
}
