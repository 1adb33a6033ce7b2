#include "instance_channel.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace plat {
namespace {

// A connect to a program that is alive but stopped gives up after this.
constexpr int kConnectTimeoutSeconds = 5;
constexpr int kListenBacklog = 16;

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// FNV-1a: the name only has to tell device roots apart, and stays short for sun_path.
std::string NameHash(const std::string& text) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

// $XDG_RUNTIME_DIR when it is what the desktop promises: ours and closed to others.
std::string RuntimeDir() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    struct stat st;
    if (!dir || dir[0] != '/' || stat(dir, &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != getuid() || (st.st_mode & 077) != 0)
        return "";
    return dir;
}

bool SameId(const struct stat& st, const FileId& id) {
    return st.st_dev == id.dev && st.st_ino == id.ino;
}

bool FillAddress(const std::string& path, sockaddr_un* addr) {
    *addr = sockaddr_un{};
    addr->sun_family = AF_UNIX;
    if (path.size() + 1 > sizeof addr->sun_path)
        return false;
    std::memcpy(addr->sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other)
        Reset(other.Release());
    return *this;
}

int UniqueFd::Release() {
    int fd = m_fd;
    m_fd = -1;
    return fd;
}

void UniqueFd::Reset(int fd) {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = fd;
}

bool InstanceChannel::Open(const std::string& deviceRoot, std::string* error) {
    char real[PATH_MAX];
    if (!realpath(deviceRoot.c_str(), real)) {
        *error = Reason(("cannot resolve the device folder " + deviceRoot).c_str());
        return false;
    }
    std::string dir = RuntimeDir();
    // Files in the device root are hidden there, as dot names are on the device.
    std::string prefix = dir.empty() ? ".scribbo-" : "scribbo-";
    if (dir.empty())
        dir = real;
    m_dir.Reset(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_dir.Valid()) {
        *error = Reason(("cannot open " + dir).c_str());
        return false;
    }
    std::string hash = NameHash(real);
    m_socketName = prefix + hash + ".sock";
    m_lockName = prefix + hash + ".lock";
    m_address = dir + "/" + m_socketName;
    // A deep folder does not fit sun_path; the open folder's /proc name always does.
    if (m_address.size() + 1 > sizeof(sockaddr_un::sun_path))
        m_address = "/proc/self/fd/" + std::to_string(m_dir.Get()) + "/" + m_socketName;
    return true;
}

bool InstanceChannel::Lock::Take(const InstanceChannel& channel, std::string* error) {
    // The file may be removed by an owner leaving between our open and our lock; then the
    // lock is on a file nobody else will see, so open the name again.
    for (int tries = 0; tries < 100; ++tries) {
        UniqueFd fd(openat(channel.m_dir.Get(), channel.m_lockName.c_str(),
                           O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.Valid()) {
            *error = Reason("cannot open the instance lock");
            return false;
        }
        struct stat held;
        if (fstat(fd.Get(), &held) != 0 || !S_ISREG(held.st_mode) || held.st_uid != getuid()) {
            *error = "the instance lock file is not ours";
            return false;
        }
        int rc;
        while ((rc = flock(fd.Get(), LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (rc != 0) {
            *error = Reason("cannot lock the instance lock");
            return false;
        }
        struct stat named;
        if (fstatat(channel.m_dir.Get(), channel.m_lockName.c_str(), &named, AT_SYMLINK_NOFOLLOW) ==
                0 &&
            SameId(named, FileId{held.st_dev, held.st_ino})) {
            m_fd = std::move(fd);
            return true;
        }
    }
    *error = "the instance lock keeps changing";
    return false;
}

void InstanceChannel::Lock::RemoveFile(const InstanceChannel& channel) {
    if (m_fd.Valid())
        unlinkat(channel.m_dir.Get(), channel.m_lockName.c_str(), 0);
}

InstanceChannel::Probe InstanceChannel::ProbeOwner(UniqueFd* connection, std::string* error) const {
    struct stat st;
    if (fstatat(m_dir.Get(), m_socketName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return Probe::Free;
        *error = Reason("cannot look at the instance socket");
        return Probe::Error;
    }
    sockaddr_un addr;
    if (S_ISSOCK(st.st_mode) && st.st_uid == getuid() && FillAddress(m_address, &addr)) {
        UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (!fd.Valid()) {
            *error = Reason("cannot make a socket");
            return Probe::Error;
        }
        timeval timeout{kConnectTimeoutSeconds, 0};
        setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        int rc;
        while ((rc = connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr)) != 0 &&
               errno == EINTR) {
        }
        if (rc == 0) {
            if (!PeerIsSameUser(fd.Get())) {
                *error = "the instance socket is served by another user";
                return Probe::Error;
            }
            *connection = std::move(fd);
            return Probe::Connected;
        }
        if (errno == ENOENT)
            return Probe::Free;
        if (errno != ECONNREFUSED) {
            *error = Reason("cannot reach the running program");
            return Probe::Error;
        }
    }
    // Nobody listens (the program died), or something else took our name in our folder.
    if (unlinkat(m_dir.Get(), m_socketName.c_str(), 0) != 0 && errno != ENOENT) {
        *error = Reason("cannot remove a stale instance socket");
        return Probe::Error;
    }
    return Probe::Free;
}

bool InstanceChannel::Listen(UniqueFd* listener, FileId* id, std::string* error) const {
    sockaddr_un addr;
    if (!FillAddress(m_address, &addr)) {
        *error = "the instance socket's name is too long";
        return false;
    }
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) {
        *error = Reason("cannot make a socket");
        return false;
    }
    // bind never replaces an existing name, so nothing placed there is followed or reused.
    if (bind(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        *error = Reason("cannot bind the instance socket");
        return false;
    }
    struct stat st;
    if (fchmodat(m_dir.Get(), m_socketName.c_str(), 0600, 0) != 0 ||
        fstatat(m_dir.Get(), m_socketName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        listen(fd.Get(), kListenBacklog) != 0) {
        *error = Reason("cannot listen on the instance socket");
        unlinkat(m_dir.Get(), m_socketName.c_str(), 0);
        return false;
    }
    *id = FileId{st.st_dev, st.st_ino};
    *listener = std::move(fd);
    return true;
}

void InstanceChannel::RemoveSocket(const FileId& id) const {
    struct stat st;
    if (fstatat(m_dir.Get(), m_socketName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && SameId(st, id))
        unlinkat(m_dir.Get(), m_socketName.c_str(), 0);
}

bool PeerIsSameUser(int fd) {
    ucred cred{};
    socklen_t size = sizeof cred;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 && cred.uid == getuid();
}

} // namespace plat
