#include "scribbo/FolderInfo.h"

#include "scribbo/SafeSave.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// Nothing valid comes near this; a bigger file is not read into memory at all.
constexpr size_t kReadMax = kFolderInfoFixedBytes + 2 * kFolderInfoNameMax;

DWORD Le32(const BYTE* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (DWORD(p[3]) << 24);
}

void PutLe32(std::vector<BYTE>& out, DWORD v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(BYTE(v >> (8 * i)));
}

std::u16string InfoPath(LPCWSTR folder) {
    std::u16string path(folder);
    if (!path.empty() && path.back() != u'\\')
        path += u'\\';
    return path + u"folder.info";
}

} // namespace

int ParseFolderInfo(const BYTE* data, size_t size, FolderInfo* out) {
    if (!data || !out || size < kFolderInfoFixedBytes)
        return 0;
    const DWORD n = Le32(data + 16);
    if (n > kFolderInfoNameMax || (size - kFolderInfoFixedBytes) / 2 < n)
        return 0;
    FolderInfo info;
    info.color = Le32(data + 8);
    info.locked = Le32(data + 12) != 0;
    const BYTE* name = data + kFolderInfoFixedBytes;
    for (DWORD i = 0; i < n; ++i)
        info.subfolder[i] = WCHAR(name[2 * i] | (name[2 * i + 1] << 8));
    *out = info;
    return 1;
}

int ReadFolderInfo(LPCWSTR folder, FolderInfo* out) {
    if (!folder || !out)
        return 0;
    FILE* f = _wfopen(InfoPath(folder).c_str(), u"rb");
    if (!f)
        return 0;
    // One byte past the largest valid file: trailing bytes are allowed, the name is not cut.
    BYTE bytes[kReadMax + 1];
    const size_t got = fread(bytes, 1, sizeof bytes, f);
    const bool ok = !ferror(f);
    fclose(f);
    return ok ? ParseFolderInfo(bytes, got, out) : 0;
}

int WriteFolderInfo(LPCWSTR folder, const FolderInfo& info) {
    if (!folder)
        return 0;
    size_t n = 0;
    while (n <= kFolderInfoNameMax && info.subfolder[n])
        ++n;
    if (n > kFolderInfoNameMax)
        return 0;
    std::vector<BYTE> file;
    PutLe32(file, 2);
    PutLe32(file, 2);
    PutLe32(file, info.color);
    PutLe32(file, info.locked ? 1 : 0);
    PutLe32(file, DWORD(n));
    for (size_t i = 0; i < n; ++i) {
        file.push_back(BYTE(info.subfolder[i]));
        file.push_back(BYTE(info.subfolder[i] >> 8));
    }
    return SafeWriteBuffer(InfoPath(folder).c_str(), file.data(), DWORD(file.size()));
}
