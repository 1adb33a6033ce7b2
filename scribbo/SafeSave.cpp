#include "scribbo/SafeSave.h"

#include <string>

namespace {

struct Bytes {
    const void* data;
    DWORD size;
};

int WriteBytes(FILE* stream, void* context) {
    const Bytes* b = static_cast<const Bytes*>(context);
    return b->size == 0 || fwrite(b->data, 1, b->size, stream) == b->size;
}

} // namespace

int SafeWriteFile(LPCWSTR path, SafeWriteProc write, void* context) {
    if (!path || !*path || !write)
        return 0;
    std::u16string temp(path);
    temp += kSafeSaveSuffix;
    FILE* stream = _wfopen(temp.c_str(), u"wb");
    if (!stream)
        return 0;
    int ok = write(stream, context);
    // Every byte must reach the disk before the name moves; a full disk shows up here at the
    // latest.
    ok = ok && !ferror(stream) && fflush(stream) == 0 && _commit(_fileno(stream)) == 0;
    ok = (fclose(stream) == 0) && ok;
    ok = ok && MoveFileExW(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileW(temp.c_str());
    return ok ? 1 : 0;
}

int SafeWriteBuffer(LPCWSTR path, const void* data, DWORD size) {
    if (!data && size)
        return 0;
    Bytes b{data, size};
    return SafeWriteFile(path, WriteBytes, &b);
}
