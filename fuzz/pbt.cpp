// Arbitrary bytes as a ".pbt" template, parsed from memory and read from a file. A template
// that parses must keep its 72 header bytes (only bit 128 may be cleared), and written back
// and read again it must give the same header and picture path.
#include "scribbo/TemplateFile.h"

#include "TestDevice.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

TestDevice* g_device = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_device = new TestDevice;
    CreateDirectoryW(u"\\PBT", nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TemplateContent c;
    const int parsed = ParseTemplateBytes(data, size, &c);
    if (!parsed)
        return 0;
    BYTE header[kTemplateHeaderBytes];
    TemplateHeaderToBytes(c.header, header);
    header[28] |= data[28] & 0x80; // the one bit the reader may clear
    if (std::memcmp(header, data, kTemplateHeaderBytes) != 0)
        abort();
    if (c.picture && (c.picture < data || c.picture + c.pictureSize > data + size))
        abort();

    FILE* f = fopen((g_device->Root() + "/PBT/in.pbt").c_str(), "wb");
    if (!f)
        return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    TemplateHeader h;
    WCHAR path[260];
    BYTE* picture = nullptr;
    DWORD pictureSize = 0;
    if (!ReadTemplateFile(u"\\PBT\\in.pbt", &h, path, &picture, &pictureSize))
        abort(); // the same bytes parsed from memory
    if (path[259] != 0 || (picture && pictureSize != c.pictureSize))
        abort();
    LocalFree(picture);
    // The path names no file on this device, so the written copy drops the picture cleanly.
    if (!WriteTemplateFile(u"\\PBT\\out.pbt", &h, path))
        abort();
    TemplateHeader again;
    WCHAR pathAgain[260];
    if (!ReadTemplateFile(u"\\PBT\\out.pbt", &again, pathAgain, nullptr, nullptr))
        abort();
    BYTE a[kTemplateHeaderBytes], b[kTemplateHeaderBytes];
    TemplateHeaderToBytes(h, a);
    TemplateHeaderToBytes(again, b);
    if (std::memcmp(a, b, sizeof a) != 0)
        abort();
    return 0;
}
