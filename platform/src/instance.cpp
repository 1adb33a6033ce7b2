// One program per device root. The first start listens on the channel's socket; a later start
// connects, sends its request as a frame and waits for two replies: a receipt once the frame
// was read, then the window procedure's result. A listener thread sleeps in poll until a
// connection or the wake pipe, and hands each request to the window's thread with a
// cross-thread SendMessageW, which that thread takes inside any message loop, modal ones too.
#include <platform/device.h>
#include <platform/instance.h>
#include <platform/utf.h>
#include <platform/winbase.h>

#include "backend.h"
#include "instance_channel.h"
#include "instance_frame.h"
#include "user_internal.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace plat {
namespace {

using Clock = std::chrono::steady_clock;

// A running program's listener answers at once; its window may be busy far longer (a dialog
// of its own), and then the request counts as taken without a result.
constexpr int kReceiptTimeoutMs = 10000;
constexpr int kResultTimeoutMs = 60000;
// A client that sends part of a frame and stalls does not hold up the next one for longer.
constexpr int kFrameTimeoutMs = 2000;
// Claims after the owner closed on us before answering (it was ending).
constexpr int kClaimTries = 5;

// A request on its way to the window, handed over by pointer in kWmInstanceRequest.
struct Delivery {
    InstanceRequest request;
    bool handled = false; // set on the window's thread when the window was still there
};

struct InstanceState {
    std::mutex mutex;
    bool owner = false;
    InstanceChannel channel;
    UniqueFd listener;
    FileId socketId;
    UniqueFd wakeRead, wakeWrite;
    std::thread thread;
    HWND target = nullptr; // guarded by mutex
    DWORD targetThread = 0;
    std::atomic<bool> stopping{false};
    std::atomic<bool> finished{false};
};

InstanceState& State() {
    static InstanceState* s = new InstanceState;
    return *s;
}

enum class Wait { Ready, Closed, TimedOut, Woken };

int MsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// Reads exactly size bytes by the deadline; wakeFd (when not -1) ends the wait early.
Wait ReadExactly(int fd, std::uint8_t* data, size_t size, int wakeFd, Clock::time_point deadline) {
    while (size > 0) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        int n = poll(fds, wakeFd >= 0 ? 2 : 1, MsLeft(deadline));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Wait::Closed;
        if (n == 0)
            return Wait::TimedOut;
        if (wakeFd >= 0 && fds[1].revents)
            return Wait::Woken;
        ssize_t got = recv(fd, data, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return Wait::Closed;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return Wait::Ready;
}

bool WriteAll(int fd, const std::uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t put = send(fd, data, size, MSG_NOSIGNAL);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

bool WriteReply(int fd, std::uint32_t magic, std::int64_t value) {
    auto reply = EncodeReply(magic, value);
    return WriteAll(fd, reply.data(), reply.size());
}

// One connection: a frame in, a receipt out, the request to the window, the result out. A
// frame that is not exactly right, or a window that is gone, closes the connection unanswered.
void ServeConnection(InstanceState& s, int fd) {
    std::uint8_t header[kRequestHeaderSize];
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kFrameTimeoutMs);
    std::uint32_t size = 0;
    if (ReadExactly(fd, header, sizeof header, s.wakeRead.Get(), deadline) != Wait::Ready ||
        !DecodeRequestHeader(header, &size))
        return;
    std::vector<std::uint8_t> body(size);
    Delivery delivery;
    if (ReadExactly(fd, body.data(), size, s.wakeRead.Get(), deadline) != Wait::Ready ||
        !DecodeRequestBody(body.data(), size, &delivery.request) ||
        !WriteReply(fd, kReceiptMagic, 0))
        return;
    HWND target;
    {
        std::lock_guard lock(s.mutex);
        target = s.target;
    }
    // Ending: the sender hears nothing more and claims again.
    if (s.stopping)
        return;
    LRESULT result =
        SendMessageW(target, kWmInstanceRequest, 0, reinterpret_cast<LPARAM>(&delivery));
    if (delivery.handled)
        WriteReply(fd, kResultMagic, result);
}

void ListenerMain(InstanceState* s) {
    for (;;) {
        pollfd fds[2] = {{s->listener.Get(), POLLIN, 0}, {s->wakeRead.Get(), POLLIN, 0}};
        int n = poll(fds, 2, -1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || fds[1].revents || (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)))
            break;
        UniqueFd connection(accept4(s->listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection.Valid()) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EAGAIN)
                continue;
            // Out of descriptors or memory: stop rather than spin on a listener that stays
            // readable; later starts then time out and run on their own.
            std::fprintf(stderr, "single instance: %s\n", std::strerror(errno));
            break;
        }
        if (PeerIsSameUser(connection.Get()))
            ServeConnection(*s, connection.Get());
        if (s->stopping)
            break;
    }
    s->finished = true;
    // EndInstance may be waiting on the window's thread for this.
    if (std::shared_ptr<ThreadQueue> q = QueueOfThread(s->targetThread))
        NotifyQueue(*q);
}

enum class Sent { Done, OwnerGone, Failed };

Sent Forward(int fd, const std::vector<std::uint8_t>& frame, LRESULT* result, std::string* error) {
    if (!WriteAll(fd, frame.data(), frame.size()))
        return Sent::OwnerGone;
    std::uint8_t reply[kReplySize];
    std::uint32_t magic = 0;
    std::int64_t value = 0;
    auto in = [](int ms) { return Clock::now() + std::chrono::milliseconds(ms); };
    switch (ReadExactly(fd, reply, sizeof reply, -1, in(kReceiptTimeoutMs))) {
        case Wait::Ready:
            break;
        case Wait::TimedOut:
            *error = "the running program does not answer";
            return Sent::Failed;
        default:
            return Sent::OwnerGone;
    }
    if (!DecodeReply(reply, &magic, &value) || magic != kReceiptMagic) {
        *error = "the running program answered with something unknown";
        return Sent::Failed;
    }
    switch (ReadExactly(fd, reply, sizeof reply, -1, in(kResultTimeoutMs))) {
        case Wait::Ready:
            break;
        case Wait::TimedOut:
            *result = 0;
            return Sent::Done;
        default:
            return Sent::OwnerGone;
    }
    if (!DecodeReply(reply, &magic, &value) || magic != kResultMagic) {
        *error = "the running program answered with something unknown";
        return Sent::Failed;
    }
    *result = static_cast<LRESULT>(value);
    return Sent::Done;
}

WPARAM ParamValue(const InstanceParam& p) {
    return p.isText ? reinterpret_cast<WPARAM>(p.text.c_str()) : static_cast<WPARAM>(p.number);
}

// A device path this process reaches only through a mapped host file goes out as the host path.
void SendHostPath(InstanceParam* p) {
    std::string host;
    if (p->isText && MappedHostFile(p->text.c_str(), &host)) {
        p->text = FromUtf8(host);
        p->isHostFile = true;
    }
}

// A host path that came in is mapped here, and the window gets this process's device path;
// false when the file can no longer be reached.
bool TakeHostPath(InstanceParam* p) {
    if (!p->isHostFile)
        return true;
    std::u16string devicePath;
    if (!MapHostFile(ToUtf8(p->text), &devicePath))
        return false;
    p->text = devicePath;
    p->isHostFile = false;
    return true;
}

} // namespace

LRESULT DeliverInstanceRequest(HWND hwnd, LPARAM lParam) {
    auto* delivery = reinterpret_cast<Delivery*>(lParam);
    // A program on its way out leaves the request unanswered; the sender then takes over.
    if (!delivery || !IsWindow(hwnd) || State().stopping)
        return 0;
    delivery->handled = true;
    SetForegroundWindow(hwnd);
    RaiseDisplay();
    InstanceRequest& r = delivery->request;
    // A file that went away meanwhile is not asked for; the window still came to the front.
    if (r.message == 0 || !IsWindow(hwnd) || !TakeHostPath(&r.wParam) || !TakeHostPath(&r.lParam))
        return 0;
    return SendMessageW(hwnd, r.message, ParamValue(r.wParam),
                        static_cast<LPARAM>(ParamValue(r.lParam)));
}

InstanceClaim ClaimInstance(const InstanceRequest& request, std::string* error, LRESULT* result) {
    std::string ignored;
    std::string& why = error ? *error : ignored;
    why.clear();
    LRESULT answer = 0;
    if (result)
        *result = 0;
    InstanceState& s = State();
    {
        std::lock_guard lock(s.mutex);
        if (s.owner)
            return InstanceClaim::First;
    }
    InstanceRequest sent = request;
    SendHostPath(&sent.wParam);
    SendHostPath(&sent.lParam);
    std::vector<std::uint8_t> frame;
    if (!EncodeRequest(sent, &frame)) {
        why = "a text of the request is too long";
        return InstanceClaim::Failed;
    }
    InstanceChannel channel;
    if (!channel.Open(DeviceRoot(), &why))
        return InstanceClaim::Failed;
    for (int attempt = 0; attempt < kClaimTries; ++attempt) {
        // An owner that closed on us was ending; give it a moment to leave.
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50 * attempt));
        UniqueFd connection;
        {
            InstanceChannel::Lock lock;
            if (!lock.Take(channel, &why))
                return InstanceClaim::Failed;
            InstanceChannel::Probe probe = channel.ProbeOwner(&connection, &why);
            if (probe == InstanceChannel::Probe::Error)
                return InstanceClaim::Failed;
            if (probe == InstanceChannel::Probe::Free) {
                UniqueFd listener;
                FileId id;
                int wake[2];
                if (!channel.Listen(&listener, &id, &why))
                    return InstanceClaim::Failed;
                if (pipe2(wake, O_CLOEXEC) != 0) {
                    why = std::string("cannot make a pipe: ") + std::strerror(errno);
                    channel.RemoveSocket(id);
                    return InstanceClaim::Failed;
                }
                std::lock_guard stateLock(s.mutex);
                s.owner = true;
                s.channel = std::move(channel);
                s.listener = std::move(listener);
                s.socketId = id;
                s.wakeRead.Reset(wake[0]);
                s.wakeWrite.Reset(wake[1]);
                s.stopping = false;
                s.finished = false;
                return InstanceClaim::First;
            }
        }
        switch (Forward(connection.Get(), frame, &answer, &why)) {
            case Sent::Done:
                if (result)
                    *result = answer;
                return InstanceClaim::Forwarded;
            case Sent::Failed:
                return InstanceClaim::Failed;
            case Sent::OwnerGone:
                break;
        }
    }
    why = "the running program kept closing the channel";
    return InstanceClaim::Failed;
}

void ServeInstanceRequests(HWND target) {
    InstanceState& s = State();
    std::lock_guard lock(s.mutex);
    if (!s.owner || !IsWindow(target) || s.stopping)
        return;
    s.target = target;
    if (!s.thread.joinable()) {
        s.targetThread = GetWindowThreadProcessId(target, nullptr);
        s.thread = std::thread(ListenerMain, &s);
    }
}

void EndInstance() {
    InstanceState& s = State();
    std::thread thread;
    DWORD targetThread = 0;
    {
        std::lock_guard lock(s.mutex);
        if (!s.owner)
            return;
        s.stopping = true;
        thread = std::move(s.thread);
        targetThread = s.targetThread;
    }
    char byte = 1;
    while (write(s.wakeWrite.Get(), &byte, 1) < 0 && errno == EINTR) {
    }
    if (thread.joinable()) {
        // The listener may be waiting for this thread to take a request: keep taking sent
        // messages until it has ended.
        if (targetThread == GetCurrentThreadId()) {
            MSG msg;
            while (!s.finished) {
                PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
                if (s.finished)
                    break;
                WaitMessage();
            }
        }
        thread.join();
    }
    std::lock_guard stateLock(s.mutex);
    {
        InstanceChannel::Lock lock;
        std::string ignored;
        bool locked = lock.Take(s.channel, &ignored);
        s.channel.RemoveSocket(s.socketId);
        // Connections still waiting in the backlog are refused now and claim again.
        s.listener.Reset();
        if (locked)
            lock.RemoveFile(s.channel);
    }
    s.channel = InstanceChannel();
    s.wakeRead.Reset();
    s.wakeWrite.Reset();
    s.owner = false;
    s.target = nullptr;
    s.targetThread = 0;
    s.finished = false;
}

} // namespace plat
