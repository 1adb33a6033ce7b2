#include "scribbo/SafeSave.h"

#include <platform/safefile.h>

int SafeWriteFile(LPCWSTR path, SafeWriteProc write, void* context) {
    if (!path || !*path || !write)
        return 0;
    plat::SafeReplace file;
    if (!file.OpenDevice(path))
        return 0;
    FILE* stream = file.Stream();
    return stream && write(stream, context) && file.Commit() == 0 ? 1 : 0;
}

int SafeWriteBuffer(LPCWSTR path, const void* data, DWORD size) {
    if (!path || !*path || (!data && size))
        return 0;
    plat::SafeReplace file;
    return file.OpenDevice(path) && file.Write(data, size) == 0 && file.Commit() == 0 ? 1 : 0;
}
