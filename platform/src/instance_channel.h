// The files of the single-instance channel: a Unix socket that the running program listens on
// and a lock file beside it that makes "is someone there, else it is me" one atomic step. Both
// live in $XDG_RUNTIME_DIR (or, without a usable one, in the device root) under a name made
// from the device root's real path, so each device root has its own.
#pragma once

#include <string>
#include <sys/types.h>

namespace plat {

// A file descriptor closed when it goes out of scope.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release();
    void Reset(int fd = -1);

private:
    int m_fd = -1;
};

// Which file a name pointed to when we made it, so that we only ever remove our own.
struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
};

class InstanceChannel {
public:
    // Opens the folder and names the files; false with a reason when there is no usable place.
    bool Open(const std::string& deviceRoot, std::string* error);
    bool IsOpen() const { return m_dir.Valid(); }
    const std::string& SocketAddress() const { return m_address; }

    // Held while deciding who owns the channel (flock on the lock file).
    class Lock {
    public:
        bool Take(const InstanceChannel& channel, std::string* error);
        // The owner leaving removes the lock file while it still holds it; whoever waited on
        // the removed file notices and opens the new one.
        void RemoveFile(const InstanceChannel& channel);

    private:
        UniqueFd m_fd;
    };

    enum class Probe { Connected, Free, Error };
    // Under the lock: a connection to the running owner, or Free once no socket is left (a
    // stale one from a program that died is removed).
    Probe ProbeOwner(UniqueFd* connection, std::string* error) const;
    // Under the lock, after Free: binds and listens; *id names the socket file made.
    bool Listen(UniqueFd* listener, FileId* id, std::string* error) const;
    // Removes the socket file if it is still the one that id names.
    void RemoveSocket(const FileId& id) const;

private:
    UniqueFd m_dir;
    std::string m_socketName;
    std::string m_lockName;
    std::string m_address; // what goes into sun_path
};

// True when the other end of a connected Unix socket runs as our user.
bool PeerIsSameUser(int fd);

} // namespace plat
