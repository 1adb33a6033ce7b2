// pictool: inspect and convert images through the picta codecs.
//   pictool info FILE
//   pictool convert IN OUT [--width W] [--height H] [--percent P] [--rotate CODE]
#include <fundo/GMemFile.h>
#include <picta/GImage.h>
#include <picta/PictaBMP.h>
#include <picta/PictaGIF.h>
#include <picta/PictaJPG.h>
#include <platform/safefile.h>
#include <platform/wingdi.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Larger inputs are refused rather than read into memory.
constexpr std::uint64_t kMaxInputBytes = 256ull << 20;

// One line, whatever a hostile name held.
int Fail(const std::string& reason) {
    std::string line = reason;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    std::fprintf(stderr, "pictool: %s\n", line.c_str());
    return 1;
}

void Usage(FILE* to) {
    std::fprintf(to, "usage: pictool info FILE\n"
                     "       pictool convert IN OUT [--width W] [--height H] [--percent P] "
                     "[--rotate CODE]\n"
                     "CODE: 0 none, 1 mirror, 2 flip, 3 transpose, 4 transverse, 5 turn right,\n"
                     "      6 turn 180, 7 turn left. OUT is written as BMP, GIF, JPEG or PNG by "
                     "its extension.\n");
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Extension(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return Lower(path.substr(dot + 1));
}

const char* FormatName(int format) {
    switch (format) {
        case eImageBMP:
            return "BMP";
        case eImageGIF:
            return "GIF";
        case eImageJPEG:
            return "JPEG";
        default:
            return "unknown";
    }
}

// The codecs' own extension rule first; a file named otherwise is known by its first bytes.
int InputFormat(const std::string& path, const std::vector<BYTE>& bytes) {
    std::u16string wide(path.begin(), path.end());
    int format = GImage::FormatFromPath(wide.c_str());
    if (format != eImageNone)
        return format;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return eImageBMP;
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "GIF8", 4) == 0)
        return eImageGIF;
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return eImageJPEG;
    return eImageNone;
}

// Only a regular file is read: a FIFO or device is refused at once, never waited on.
bool ReadFile(const std::string& path, std::vector<BYTE>& out, std::string& why) {
    const int err = plat::ReadHostFile(path, kMaxInputBytes, &out);
    if (err == EISDIR || err == plat::kNotRegularFile)
        why = path + " is not a regular file";
    else if (err)
        why = "cannot read " + path + ": " + plat::FileErrorText(err);
    return err == 0;
}

// Written beside the target under a fresh name, then renamed over it, so a failure never
// leaves half a file and no link is written through.
bool WriteFile(const std::string& path, const BYTE* data, size_t size, std::string& why) {
    if (const int err = plat::ReplaceHostFile(path, data, size)) {
        why = "cannot write " + path + ": " + plat::FileErrorText(err);
        return false;
    }
    return true;
}

bool ParseInt(const char* text, int& value) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || errno || v < -1000000 || v > 1000000)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool LoadImage(GImage& image, const std::string& path, int& format, std::string& why) {
    std::vector<BYTE> bytes;
    if (!ReadFile(path, bytes, why))
        return false;
    if (bytes.empty()) {
        why = path + " is empty";
        return false;
    }
    format = InputFormat(path, bytes);
    if (format == eImageNone) {
        why = path + ": not a BMP, GIF or JPEG file";
        return false;
    }
    GMemFile file(bytes.data(), static_cast<DWORD>(bytes.size()));
    if (!image.Load(&file, format)) {
        why = path + ": cannot decode as " + FormatName(format);
        if (format == eImageBMP) {
            // The reader keeps no trace once the image is emptied: ask a reader of our own.
            GMemFile again(bytes.data(), static_cast<DWORD>(bytes.size()));
            PictaBMP probe;
            if (!probe.Load(&again, nullptr, nullptr) && probe.GetRefusal())
                why += std::string(": ") + probe.GetRefusal();
        }
        return false;
    }
    // A damaged JPEG still gives a picture, filled up where the data ran out: say so.
    if (format == eImageJPEG && static_cast<PictaJPG*>(image.GetPicta())->IsDamaged())
        std::fprintf(stderr,
                     "pictool: warning: %s is damaged or cut short; the picture is "
                     "incomplete\n",
                     path.c_str());
    return true;
}

int Info(const std::string& path) {
    GImage image;
    int format = eImageNone;
    std::string why;
    if (!LoadImage(image, path, format, why))
        return Fail(why);
    Picta* picta = image.GetPicta();
    const _PICTAINFO& info = picta->Info();
    int frames = format == eImageGIF ? static_cast<PictaGIF*>(picta)->GetTotalFrame() : 1;
    std::printf("format: %s\n", FormatName(format));
    std::printf("size: %d x %d\n", image.Width(), image.Height());
    std::printf("bits: %d\n", picta->GetFileBitCount());
    std::printf("frames: %d\n", frames);
    if (format == eImageGIF && info.transIndex >= 0)
        std::printf("transparent: index %d, colour #%02X%02X%02X\n", info.transIndex,
                    info.transColor.rgbRed, info.transColor.rgbGreen, info.transColor.rgbBlue);
    else
        std::printf("transparent: none\n");
    // A JPEG may store only the shape of its pixels, which is no resolution.
    const PictaJPG* jpeg = format == eImageJPEG ? static_cast<PictaJPG*>(picta) : nullptr;
    if (jpeg && jpeg->GetDensityUnit() == 0)
        std::printf("pixel aspect: %d:%d\n", jpeg->GetXDensity(), jpeg->GetYDensity());
    else if (picta->GetXDPI() > 0 || picta->GetYDPI() > 0)
        std::printf("dpi: %d x %d\n", picta->GetXDPI(), picta->GetYDPI());
    return 0;
}

// An animation shows its first frame. (A mosaic of tiles, as deep pictures are written,
// reads as one picture already.)
void ShowFirstFrame(PictaGIF& gif) {
    if (gif.GetTotalFrame() < 2)
        return;
    gif.SetLoops(0);
    gif.NextFrame();
}

void Rotate(GImage& image, int code) {
    switch (code) {
        case eTransformMirror:
            image.Mirror();
            break;
        case eTransformFlip:
            image.Flip();
            break;
        case eTransformTranspose:
            image.RotateRight();
            image.Mirror();
            break;
        case eTransformTransverse:
            image.RotateRight();
            image.Flip();
            break;
        case eTransformRotate90:
            image.RotateRight();
            break;
        case eTransformRotate180:
            image.Rotate180();
            break;
        case eTransformRotate270:
            image.RotateLeft();
            break;
        default:
            break;
    }
}

int Convert(int argc, char** argv) {
    if (argc < 4) {
        Usage(stderr);
        return 2;
    }
    std::string in = argv[2];
    std::string out = argv[3];
    int width = -1, height = -1, percent = -1, rotate = 0;
    for (int i = 4; i < argc; ++i) {
        std::string option = argv[i];
        int* target = option == "--width"     ? &width
                      : option == "--height"  ? &height
                      : option == "--percent" ? &percent
                      : option == "--rotate"  ? &rotate
                                              : nullptr;
        if (!target)
            return Fail("unknown option " + option);
        if (i + 1 >= argc || !ParseInt(argv[i + 1], *target))
            return Fail(option + " needs a whole number");
        ++i;
    }
    if (rotate < 0 || rotate > 7)
        return Fail("--rotate takes a code from 0 to 7");
    if (width == 0 || height == 0 || percent == 0 || width < -1 || height < -1 || percent < -1)
        return Fail("sizes must be positive");
    std::string ext = Extension(out);
    int outFormat = ext == "bmp"                    ? eImageBMP
                    : ext == "gif"                  ? eImageGIF
                    : ext == "jpg" || ext == "jpeg" ? eImageJPEG
                    : ext == "png"                  ? 4
                                                    : eImageNone;
    if (outFormat == eImageNone)
        return Fail("cannot tell the output format from " + out +
                    " (use .bmp, .gif, .jpg or .png)");

    GImage image;
    image.SetOutputWidth(width);
    image.SetOutputHeight(height);
    image.SetOutputPercent(percent);
    int format = eImageNone;
    std::string why;
    if (!LoadImage(image, in, format, why))
        return Fail(why);
    if (format == eImageGIF)
        ShowFirstFrame(*static_cast<PictaGIF*>(image.GetPicta()));
    Rotate(image, rotate);

    if (outFormat == 4) {
        // A picture with a transparent colour keeps its transparency as alpha.
        const _PICTAINFO& info = image.GetPicta()->Info();
        bool keyed = format == eImageGIF && info.transIndex >= 0;
        bool saved =
            keyed ? plat::SaveSurfacePng(image.GetSafeHandle(), out, QuadToColor(info.transColor))
                  : plat::SaveSurfacePng(image.GetSafeHandle(), out);
        if (!saved)
            return Fail("cannot write " + out);
        return 0;
    }
    GMemFile file;
    if (!image.Save(&file, outFormat))
        return Fail(std::string("cannot encode as ") + FormatName(outFormat));
    if (!WriteFile(out, file.GetBuffer(), static_cast<size_t>(file.Size()), why))
        return Fail(why);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage(stderr);
        return 2;
    }
    std::string command = argv[1];
    if (command == "info") {
        if (argc != 3) {
            Usage(stderr);
            return 2;
        }
        return Info(argv[2]);
    }
    if (command == "convert")
        return Convert(argc, argv);
    if (command == "--help" || command == "-h" || command == "help") {
        Usage(stdout);
        return 0;
    }
    Usage(stderr);
    return 2;
}
