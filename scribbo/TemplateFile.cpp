#include "scribbo/TemplateFile.h"

#include "scribbo/SafeSave.h"

#include <cstring>
#include <vector>

namespace {

DWORD Le32(const BYTE* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (DWORD(p[3]) << 24);
}

void PutLe32(std::vector<BYTE>& out, DWORD v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(BYTE(v >> (8 * i)));
}

bool WantsPath(const TemplateHeader& h) {
    return (h.Flags & eTFPicture) && h.HasBackImage;
}

// Appends the whole file at path in 2048-byte chunks; false when it cannot be read.
bool AppendFile(LPCWSTR path, std::vector<BYTE>& out) {
    FILE* f = _wfopen(path, u"rb");
    if (!f)
        return false;
    BYTE chunk[2048];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (out.size() + n > kTemplateFileMax) {
            fclose(f);
            return false;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    const bool ok = !ferror(f);
    fclose(f);
    return ok;
}

} // namespace

int ParseTemplateBytes(const BYTE* data, size_t size, TemplateContent* out) {
    if (!data || size < kTemplateHeaderBytes || !out)
        return 0;
    TemplateContent c{};
    TemplateHeaderFromBytes(data, &c.header);
    size_t at = kTemplateHeaderBytes;
    if (WantsPath(c.header)) {
        DWORD n = 0;
        if (size - at >= 4) {
            n = Le32(data + at);
            at += 4;
        }
        if (n > kTemplatePathMax || (size - at) / 2 < n)
            return 0;
        for (DWORD i = 0; i < n; ++i)
            c.picturePath[i] = WCHAR(data[at + 2 * i] | (data[at + 2 * i + 1] << 8));
        at += 2 * size_t(n);
        if (c.header.BackImageSize != 0 && (c.header.Flags & eTFEmbedPicture)) {
            if (size - at >= c.header.BackImageSize) {
                c.picture = data + at;
                c.pictureSize = c.header.BackImageSize;
            }
        } else {
            c.header.Flags &= ~DWORD(eTFEmbedPicture);
        }
    }
    *out = c;
    return 1;
}

int ReadTemplateFile(LPCWSTR path, TemplateHeader* header, WCHAR* picturePath, BYTE** picture,
                     DWORD* pictureSize) {
    if (picture)
        *picture = nullptr;
    if (pictureSize)
        *pictureSize = 0;
    FILE* f = path ? _wfopen(path, u"rb") : nullptr;
    if (!f)
        return 0;
    std::vector<BYTE> bytes;
    BYTE chunk[4096];
    size_t n;
    bool ok = true;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (bytes.size() + n > kTemplateFileMax) {
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ok = ok && !ferror(f);
    fclose(f);
    TemplateContent c;
    if (!ok || !ParseTemplateBytes(bytes.data(), bytes.size(), &c))
        return 0;
    if (picture && c.picture) {
        BYTE* copy = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, c.pictureSize));
        if (copy) {
            std::memcpy(copy, c.picture, c.pictureSize);
            *picture = copy;
            if (pictureSize)
                *pictureSize = c.pictureSize;
        }
    }
    if (header)
        *header = c.header;
    if (picturePath)
        std::memcpy(picturePath, c.picturePath, sizeof c.picturePath);
    return 1;
}

int WriteTemplateFile(LPCWSTR path, TemplateHeader* header, LPCWSTR picturePath) {
    if (!path || !header)
        return 0;
    std::vector<BYTE> tail;
    if (WantsPath(*header)) {
        const size_t len = picturePath ? wcslen(picturePath) : 0;
        if (len == 0 || len > kTemplatePathMax ||
            GetFileAttributesW(picturePath) == INVALID_FILE_ATTRIBUTES) {
            header->Flags &= ~DWORD(eTFPicture);
        } else {
            PutLe32(tail, DWORD(len));
            for (size_t i = 0; i < len; ++i) {
                tail.push_back(BYTE(picturePath[i]));
                tail.push_back(BYTE(picturePath[i] >> 8));
            }
            if (header->BackImageSize != 0 && (header->Flags & eTFEmbedPicture)) {
                const size_t before = tail.size();
                if (!AppendFile(picturePath, tail)) {
                    header->Flags &= ~DWORD(eTFPicture);
                    tail.clear();
                } else {
                    // The reader takes BackImageSize bytes, so it must match what follows.
                    header->BackImageSize = DWORD(tail.size() - before);
                }
            }
        }
    }
    std::vector<BYTE> file(kTemplateHeaderBytes);
    TemplateHeaderToBytes(*header, file.data());
    file.insert(file.end(), tail.begin(), tail.end());
    return SafeWriteBuffer(path, file.data(), DWORD(file.size()));
}
