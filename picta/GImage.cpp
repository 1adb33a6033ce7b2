#include "picta/GImage.h"
#include "picta/PictaBMP.h"
#include "picta/PictaGIF.h"
#include "picta/PictaJPG.h"

#include <fundo/GFile.h>
#include <fundo/GIOFile.h>
#include <fundo/GMemFile.h>
#include <fundo/GRCFile.h>
#include <platform/safefile.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Rows: current code 1-7; columns: new code 1-7.
constexpr int kFold[7][7] = {
    {0, 6, 7, 5, 4, 2, 3}, {6, 0, 5, 7, 3, 1, 4}, {5, 7, 0, 6, 1, 4, 2}, {7, 5, 6, 0, 2, 3, 1},
    {3, 4, 2, 1, 6, 7, 0}, {2, 1, 4, 3, 7, 0, 5}, {4, 3, 1, 2, 0, 5, 6},
};

bool SameText(const WCHAR* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (*a != static_cast<WCHAR>(*b))
            return false;
    return *a == 0 && *b == 0;
}

// Writes through a fresh temporary file beside the target and puts it in place only when
// complete (plat::SafeReplace).
template <typename Writer> DWORD WriteReplacing(LPCWSTR path, Writer write) {
    if (!path || !*path)
        return 0;
    plat::SafeReplace out;
    FILE* stream = out.OpenDevice(path) ? out.Stream() : nullptr;
    if (!stream)
        return 0;
    GIOFile file(stream);
    if (!write(file))
        return 0;
    const LONG size = file.Size();
    return size > 0 && out.Commit() == 0 ? static_cast<DWORD>(size) : 0;
}

} // namespace

GImage::GImage()
    : m_pImage(nullptr), m_Format(eImageBMP), m_Transform(0), m_OutputWidth(-1), m_OutputHeight(-1),
      m_OutputPercent(-1), m_FileSize(0) {}

GImage::~GImage() {
    Free();
}

void GImage::Free() {
    if (m_pImage) {
        m_pImage->Free();
        delete m_pImage;
        m_pImage = nullptr;
    }
}

int GImage::Create(int width, int height) {
    m_Format = eImageBMP;
    if (!m_pImage)
        m_pImage = new Picta;
    int ok = m_pImage->Create(width, height, 24);
    m_pImage->SetLoaded(ok);
    m_Transform = 0;
    return ok;
}

int GImage::FormatFromPath(LPCWSTR path) {
    if (!path)
        return eImageNone;
    const WCHAR* dot = nullptr;
    for (const WCHAR* p = path; *p; ++p)
        if (*p == u'.')
            dot = p;
    if (!dot)
        return eImageNone;
    const WCHAR* ext = dot + 1;
    if (SameText(ext, "bmp") || SameText(ext, "BMP"))
        return eImageBMP;
    if (SameText(ext, "gif") || SameText(ext, "GIF"))
        return eImageGIF;
    if (SameText(ext, "jpg") || SameText(ext, "JPG"))
        return eImageJPEG;
    return eImageNone;
}

int GImage::FoldTransform(int current, int next) {
    if (current < 0 || current > 7 || next < 0 || next > 7)
        return current;
    if (current == 0)
        return next;
    if (next == 0)
        return current;
    return kFold[current - 1][next - 1];
}

Picta* GImage::CreateCodec(int format) {
    switch (format) {
        case eImageBMP:
            return new PictaBMP;
        case eImageGIF:
            return new PictaGIF;
        case eImageJPEG:
            return new PictaJPG;
        default:
            return nullptr;
    }
}

int GImage::Load(GFile* file, int format, PICTAPROGRESS progress, void* user) {
    // A load always starts from an empty image, so a failure leaves it empty.
    Free();
    m_FileSize = 0;
    if (!file)
        return 0;
    long long size = file->Size();
    if (size <= 0)
        return 0;
    m_FileSize = static_cast<DWORD>(size);
    std::unique_ptr<Picta> codec(CreateCodec(format));
    if (!codec)
        return 0;
    m_Format = format;
    int width = m_OutputWidth;
    int height = m_OutputHeight;
    if (m_OutputPercent > 0) {
        // A percentage needs the source size, which only the header tells.
        long long start = file->Tell();
        std::unique_ptr<Picta> probe(CreateCodec(format));
        int w = 0, h = 0;
        if (probe->PreLoad(file, w, h) > 0) {
            width = static_cast<int>(static_cast<long long>(m_OutputPercent) * w / 100);
            height =
                static_cast<int>(static_cast<long long>(m_OutputPercent) * (h < 0 ? -h : h) / 100);
        }
        file->Seek(static_cast<long>(start), 0);
    }
    if (width > 0)
        codec->SetOutputWidth(width);
    if (height > 0)
        codec->SetOutputHeight(height);
    if (!codec->Load(file, progress, user))
        return 0;
    m_pImage = codec.release();
    m_Transform = 0;
    return 1;
}

int GImage::Load(LPCWSTR path, PICTAPROGRESS progress, void* user) {
    Free();
    int format = FormatFromPath(path);
    if (format == eImageNone)
        return 0;
    GIOFile file;
    if (!file.Open(path, u"rb"))
        return 0;
    return Load(&file, format, progress, user);
}

int GImage::Load(const BYTE* data, DWORD length, int format, PICTAPROGRESS progress, void* user) {
    Free();
    if (!data || length == 0)
        return 0;
    GMemFile file(const_cast<BYTE*>(data), length);
    return Load(&file, format, progress, user);
}

int GImage::Load(UINT id, LPCWSTR type, HINSTANCE instance, int format, PICTAPROGRESS progress,
                 void* user) {
    Free();
    GRCFile file;
    if (!file.Open(id, type, instance))
        return 0;
    return Load(&file, format, progress, user);
}

int GImage::PreLoad(GFile* file, int format, int& width, int& height) {
    if (!file)
        return 0;
    long long size = file->Size();
    if (size <= 0)
        return 0;
    std::unique_ptr<Picta> codec(CreateCodec(format));
    if (!codec)
        return 0;
    m_Format = format;
    m_FileSize = static_cast<DWORD>(size);
    return codec->PreLoad(file, width, height);
}

int GImage::PreLoad(LPCWSTR path, int& width, int& height) {
    int format = FormatFromPath(path);
    if (format == eImageNone)
        return 0;
    GIOFile file;
    if (!file.Open(path, u"rb"))
        return 0;
    return PreLoad(&file, format, width, height);
}

int GImage::PreLoad(const BYTE* data, DWORD length, int format, int& width, int& height) {
    if (!data || length == 0)
        return 0;
    GMemFile file(const_cast<BYTE*>(data), length);
    return PreLoad(&file, format, width, height);
}

int GImage::PreLoad(UINT id, LPCWSTR type, HINSTANCE instance, int format, int& width,
                    int& height) {
    GRCFile file;
    if (!file.Open(id, type, instance))
        return 0;
    return PreLoad(&file, format, width, height);
}

int GImage::Save(GFile* file, int format, PICTAPROGRESS progress, void* user) {
    if (!m_pImage || !m_pImage->GetBits() || !file)
        return 0;
    std::unique_ptr<Picta> codec(CreateCodec(format));
    if (!codec)
        return 0;
    if (format == eImageJPEG && m_pImage->GetBitCount() != 24) {
        // A private 24-bit copy, freed with the temporary codec.
        GDib copy;
        int w = m_pImage->Width();
        int h = m_pImage->Height();
        if (!copy.Create(w, h, 24) || !m_pImage->DrawDib(&copy, 0, 0, w, h, 0, 0, w, h, 1, 255, 0))
            return 0;
        codec->Borrow(copy, &m_pImage->Info());
    } else {
        codec->Borrow(*m_pImage, &m_pImage->Info());
    }
    if (format == eImageJPEG)
        codec->Info().quality = 85;
    if (format == eImageGIF) {
        auto* from = dynamic_cast<PictaGIF*>(m_pImage);
        auto* to = static_cast<PictaGIF*>(codec.get());
        if (from) {
            char comment[256];
            from->GetComment(comment);
            to->SetComment(comment);
        }
    }
    int ok = codec->Save(file, progress, user);
    // The image keeps its section: the borrowed claim is dropped, never the pixels.
    codec->Detach();
    return ok;
}

DWORD GImage::Save(LPCWSTR path, int format, PICTAPROGRESS progress, void* user) {
    if (!m_pImage)
        return 0;
    return WriteReplacing(path, [&](GFile& file) { return Save(&file, format, progress, user); });
}

DWORD GImage::Save(BYTE*& block, int format, PICTAPROGRESS progress, void* user) {
    std::free(block);
    block = nullptr;
    GMemFile file(nullptr, 0);
    if (!Save(&file, format, progress, user))
        return 0;
    long long size = file.Size();
    if (size <= 0)
        return 0;
    block = static_cast<BYTE*>(std::malloc(static_cast<size_t>(size)));
    if (!block)
        return 0;
    std::memcpy(block, file.GetBuffer(), static_cast<size_t>(size));
    return static_cast<DWORD>(size);
}

int GImage::SaveRotation(LPCWSTR targetPath, LPCWSTR sourcePath) {
    if (!m_pImage || !targetPath)
        return 0;
    if (m_Format == eImageBMP) {
        // The pixels already carry the change; a plain created image writes as BMP too.
        return WriteReplacing(targetPath, [&](GFile& file) {
                   return Save(&file, eImageBMP, nullptr, nullptr);
               }) != 0;
    }
    if (m_Format != eImageJPEG || !sourcePath)
        return 0;
    // The source is read whole first, so the target may be the source itself.
    GIOFile source;
    if (!source.Open(sourcePath, u"rb"))
        return 0;
    long long size = source.Size();
    if (size <= 0 || size > (256LL << 20))
        return 0;
    std::unique_ptr<BYTE[]> bytes(new BYTE[static_cast<size_t>(size)]);
    if (source.Read(bytes.get(), static_cast<int>(size)) != size)
        return 0;
    source.Close();
    GMemFile memory(bytes.get(), static_cast<DWORD>(size));
    int code = m_Transform;
    DWORD written = WriteReplacing(
        targetPath, [&](GFile& file) { return m_pImage->SaveRotation(&file, &memory, code); });
    if (!written)
        return 0;
    m_Transform = 0;
    return 1;
}

void GImage::SetTransColor(COLORREF color) {
    if (m_pImage)
        m_pImage->SetTransColor(color);
}

void GImage::SetTransColor(RGBQUAD color) {
    if (m_pImage)
        m_pImage->SetTransColor(color);
}

int GImage::Draw(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                 int srcHeight, int mode, int alpha, int transparent) {
    if (!m_pImage)
        return 0;
    return m_pImage->Draw(hdc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, mode, alpha,
                          transparent);
}

int GImage::Draw(GImage* target, int x, int y, int width, int height, int srcX, int srcY,
                 int srcWidth, int srcHeight, int mode, int alpha, int transparent) {
    return Draw(target ? target->GetGDib() : nullptr, x, y, width, height, srcX, srcY, srcWidth,
                srcHeight, mode, alpha, transparent);
}

int GImage::Draw(GDib* target, int x, int y, int width, int height, int srcX, int srcY,
                 int srcWidth, int srcHeight, int mode, int alpha, int transparent) {
    if (!m_pImage || !target || !target->GetSafeHandle())
        return 0;
    return m_pImage->DrawDib(target, x, y, width, height, srcX, srcY, srcWidth, srcHeight, mode,
                             alpha, transparent);
}

void GImage::SetBackColor(COLORREF color, int alpha) {
    if (m_pImage)
        m_pImage->SetBackColor(color, static_cast<BYTE>(alpha));
}

void GImage::FillRect(int x, int y, int width, int height, COLORREF color, int alpha) {
    if (m_pImage)
        m_pImage->FillRect(x, y, width, height, color, static_cast<BYTE>(alpha));
}

void GImage::FillRect(const RECT& rect, COLORREF color, int alpha) {
    FillRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, color, alpha);
}

void GImage::Transformed(int code) {
    m_Transform = FoldTransform(m_Transform, code);
}

void GImage::RotateLeft() {
    if (!m_pImage)
        return;
    m_pImage->RotateLeft();
    Transformed(eTransformRotate270);
}

void GImage::RotateRight() {
    if (!m_pImage)
        return;
    m_pImage->RotateRight();
    Transformed(eTransformRotate90);
}

void GImage::Rotate180() {
    if (!m_pImage)
        return;
    m_pImage->Rotate180();
    Transformed(eTransformRotate180);
}

void GImage::Flip() {
    if (!m_pImage)
        return;
    m_pImage->Flip();
    Transformed(eTransformFlip);
}

void GImage::Mirror() {
    if (!m_pImage)
        return;
    m_pImage->Mirror();
    Transformed(eTransformMirror);
}

int GImage::NextFrame() {
    if (!m_pImage || m_Format != eImageGIF || !m_pImage->IsLoaded())
        return 0;
    return static_cast<PictaGIF*>(m_pImage)->NextFrame();
}

void GImage::SetLoops(int loops) {
    if (m_pImage && m_Format == eImageGIF && m_pImage->IsLoaded())
        static_cast<PictaGIF*>(m_pImage)->SetLoops(loops);
}
