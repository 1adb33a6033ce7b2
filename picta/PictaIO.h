// Stream calls in the codecs' int terms.
#pragma once

#include <fundo/GFile.h>

namespace picta {

inline int FileRead(GFile* file, void* buffer, int count) {
    return count <= 0 ? 0 : static_cast<int>(file->Read(buffer, static_cast<DWORD>(count)));
}

inline int FileWrite(GFile* file, const void* buffer, int count) {
    return count <= 0 ? 0 : static_cast<int>(file->Write(buffer, static_cast<DWORD>(count)));
}

} // namespace picta
