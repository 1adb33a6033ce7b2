#include "inkra/FileVersion.h"

#include "MemoStream.h"

int ReadFileVersion(GFile* file, _FILE_VERSION& version) {
    BYTE b[8];
    if (!file || !inkra::ReadAll(file, b, 8))
        return 0;
    version.major = static_cast<LONG>(inkra::GetU32(b));
    version.minor = static_cast<LONG>(inkra::GetU32(b + 4));
    return 1;
}

int WriteFileVersion(GFile* file, const _FILE_VERSION& version) {
    BYTE b[8];
    inkra::PutU32(b, static_cast<DWORD>(version.major));
    inkra::PutU32(b + 4, static_cast<DWORD>(version.minor));
    return file && inkra::WriteAll(file, b, 8) ? 1 : 0;
}
