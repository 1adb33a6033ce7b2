#include "PadCommands.h"

#include "Json.h"
#include "MemoJson.h"

#include "fundo/GMemFile.h"
#include "inkra/InkraMan.h"
#include "inkra/InkraPage.h"
#include "scribbo/GPadDrawMan.h"

#include <platform/device.h>
#include <platform/safefile.h>
#include <platform/utf.h>
#include <platform/wingdi.h>

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace padtool {
namespace {

// The largest picture a render makes, per side and in all.
constexpr int kMaxRenderSide = 16384;
constexpr long long kMaxRenderPixels = 16ll << 20;

bool IsDevicePath(const std::string& path) {
    return !path.empty() && path[0] == '\\';
}

bool HostPath(const std::string& path, std::string& host, std::string& why) {
    if (!IsDevicePath(path)) {
        host = path;
        return true;
    }
    const std::u16string device = plat::FromUtf8(path);
    if (!plat::DeviceToHostPath(device.c_str(), &host)) {
        why = path + ": not a path on the device";
        return false;
    }
    return true;
}

// Only a regular file is read: a FIFO or device is refused at once, never waited on.
bool ReadHostFile(const std::string& path, long long limit, std::vector<BYTE>& out,
                  std::string& why) {
    const int err = plat::ReadHostFile(path, std::uint64_t(limit), &out);
    if (err == EFBIG)
        why = path + " is larger than " + std::to_string(limit) + " bytes";
    else if (err == EISDIR || err == plat::kNotRegularFile)
        why = path + " is not a regular file";
    else if (err)
        why = "cannot read " + path + ": " + plat::FileErrorText(err);
    return err == 0;
}

// The memo with a draw buffer, as the pad view holds it.
class LoadedMemo {
public:
    LoadedMemo() : m_dc(CreateCompatibleDC(nullptr)) {}
    ~LoadedMemo() {
        if (m_dc)
            DeleteDC(m_dc);
    }
    LoadedMemo(const LoadedMemo&) = delete;
    LoadedMemo& operator=(const LoadedMemo&) = delete;

    bool Load(const std::string& path, std::string& why) {
        std::string host;
        std::vector<BYTE> bytes;
        if (!HostPath(path, host, why) || !ReadHostFile(host, kMaxMemoBytes, bytes, why))
            return false;
        return LoadBytes(std::move(bytes), path, why);
    }
    bool LoadBytes(std::vector<BYTE> bytes, const std::string& path, std::string& why) {
        if (!m_dc || !memo.InitBuffer(m_dc, 1, 1)) {
            why = "cannot make a drawing buffer";
            return false;
        }
        if (bytes.empty()) {
            why = path + " is empty";
            return false;
        }
        GMemFile file(bytes.data(), DWORD(bytes.size()));
        if (!memo.Load(&file)) {
            why = path + ": not a memo file, or a damaged one";
            return false;
        }
        m_bytes.swap(bytes);
        return true;
    }
    // The pages as the file holds them, read again without drawing.
    bool LoadBody(InkraMan& body, std::string& why) {
        GMemFile file(m_bytes.data(), DWORD(m_bytes.size()));
        _FILE_VERSION version{memo.GetFileMajor(), memo.GetFileMinor()};
        tagPOINT extent{0, 0};
        if (!file.Seek(memo.GetBodyOffset(), 0) || !body.Load(&file, version, extent) ||
            body.GetPageNum() != memo.GetPageNum()) {
            why = "the pages cannot be read again";
            return false;
        }
        return true;
    }
    HDC Dc() const { return m_dc; }

    GPadDrawMan memo;

private:
    HDC m_dc;
    std::vector<BYTE> m_bytes;
};

std::string PaperSummary(GPadDrawMan& memo) {
    const TemplateHeader& t = *memo.GetTemplate();
    char buf[256];
    std::snprintf(buf, sizeof buf, "paper: %u x %u, colour 0x%08X\n", unsigned(t.PageWidth),
                  unsigned(t.PageHeight), unsigned(t.BackColor));
    std::string s = buf;
    std::string lines;
    auto add = [&lines](const std::string& what) { lines += lines.empty() ? what : ", " + what; };
    if (t.Flags & eTFTitleLine)
        add("title line at " + std::to_string(t.TitleBandHeight));
    if (t.Flags & eTFTitleColumn)
        add("title column at " + std::to_string(t.TitleColumnWidth));
    if (t.Flags & eTFLines)
        add("writing lines every " + std::to_string(t.LineSpace));
    if (t.Flags & eTFColumns)
        add("column lines every " + std::to_string(t.ColumnSpace));
    s += "lines: " + (lines.empty() ? std::string("none") : lines) + "\n";
    if ((t.Flags & eTFPicture) && t.HasBackImage) {
        const size_t embedded = memo.GetEmbeddedPicture().size();
        s += "picture: " + plat::ToUtf8(memo.GetBackImagePath()) +
             (embedded ? " (embedded, " + std::to_string(embedded) + " bytes)"
                       : std::string(" (not embedded)")) +
             ", opacity " + std::to_string(t.BackImageAlpha) + "\n";
    } else {
        s += "picture: none\n";
    }
    return s;
}

bool WriteStdout(const std::string& text, std::string& why) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        why = "cannot write to standard output";
        return false;
    }
    return true;
}

int WriteMemo(GPadDrawMan& memo, const std::string& out, _FILE_VERSION version, std::string& why) {
    std::u16string device;
    bool onDevice = false;
    if (IsDevicePath(out)) {
        device = plat::FromUtf8(out);
        onDevice = true;
    } else {
        onDevice = plat::HostToDevicePath(out, &device);
    }
    if (onDevice) {
        if (device.size() >= kMemoPathChars) {
            why = out + ": the device path is longer than 259 characters";
            return kExitFile;
        }
        const int result = SaveMemoFile(memo, device.c_str(), version);
        if (result == eMSSaved)
            return kExitOk;
        why = result == eMSEmpty ? "the memo is empty; no file is written for it"
                                 : "cannot write " + out;
        return kExitFile;
    }
    GMemFile content;
    if (!memo.Save(&content, version)) {
        why = "cannot make the memo file";
        return kExitFile;
    }
    // The same safe replace as on the device, for a host file outside it.
    if (const int err = plat::ReplaceHostFile(out, content.GetBuffer(), size_t(content.Size()))) {
        why = "cannot write " + out + ": " + plat::FileErrorText(err);
        return kExitFile;
    }
    return kExitOk;
}

} // namespace

std::string PageFileName(const std::string& out, int page) {
    const std::string n = "-" + std::to_string(page);
    const size_t slash = out.find_last_of("/\\");
    const size_t dot = out.find_last_of('.');
    const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    // A name that is only ".png" has no stem to number.
    if (dot != std::string::npos && dot > nameAt && out.size() - dot == 4) {
        std::string ext = out.substr(dot);
        for (char& c : ext)
            c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (ext == ".png")
            return out.substr(0, dot) + n + out.substr(dot);
    }
    return out + n + ".png";
}

namespace {

// The dump of a memo file, handed to sink in pieces; false with a reason.
bool DumpMemoTo(const std::vector<unsigned char>& file, const JsonSink& sink, std::string& why) {
    LoadedMemo m;
    InkraMan body;
    if (!m.LoadBytes(file, "the memo", why) || !m.LoadBody(body, why))
        return false;
    JsonWriter out(&sink);
    if (!WriteMemoJson(MemoHeadToJson(m.memo), m.memo, body, out)) {
        why = "the dump was stopped";
        return false;
    }
    return true;
}

// Text kept in the pieces it was written in: a large text is never copied whole.
class PieceText {
public:
    bool Add(std::string_view piece) {
        m_starts.push_back(m_size);
        m_pieces.emplace_back(piece);
        m_size += piece.size();
        return true;
    }
    size_t Size() const { return m_size; }
    char At(size_t at) const {
        const size_t i = Index(at);
        return m_pieces[i][at - m_starts[i]];
    }
    // Where piece, written at offset at, first differs from this text; npos when it does not.
    size_t Mismatch(size_t at, std::string_view piece) const {
        size_t i = at < m_size ? Index(at) : m_pieces.size();
        size_t done = 0;
        while (done < piece.size()) {
            if (i >= m_pieces.size())
                return at + done;
            const std::string_view mine =
                std::string_view(m_pieces[i]).substr(at + done - m_starts[i]);
            const size_t n = std::min(mine.size(), piece.size() - done);
            for (size_t k = 0; k < n; ++k)
                if (mine[k] != piece[done + k])
                    return at + done + k;
            done += n;
            ++i;
        }
        return std::string_view::npos;
    }
    // The line holding offset at, from its start up to `to` at most.
    std::string LineAt(size_t at, size_t to = std::string_view::npos) const {
        size_t first = std::min(at, m_size);
        while (first > 0 && At(first - 1) != '\n')
            --first;
        std::string line;
        for (size_t k = first; k < m_size && k < to && At(k) != '\n'; ++k)
            line += At(k);
        return line;
    }

private:
    // The piece holding offset at (below Size()).
    size_t Index(size_t at) const {
        return size_t(std::upper_bound(m_starts.begin(), m_starts.end(), at) - m_starts.begin()) -
               1;
    }

    std::vector<std::string> m_pieces;
    std::vector<size_t> m_starts;
    size_t m_size = 0;
};

std::string Trimmed(const std::string& line) {
    const size_t first = line.find_first_not_of(' ');
    return first == std::string::npos ? "(nothing)" : line.substr(first);
}

// The memo from JSON text, checked against what a memo file can hold. Page objects stay packed
// until each is read, so memory stays a few times the size of the JSON.
bool ReadJsonMemo(std::string_view text, GPadDrawMan& memo, _FILE_VERSION& version,
                  std::string& why) {
    JsonLimits limits;
    limits.packDepth = kMemoObjectDepth;
    Json value;
    if (!JsonParse(text, value, why, limits))
        return false;
    version = kMemoFileVersion;
    if (!MemoFromJson(value, memo, version, why))
        return false;
    if (memo.IsEmptyMemo()) {
        why = "the memo is empty (one page without objects); no file is written for it";
        return false;
    }
    return true;
}

// The file bytes of the memo, read back before anything is written: what the chosen form
// cannot hold would come back changed, and is refused. The read-back dump is compared as it
// is written, so the two dumps are never held whole side by side.
bool MakeFile(GPadDrawMan& memo, _FILE_VERSION version, std::vector<unsigned char>& file,
              std::string& why, bool* lost) {
    PieceText expected;
    {
        Json head = MemoHeadToJson(memo);
        head["version"] = Json::array({version.major, version.minor});
        const JsonSink sink = [&](std::string_view piece) { return expected.Add(piece); };
        JsonWriter out(&sink);
        WriteMemoJson(head, memo, memo, out);
    }
    {
        GMemFile content;
        if (!memo.Save(&content, version)) {
            why = "cannot make the memo file";
            return false;
        }
        file.assign(content.GetBuffer(), content.GetBuffer() + content.Size());
    }
    constexpr size_t kNone = std::string_view::npos;
    size_t at = 0, differs = kNone;
    std::string tail; // the dump from where it differs to the end of that line
    const bool whole = DumpMemoTo(
        file,
        [&](std::string_view piece) {
            if (differs == kNone) {
                differs = expected.Mismatch(at, piece);
                if (differs == kNone) {
                    at += piece.size();
                    return true;
                }
                piece.remove_prefix(differs - at);
            }
            const size_t end = piece.find('\n');
            tail.append(piece.substr(0, end));
            return end == kNone;
        },
        why);
    if (!whole && differs == kNone)
        return false;
    if (differs == kNone && at < expected.Size())
        differs = at; // the dump ended early
    if (differs == kNone)
        return true;
    if (lost)
        *lost = true;
    why = (version.major == 1 ? std::string("version 1 cannot hold this memo as given: ")
                              : std::string("the memo does not read back as given: ")) +
          Trimmed(expected.LineAt(differs)) + " comes back as " +
          Trimmed(expected.LineAt(differs, differs) + tail);
    return false;
}

} // namespace

bool DumpMemo(const std::vector<unsigned char>& file, std::string& json, std::string& why) {
    json.clear();
    return DumpMemoTo(
        file,
        [&json](std::string_view piece) {
            json.append(piece);
            return true;
        },
        why);
}

bool BuildMemo(std::string_view json, std::vector<unsigned char>& file, std::string& why,
               bool* lost) {
    GPadDrawMan memo;
    _FILE_VERSION version;
    if (lost)
        *lost = false;
    return ReadJsonMemo(json, memo, version, why) && MakeFile(memo, version, file, why, lost);
}

int RunInfo(const std::string& path, std::string& why) {
    LoadedMemo m;
    if (!m.Load(path, why))
        return kExitFile;
    GPadDrawMan& memo = m.memo;
    std::string s = "version: " + std::to_string(memo.GetFileMajor()) + "." +
                    std::to_string(memo.GetFileMinor()) + "\n";
    s += "pages: " + std::to_string(memo.GetPageNum()) + "\n";
    for (int i = 0; i < memo.GetPageNum(); ++i) {
        InkraPage* page = memo.GetPage(i);
        s += "page " + std::to_string(i + 1) + ": " + std::to_string(page->GetTotalGDObjectNum()) +
             " objects, " + std::to_string(page->GetBackTextObjectNum()) + " background objects\n";
    }
    WCHAR title[kMemoTitleChars];
    s += memo.GetTitle(title) ? "title: " + plat::ToUtf8(title) + "\n" : "title: none\n";
    s += PaperSummary(memo);
    return WriteStdout(s, why) ? kExitOk : kExitFile;
}

int RunDump(const std::string& path, std::string& why) {
    LoadedMemo m;
    if (!m.Load(path, why))
        return kExitFile;
    InkraMan body;
    if (!m.LoadBody(body, why))
        return kExitFile;
    const JsonSink sink = [](std::string_view piece) {
        return std::fwrite(piece.data(), 1, piece.size(), stdout) == piece.size();
    };
    JsonWriter out(&sink);
    const bool written =
        WriteMemoJson(MemoHeadToJson(m.memo), m.memo, body, out) && std::fflush(stdout) == 0;
    if (!written)
        why = "cannot write to standard output";
    return written ? kExitOk : kExitFile;
}

int RunCreate(const std::string& out, const std::string& jsonPath, std::string& why) {
    const JsonLimits limits;
    std::string host;
    std::vector<BYTE> bytes;
    if (!HostPath(jsonPath, host, why) ||
        !ReadHostFile(host, static_cast<long long>(limits.maxBytes), bytes, why))
        return kExitFile;
    GPadDrawMan memo;
    std::vector<unsigned char> file;
    _FILE_VERSION version;
    std::string error;
    const bool read =
        ReadJsonMemo(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                     memo, version, error);
    // The text is not needed past here.
    std::vector<BYTE>().swap(bytes);
    if (!read || !MakeFile(memo, version, file, error, nullptr)) {
        why = jsonPath + ": " + error;
        return kExitFile;
    }
    return WriteMemo(memo, out, version, why);
}

int RunRender(const RenderRequest& r, std::string& why) {
    LoadedMemo m;
    if (!m.Load(r.memo, why))
        return kExitFile;
    GPadDrawMan& memo = m.memo;
    if (r.page < 1 || r.page > memo.GetPageNum()) {
        why = r.memo + " has " + std::to_string(memo.GetPageNum()) + " pages, no page " +
              std::to_string(r.page);
        return kExitFile;
    }
    memo.ZoomTo(r.zoom, 0);
    memo.ScrollTo(0, 0, 0);
    const tagRECT view = memo.GetViewRect();
    const long long width = (static_cast<long long>(view.right) - view.left + 0xFFFF) >> 16;
    const long long height = (static_cast<long long>(view.bottom) - view.top + 0xFFFF) >> 16;
    if (width < 1 || height < 1) {
        why = r.memo + ": the paper has no size";
        return kExitFile;
    }
    if (width > kMaxRenderSide || height > kMaxRenderSide || width * height > kMaxRenderPixels) {
        why = "the page would be " + std::to_string(width) + " x " + std::to_string(height) +
              " pixels at " + std::to_string(r.zoom) + " %, more than a picture may have";
        return kExitFile;
    }
    const int first = r.all ? 1 : r.page;
    const int last = r.all ? memo.GetPageNum() : r.page;
    // The first page is current before the buffers are made, so the paper they are filled
    // with is its paper and only its ink remains to be drawn: each buffer is filled once.
    memo.SetCurPage(first - 1, 0);
    memo.ScrollTo(0, 0, 0);
    if (!memo.InitBuffer(m.Dc(), int(width), int(height))) {
        why = "cannot make a drawing buffer of " + std::to_string(width) + " x " +
              std::to_string(height);
        return kExitFile;
    }
    for (int page = first; page <= last; ++page) {
        if (page == first) {
            tagRECT all{0, 0, int(width), int(height)};
            memo.DrawPageInk(all);
        } else {
            memo.SetCurPage(page - 1, 0);
            memo.ScrollTo(0, 0, 0);
            memo.Render();
        }
        const std::string name = r.all ? PageFileName(r.out, page) : r.out;
        std::string host;
        if (!HostPath(name, host, why))
            return kExitFile;
        if (!plat::SaveSurfacePng(memo.GetBufferBlock()->GetSafeHandle(), host)) {
            why = "cannot write " + name;
            return kExitFile;
        }
    }
    return kExitOk;
}

} // namespace padtool
