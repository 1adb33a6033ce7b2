// The single-instance channel and closing on signals, with the helper program started as
// separate processes on a device root and a runtime folder of each test's own.
#include "../src/instance_frame.h"
#include "TestDevice.h"

#include <platform/winuser.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Generous, for sanitizer builds on a busy machine; a passing test never waits this long.
constexpr int kTimeoutMs = 20000;

// One run of the helper program, its output read line by line.
class Helper {
public:
    Helper(const std::string& root, const std::string& runtime,
           const std::vector<std::string>& words, int gate = -1) {
        std::vector<std::string> args = {PLATFORM_TEST_HELPER, "--device", root, "--headless",
                                         "--"};
        args.insert(args.end(), words.begin(), words.end());
        // An empty runtime keeps ours, for a test that claims in its own process.
        std::vector<std::string> env;
        if (!runtime.empty())
            env.push_back("XDG_RUNTIME_DIR=" + runtime);
        for (char** e = environ; *e; ++e)
            if (runtime.empty() || std::strncmp(*e, "XDG_RUNTIME_DIR=", 16) != 0)
                env.push_back(*e);
        std::vector<char*> argv, envp;
        for (std::string& a : args)
            argv.push_back(a.data());
        for (std::string& e : env)
            envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);

        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        if (gate >= 0)
            posix_spawn_file_actions_adddup2(&actions, gate, 3);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t none, closing;
        sigemptyset(&none);
        sigemptyset(&closing);
        sigaddset(&closing, SIGTERM);
        sigaddset(&closing, SIGINT);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setsigdefault(&attr, &closing);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        if (posix_spawn(&m_pid, argv[0], &actions, &attr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawnattr_destroy(&attr);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        m_out = out[0];
    }

    ~Helper() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            close(m_out);
    }

    pid_t Pid() const { return m_pid; }

    // The next line of output; "" when the program ended or said nothing in time.
    std::string Line() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
        for (;;) {
            size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                std::string line = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return line;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{m_out, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return "";
            char buf[512];
            ssize_t got = read(m_out, buf, sizeof buf);
            if (got <= 0)
                return "";
            m_buffer.append(buf, static_cast<size_t>(got));
        }
    }

    // Skips lines up to the first that starts with prefix; "" when none came.
    std::string Expect(const std::string& prefix) {
        for (std::string line = Line(); !line.empty(); line = Line())
            if (line.rfind(prefix, 0) == 0)
                return line;
        return "";
    }

    // The exit code once the program ended; -1 when a signal ended it or it did not end.
    int Wait() {
        while (!Line().empty()) {
        }
        int status = 0;
        pid_t pid = m_pid;
        m_pid = -1;
        if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
            return -1;
        return WEXITSTATUS(status);
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
};

class InstanceTest : public ::testing::Test {
protected:
    InstanceTest() {
        std::string pattern = (fs::temp_directory_path() / "scribbo-run-XXXXXX").string();
        if (char* made = mkdtemp(pattern.data()))
            runtime = made;
    }
    ~InstanceTest() override {
        std::error_code ec;
        fs::remove_all(runtime, ec);
    }

    std::unique_ptr<Helper> Start(const std::vector<std::string>& words, int gate = -1) {
        return std::make_unique<Helper>(device.Root(), runtime, words, gate);
    }

    // A running first start, ready for requests.
    std::unique_ptr<Helper> StartOwner() {
        auto owner = Start({"0", "n:0", "n:0"});
        EXPECT_EQ(owner->Line(), "first");
        EXPECT_EQ(owner->Expect("serving"), "serving");
        return owner;
    }

    std::string SocketPath() const {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(runtime, ec))
            if (e.path().extension() == ".sock")
                return e.path().string();
        return "";
    }

    TestDevice device;
    std::string runtime;
};

TEST_F(InstanceTest, RequestOfASecondStartArrivesIntactAndItsResultComesBack) {
    auto owner = StartOwner();
    struct Case {
        std::vector<std::string> words;
        std::string got;       // what the running window saw ("active": raised only)
        std::string forwarded; // what the second start was told
    } cases[] = {
        // The other window is in front at first: a request without a message only raises.
        {{"0", "n:0", "n:0"}, "active", "forwarded 0"},
        {{"32769", "t:My Documents/한글 메모 1.pad", "n:-7"},
         "got text+number t:My Documents/한글 메모 1.pad n:-7 front=1",
         "forwarded 24"},
        {{"32770", "n:-4000000000000", "n:1"},
         "got numbers n:-4000000000000 n:1 front=1",
         "forwarded -3999999999999"},
        {{"32771", "t: 앞뒤 공백 ", "t:"}, "got texts t: 앞뒤 공백  t: front=1", "forwarded 7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words[0] + " " + c.words[1]);
        auto second = Start(c.words);
        EXPECT_EQ(second->Line(), c.forwarded);
        EXPECT_EQ(second->Wait(), 0);
        EXPECT_EQ(owner->Line(), c.got);
    }
}

// A memo outside the device root, opened from the desktop while the program runs: the second
// start's own card means nothing to the running program, which maps the file itself. Another
// file of the same name gets a card of its own; the first file keeps its card.
TEST_F(InstanceTest, AFileOutsideTheRootReachesTheRunningProgram) {
    auto owner = StartOwner();
    const fs::path outside = fs::path(runtime) / "outside";
    fs::create_directories(outside / "a");
    fs::create_directories(outside / "b");
    std::ofstream(outside / "a" / "note.pad") << "first";
    std::ofstream(outside / "b" / "note.pad") << "second";
    struct Case {
        std::string file;
        std::string got;       // the device path and content the running program read
        std::string forwarded; // the size it read
    } cases[] = {
        {"a/note.pad", "got file t:\\Storage Card\\note.pad first", "forwarded 5"},
        {"b/note.pad", "got file t:\\Storage Card2\\note.pad second", "forwarded 6"},
        {"a/note.pad", "got file t:\\Storage Card\\note.pad first", "forwarded 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto second = Start({"32772", "h:" + (outside / c.file).string(), "n:0"});
        EXPECT_EQ(second->Line(), c.forwarded);
        EXPECT_EQ(second->Wait(), 0);
        EXPECT_EQ(owner->Expect("got"), c.got);
    }
}

TEST_F(InstanceTest, SocketOfAKilledOwnerIsReplaced) {
    auto killed = StartOwner();
    std::string socket = SocketPath();
    ASSERT_FALSE(socket.empty());
    kill(killed->Pid(), SIGKILL);
    EXPECT_EQ(killed->Wait(), -1);
    ASSERT_TRUE(fs::exists(fs::symlink_status(socket)));

    auto next = Start({"32770", "n:2", "n:3"});
    EXPECT_EQ(next->Line(), "first");
    EXPECT_EQ(next->Expect("got"), "got numbers n:2 n:3 front=1");
    auto third = Start({"32770", "n:4", "n:5"});
    EXPECT_EQ(third->Line(), "forwarded 9");
    EXPECT_EQ(next->Line(), "got numbers n:4 n:5 front=1");
}

TEST_F(InstanceTest, DeepDeviceFolderWithoutARuntimeFolderStillGetsAChannel) {
    // A runtime folder open to others is not used; the channel then lives in the device root,
    // whose path here is too long for a socket address.
    fs::permissions(runtime, fs::perms::group_read | fs::perms::group_exec, fs::perm_options::add);
    std::string deep = device.Root() + "/" + std::string(60, 'd') + "/" + std::string(60, 'e');
    Helper owner(deep, runtime, {"0", "n:0", "n:0"});
    EXPECT_EQ(owner.Line(), "first");
    EXPECT_EQ(owner.Expect("serving"), "serving");
    Helper second(deep, runtime, {"32770", "n:5", "n:6"});
    EXPECT_EQ(second.Line(), "forwarded 11");
    EXPECT_EQ(owner.Expect("got"), "got numbers n:5 n:6 front=1");
    EXPECT_TRUE(fs::is_empty(runtime));
    bool hidden = false;
    for (const auto& e : fs::directory_iterator(deep))
        hidden |= e.path().filename().string().rfind(".scribbo-", 0) == 0 && e.is_socket();
    EXPECT_TRUE(hidden);
}

TEST_F(InstanceTest, OwnerDyingBeforeItAnswersLeavesTheRequestToTheSender) {
    auto owner = StartOwner();
    // The running window ends its process on this message without answering.
    auto second = Start({"32777", "n:0", "n:0"});
    EXPECT_EQ(owner->Wait(), 3);
    EXPECT_EQ(second->Line(), "first");
    EXPECT_EQ(second->Expect("got"), "got die");
}

TEST_F(InstanceTest, TwoStartsAtOnceMakeOneOwnerThatServesBoth) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        int gate[2];
        ASSERT_EQ(pipe2(gate, O_CLOEXEC), 0);
        auto a = Start({"32770", "n:1", "n:2", "gate"}, gate[0]);
        auto b = Start({"32770", "n:10", "n:20", "gate"}, gate[0]);
        close(gate[0]);
        close(gate[1]); // both go now
        std::string la = a->Line(), lb = b->Line();
        ASSERT_TRUE((la == "first" && lb == "forwarded 30") ||
                    (lb == "first" && la == "forwarded 3"))
            << la << " / " << lb;
        Helper& owner = la == "first" ? *a : *b;
        Helper& other = la == "first" ? *b : *a;
        EXPECT_EQ(other.Wait(), 0);
        std::set<std::string> got = {owner.Expect("got"), owner.Expect("got")};
        EXPECT_EQ(got, (std::set<std::string>{"got numbers n:1 n:2 front=1",
                                              "got numbers n:10 n:20 front=1"}));
        kill(owner.Pid(), SIGTERM);
        EXPECT_EQ(owner.Wait(), 0);
    }
}

// Connects to the running program, sends bytes and says whether it closed the connection
// without a reply.
bool DroppedUnanswered(const std::string& socketPath, const std::vector<std::uint8_t>& bytes,
                       bool endSending) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
    bool dropped = false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size())) {
        if (endSending)
            shutdown(fd, SHUT_WR);
        pollfd p{fd, POLLIN, 0};
        char c;
        dropped = poll(&p, 1, kTimeoutMs) == 1 && recv(fd, &c, 1, 0) <= 0;
    }
    close(fd);
    return dropped;
}

TEST_F(InstanceTest, BadFramesAreDroppedAndTheNextGoodOneIsServed) {
    auto owner = StartOwner();
    std::string socket = SocketPath();
    plat::InstanceRequest request;
    request.message = 32770;
    request.wParam.number = 1;
    request.lParam.number = 2;
    std::vector<std::uint8_t> good;
    ASSERT_TRUE(plat::EncodeRequest(request, &good));
    auto withSize = [](std::vector<std::uint8_t> f, std::uint32_t size) {
        for (int i = 0; i < 4; ++i)
            f[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
        return f;
    };
    auto garbage = good;
    garbage[0] ^= 0xFF;
    auto badKind = good;
    badKind[8 + 4] = 7; // the wParam's kind byte
    auto longText = good;
    longText[8 + 4] = 1; // a text whose count (the number's low bytes) runs past the body
    longText[8 + 5] = 200;
    auto extra = withSize(good, static_cast<std::uint32_t>(good.size() - 8 + 1));
    extra.push_back(0);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"wrong magic", garbage},
        {"size past the limit", withSize(good, plat::kMaxRequestBody + 1)},
        {"unknown parameter kind", badKind},
        {"text longer than the body", longText},
        {"bytes after the request", extra},
        {"cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + 10)},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(DroppedUnanswered(socket, c.bytes, true)) << c.name;
    // One that stalls halfway is dropped in time and does not hold up the next start.
    EXPECT_TRUE(DroppedUnanswered(socket, std::vector<std::uint8_t>(good.begin(), good.begin() + 3),
                                  false));
    auto second = Start({"32770", "n:1", "n:2"});
    EXPECT_EQ(second->Line(), "forwarded 3");
    EXPECT_EQ(owner->Expect("got"), "got numbers n:1 n:2 front=1");
}

std::vector<UINT> g_seen;

LRESULT CALLBACK RecordProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(msg);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(InstanceTest, EndingWhileARequestWaitsForTheWindowLeavesItToTheSender) {
    std::string error;
    ASSERT_EQ(plat::ClaimInstance(plat::InstanceRequest{}, &error), plat::InstanceClaim::First)
        << error;
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordProc;
    wc.lpszClassName = u"InstanceRecord";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, u"InstanceRecord", u"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                nullptr, nullptr, nullptr, nullptr);
    plat::ServeInstanceRequests(hwnd);
    g_seen.clear();
    Helper sender(device.Root(), "", {"32770", "n:1", "n:2"});
    // Until the listener is stuck in SendMessageW, waiting for this thread.
    for (int i = 0; i < kTimeoutMs / 10 && !GetQueueStatus(QS_SENDMESSAGE); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(GetQueueStatus(QS_SENDMESSAGE));
    plat::EndInstance();
    EXPECT_EQ(std::count(g_seen.begin(), g_seen.end(), 32770u), 0);
    EXPECT_EQ(sender.Line(), "first");
    EXPECT_EQ(sender.Expect("got"), "got numbers n:1 n:2 front=1");
    DestroyWindow(hwnd);
    UnregisterClassW(u"InstanceRecord", nullptr);
}

// Processor time of a process so far, in clock ticks.
long CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t paren = text.rfind(')');
    if (paren == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(paren + 2));
    std::string skip;
    for (int i = 3; i < 14; ++i) // state .. cmajflt
        fields >> skip;
    long user = 0, system = 0;
    fields >> user >> system;
    return user + system;
}

TEST_F(InstanceTest, WaitingOwnerUsesNoProcessorTime) {
    auto owner = StartOwner();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    long before = CpuTicks(owner->Pid());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    long after = CpuTicks(owner->Pid());
    ASSERT_GE(before, 0);
    // A thread spinning on the socket or the queue would take about 100 ticks here.
    EXPECT_LE(after - before, 3);
}

TEST_F(InstanceTest, CloseSignalsEndTheProgramThroughWmCloseAndRemoveTheChannel) {
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        auto owner = StartOwner();
        kill(owner->Pid(), sig);
        EXPECT_EQ(owner->Expect("close"), "close");
        EXPECT_EQ(owner->Expect("end"), "end");
        EXPECT_EQ(owner->Wait(), 0);
        EXPECT_TRUE(fs::is_empty(runtime)) << "socket or lock file left";
    }
}

} // namespace
