// The message queue of each thread: posting, sending, retrieving and waiting. Retrieval
// order follows Win32: sent messages are handled first, then posted ones, WM_QUIT, input,
// WM_PAINT and last WM_TIMER.
#include "user_internal.h"

#include <platform/winbase.h>

#include <atomic>
#include <map>

namespace plat {
namespace {

struct QueueRegistry {
    std::mutex mutex;
    std::map<DWORD, std::weak_ptr<ThreadQueue>> queues;
    std::function<bool()> idleHook;
};

QueueRegistry& Registry() {
    static QueueRegistry* r = new QueueRegistry;
    return *r;
}

thread_local std::shared_ptr<ThreadQueue> t_queue;
std::atomic<bool> g_desktopTypes{false};

bool InRange(UINT msg, UINT first, UINT last) {
    if (first == 0 && last == 0)
        return true;
    return msg >= first && msg <= last;
}

// hwnd filter: the window and its descendants; (HWND)-1: thread messages only.
bool MatchWindow(HWND msgHwnd, HWND filter) {
    if (!filter)
        return true;
    if (filter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)))
        return msgHwnd == nullptr;
    if (msgHwnd == filter)
        return true;
    Window* f = GetWindowObj(filter);
    Window* m = GetWindowObj(msgHwnd);
    return f && m && IsDescendant(f, m);
}

void ProcessSent(ThreadQueue& q) {
    for (;;) {
        std::shared_ptr<SentMsg> s;
        {
            std::lock_guard lock(q.mutex);
            if (q.sent.empty())
                return;
            s = q.sent.front();
            q.sent.pop_front();
        }
        LRESULT r =
            s->msg.message == kWmInstanceRequest
                ? DeliverInstanceRequest(s->msg.hwnd, s->msg.lParam)
                : CallProc(GetWindowObj(s->msg.hwnd), s->msg.message, s->msg.wParam, s->msg.lParam);
        {
            std::lock_guard lock(q.mutex);
            s->result = r;
            s->done = true;
        }
        q.sentDone.notify_all();
    }
}

void Stamp(ThreadQueue& q, MSG* msg, bool setPos) {
    msg->time = GetTickCount();
    if (setPos)
        GetCursorPos(&msg->pt);
    q.lastTime = msg->time;
    q.lastPos = msg->pt;
}

bool PeekCore(ThreadQueue& q, MSG* out, HWND hwnd, UINT first, UINT last, UINT remove) {
    ProcessSent(q);
    {
        std::lock_guard lock(q.mutex);
        q.seen = q.changes;
    }
    q.lastLook = ClockNowMs();
    bool take = (remove & PM_REMOVE) != 0;
    {
        std::unique_lock lock(q.mutex);
        for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
            if (!InRange(it->msg.message, first, last) || !MatchWindow(it->msg.hwnd, hwnd))
                continue;
            *out = it->msg;
            if (take)
                q.posted.erase(it);
            lock.unlock();
            Stamp(q, out, true);
            return true;
        }
        if (q.quit && InRange(WM_QUIT, first, last)) {
            *out = MSG{};
            out->message = WM_QUIT;
            out->wParam = static_cast<WPARAM>(q.quitCode);
            if (take)
                q.quit = false;
            lock.unlock();
            Stamp(q, out, true);
            return true;
        }
    }
    for (;;) {
        for (auto it = q.input.begin(); it != q.input.end(); ++it) {
            if (!InRange(it->msg.message, first, last) || !MatchWindow(it->msg.hwnd, hwnd))
                continue;
            *out = it->msg;
            if (take) {
                if (it->msg.message == WM_MOUSEMOVE)
                    q.lastMovePoints = std::move(it->movePoints);
                q.input.erase(it);
            }
            q.lastTime = out->time;
            q.lastPos = out->pt;
            return true;
        }
        // One raw event at a time, so handlers see capture and focus as the earlier ones
        // left them.
        if (!q.input.empty() || !ConvertRawInput(q))
            break;
    }
    Window* filterWnd = hwnd && hwnd != reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))
                            ? GetWindowObj(hwnd)
                            : nullptr;
    if (hwnd && !filterWnd)
        return false;
    if (InRange(WM_PAINT, first, last)) {
        if (Window* w = FindPaintWindow(q.threadId, filterWnd)) {
            *out = MSG{};
            out->hwnd = w->handle;
            out->message = WM_PAINT;
            Stamp(q, out, true);
            return true;
        }
    }
    if (InRange(WM_TIMER, first, last)) {
        if (Timer* t = NextTimer(q, filterWnd, true)) {
            *out = MSG{};
            out->hwnd = t->hwnd;
            out->message = WM_TIMER;
            out->wParam = t->id;
            out->lParam = reinterpret_cast<LPARAM>(t->proc);
            if (take)
                t->due = ClockNowMs() + t->elapse;
            Stamp(q, out, true);
            return true;
        }
    }
    return false;
}

void WaitCore(ThreadQueue& q) {
    for (;;) {
        ProcessSent(q);
        {
            std::lock_guard lock(q.mutex);
            if (q.changes != q.seen)
                return;
        }
        ULONGLONG now = ClockNowMs();
        ULONGLONG deadline = kNoDeadline;
        for (const Timer& t : q.timers) {
            // A timer already due when the queue was last looked at does not end the wait.
            if (t.due > q.lastLook && t.due <= now)
                return;
            if (t.due > now && t.due < deadline)
                deadline = t.due;
        }
        std::function<bool()> hook;
        {
            QueueRegistry& r = Registry();
            std::lock_guard lock(r.mutex);
            hook = r.idleHook;
        }
        if (hook && hook())
            continue;
        q.sleeper.SleepUntil(deadline);
    }
}

} // namespace

ThreadQueue& CurrentQueue() {
    return *CurrentQueueRef();
}

std::shared_ptr<ThreadQueue> CurrentQueueRef() {
    if (!t_queue) {
        t_queue = std::make_shared<ThreadQueue>();
        t_queue->threadId = GetCurrentThreadId();
        QueueRegistry& r = Registry();
        std::lock_guard lock(r.mutex);
        r.queues[t_queue->threadId] = t_queue;
    }
    return t_queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) {
    QueueRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    auto it = r.queues.find(threadId);
    return it == r.queues.end() ? nullptr : it->second.lock();
}

void NotifyQueue(ThreadQueue& q) {
    {
        std::lock_guard lock(q.mutex);
        ++q.changes;
    }
    q.sleeper.Wake();
}

void WakeGuiThreads() {
    std::vector<std::shared_ptr<ThreadQueue>> all;
    {
        QueueRegistry& r = Registry();
        std::lock_guard lock(r.mutex);
        for (auto it = r.queues.begin(); it != r.queues.end();) {
            if (auto q = it->second.lock()) {
                all.push_back(q);
                ++it;
            } else {
                it = r.queues.erase(it);
            }
        }
    }
    for (auto& q : all)
        NotifyQueue(*q);
}

void SetIdleHook(std::function<bool()> hook) {
    QueueRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    r.idleHook = std::move(hook);
}

void SetDesktopTypesText(bool on) {
    g_desktopTypes = on;
}

void RemoveMessagesOf(HWND hwnd) {
    ThreadQueue& q = CurrentQueue();
    std::erase_if(q.input, [hwnd](const QueuedMsg& m) { return m.msg.hwnd == hwnd; });
    {
        std::lock_guard lock(q.mutex);
        std::erase_if(q.posted, [hwnd](const QueuedMsg& m) { return m.msg.hwnd == hwnd; });
        for (auto& s : q.sent)
            if (s->msg.hwnd == hwnd)
                s->done = true;
        std::erase_if(q.sent, [hwnd](const auto& s) { return s->msg.hwnd == hwnd; });
    }
    q.sentDone.notify_all();
}

} // namespace plat

using namespace plat;

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Another thread may look only at the handle table, so the window's thread is found
    // through it before the window itself is touched.
    std::shared_ptr<ThreadQueue> q = QueueOfWindow(hwnd);
    if (q && q->threadId == GetCurrentThreadId())
        return CallProc(GetWindowObj(hwnd), msg, wParam, lParam);
    if (!q) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    auto s = std::make_shared<SentMsg>();
    s->msg = MSG{hwnd, msg, wParam, lParam, GetTickCount(), {0, 0}};
    std::unique_lock lock(q->mutex);
    q->sent.push_back(s);
    ++q->changes;
    lock.unlock();
    q->sleeper.Wake();
    lock.lock();
    q->sentDone.wait(lock, [&] { return s->done; });
    return s->result;
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> q = hwnd ? QueueOfWindow(hwnd) : CurrentQueueRef();
    if (!q) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    QueuedMsg m;
    m.msg = MSG{hwnd, msg, wParam, lParam, 0, {0, 0}};
    {
        std::lock_guard lock(q->mutex);
        q->posted.push_back(std::move(m));
    }
    NotifyQueue(*q);
    return TRUE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The calling thread always has a queue: make it on first use.
    if (threadId == GetCurrentThreadId())
        CurrentQueue();
    std::shared_ptr<ThreadQueue> q = QueueOfThread(threadId);
    if (!q) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    QueuedMsg m;
    m.msg = MSG{nullptr, msg, wParam, lParam, 0, {0, 0}};
    {
        std::lock_guard lock(q->mutex);
        q->posted.push_back(std::move(m));
    }
    NotifyQueue(*q);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    ThreadQueue& q = CurrentQueue();
    {
        std::lock_guard lock(q.mutex);
        q.quit = true;
        q.quitCode = exitCode;
    }
    NotifyQueue(q);
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove) {
    MSG dummy;
    return PeekCore(CurrentQueue(), msg ? msg : &dummy, hwnd, first, last, remove) ? TRUE : FALSE;
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last) {
    ThreadQueue& q = CurrentQueue();
    MSG dummy;
    MSG* out = msg ? msg : &dummy;
    for (;;) {
        if (PeekCore(q, out, hwnd, first, last, PM_REMOVE))
            return out->message == WM_QUIT ? FALSE : TRUE;
        WaitCore(q);
    }
}

BOOL WaitMessage() {
    WaitCore(CurrentQueue());
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    Window* w = GetWindowObj(msg->hwnd);
    if (!w || w->threadId != GetCurrentThreadId())
        return 0;
    return CallProc(w, msg->message, msg->wParam, msg->lParam);
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    int vk = static_cast<int>(msg->wParam);
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    WCHAR ch = 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl)
            ch = static_cast<WCHAR>(vk - 'A' + 1);
        else
            ch = static_cast<WCHAR>((shift != caps) ? vk : vk - 'A' + 'a');
    } else if (vk >= '0' && vk <= '9') {
        static const char shifted[] = ")!@#$%^&*(";
        ch = static_cast<WCHAR>(shift ? shifted[vk - '0'] : vk);
    } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        ch = static_cast<WCHAR>('0' + vk - VK_NUMPAD0);
    } else {
        struct Pair {
            int vk;
            char plain;
            char shifted;
        };
        static const Pair table[] = {
            {VK_SPACE, ' ', ' '},      {VK_RETURN, '\r', '\r'},  {VK_BACK, '\b', '\b'},
            {VK_TAB, '\t', '\t'},      {VK_ESCAPE, 27, 27},      {VK_OEM_1, ';', ':'},
            {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
            {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},     {VK_OEM_3, '`', '~'},
            {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},    {VK_OEM_6, ']', '}'},
            {VK_OEM_7, '\'', '"'},     {VK_MULTIPLY, '*', '*'},  {VK_ADD, '+', '+'},
            {VK_SUBTRACT, '-', '-'},   {VK_DECIMAL, '.', '.'},   {VK_DIVIDE, '/', '/'},
        };
        for (const Pair& p : table)
            if (p.vk == vk)
                ch = static_cast<WCHAR>(shift ? p.shifted : p.plain);
    }
    if (!ch || (ch >= 0x20 && g_desktopTypes.load()))
        return FALSE;
    PostMessageW(msg->hwnd, msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, ch, msg->lParam);
    return TRUE;
}

DWORD GetMessagePos() {
    ThreadQueue& q = CurrentQueue();
    return static_cast<DWORD>(
        MAKELONG(static_cast<WORD>(q.lastPos.x), static_cast<WORD>(q.lastPos.y)));
}

LONG GetMessageTime() {
    return static_cast<LONG>(CurrentQueue().lastTime);
}

DWORD GetQueueStatus(UINT flags) {
    ThreadQueue& q = CurrentQueue();
    DWORD status = 0;
    {
        std::lock_guard lock(q.mutex);
        if (!q.posted.empty() || q.quit)
            status |= QS_POSTMESSAGE;
        if (!q.sent.empty())
            status |= QS_SENDMESSAGE;
    }
    if (!q.input.empty() || HasRawInput())
        status |= QS_INPUT;
    if (FindPaintWindow(q.threadId, nullptr))
        status |= QS_PAINT;
    if (NextTimer(q, nullptr, true))
        status |= QS_TIMER;
    return status & flags;
}

UINT RegisterWindowMessageW(LPCWSTR name) {
    static std::mutex mutex;
    static std::map<std::u16string, UINT>* names = new std::map<std::u16string, UINT>;
    if (!name || !*name)
        return 0;
    std::u16string key;
    for (const WCHAR* p = name; *p; ++p)
        key.push_back(*p >= 'a' && *p <= 'z' ? static_cast<WCHAR>(*p - 32) : *p);
    std::lock_guard lock(mutex);
    auto it = names->find(key);
    if (it != names->end())
        return it->second;
    UINT id = 0xC000 + static_cast<UINT>(names->size());
    if (id > 0xFFFF)
        return 0;
    (*names)[key] = id;
    return id;
}
