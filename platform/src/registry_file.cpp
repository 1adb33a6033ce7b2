// The registry file on the host: read whole, replaced atomically, and set aside (never
// overwritten) when it cannot be understood.
#include "registry_store.h"

#include <platform/safefile.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat::reg {
namespace {

constexpr off_t kMaxFileSize = 16 << 20;

// Closes a descriptor on every way out.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

enum class ReadResult { kRead, kMissing, kUnreadable };

ReadResult ReadWhole(const std::string& path, std::string* out, std::string* why) {
    // Not blocking: a FIFO in its place is refused below instead of waited on.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT)
            return ReadResult::kMissing;
        *why = std::strerror(errno);
        return ReadResult::kUnreadable;
    }
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        *why = "not a regular file";
        return ReadResult::kUnreadable;
    }
    if (st.st_size > kMaxFileSize) {
        *why = "too large";
        return ReadResult::kUnreadable;
    }
    out->clear();
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd.Get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *why = std::strerror(errno);
            return ReadResult::kUnreadable;
        }
        if (n == 0)
            return ReadResult::kRead;
        out->append(buf, static_cast<size_t>(n));
        if (out->size() > static_cast<size_t>(kMaxFileSize)) {
            *why = "too large";
            return ReadResult::kUnreadable;
        }
    }
}

// Renames without replacing anything already there.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the flag: a hard link fails on an existing name too.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

// Moves the file to "<path>.damaged-YYYYMMDD-HHMMSS", with "-2", "-3", ... when that name is
// taken, so an earlier copy is never replaced. Returns the new name, or "" on failure.
std::string SetAside(const std::string& path) {
    char stamp[32] = "unknown-time";
    std::time_t now = std::time(nullptr);
    struct tm local;
    if (localtime_r(&now, &local))
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string base = path + ".damaged-" + stamp;
    for (int n = 1; n < 1000; ++n) {
        std::string aside = n == 1 ? base : base + "-" + std::to_string(n);
        if (RenameNoReplace(path, aside))
            return aside;
        if (errno != EEXIST)
            return "";
    }
    return "";
}

} // namespace

void LoadFile(const std::string& path, Tree* tree, bool* canWrite) {
    *tree = Tree();
    *canWrite = true;
    std::string text, why;
    ReadResult r = ReadWhole(path, &text, &why);
    if (r == ReadResult::kMissing)
        return;
    if (r == ReadResult::kRead) {
        ParseFailure failure;
        if (ParseText(text, tree, &failure))
            return;
        *tree = Tree();
        why = "line " + std::to_string(failure.line) + ": " + failure.reason;
    }
    std::string aside = SetAside(path);
    if (aside.empty()) {
        *canWrite = false;
        std::fprintf(stderr,
                     "registry: %s is damaged (%s) and could not be moved aside (%s); "
                     "starting with an empty registry that will not be saved\n",
                     path.c_str(), why.c_str(), std::strerror(errno));
    } else {
        std::fprintf(stderr,
                     "registry: %s is damaged (%s); kept as %s, starting with an empty "
                     "registry\n",
                     path.c_str(), why.c_str(), aside.c_str());
    }
}

bool SaveFile(const std::string& path, const std::string& text) {
    return ReplaceHostFile(path, text.data(), text.size()) == 0;
}

} // namespace plat::reg
