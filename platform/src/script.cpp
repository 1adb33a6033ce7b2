// Scripted runs: a plain-text list of stylus, key, wait and screenshot steps replayed against
// the headless backend on virtual time. Each step runs when the program's thread has nothing
// left to do, so the program reacts to one step before the next comes.
#include "backend.h"
#include "user_internal.h"

#include <platform/gdiguard.h>
#include <platform/utf.h>
#include <platform/winbase.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace plat {
namespace {

enum class Op { Down, Move, Up, Key, Type, Wait, Shot, Stay, Quit };

struct Step {
    Op op;
    int x = 0, y = 0;
    int steps = 1; // Move
    int value = 0; // Wait: ms; Key: code
    std::string text;
    int line = 0;
};

struct Script {
    std::mutex mutex;
    bool loaded = false;
    DWORD threadId = 0;
    std::vector<Step> steps;
    size_t next = 0;
    int moveDone = 0; // Move: sub-steps taken
    ULONGLONG waitEnd = 0;
    bool waiting = false;
    POINT pos{0, 0};
    bool closed = false;
    std::string error;
};

Script& S() {
    static Script* s = new Script;
    return *s;
}

bool ParseInt(const std::string& word, int lo, int hi, int* out) {
    if (word.empty() || word.size() > 9)
        return false;
    int v = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

int KeyCode(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name.size() == 1 && (std::isalnum(static_cast<unsigned char>(name[0]))))
        return name[0];
    struct Named {
        const char* name;
        int vk;
    };
    static const Named table[] = {
        {"RETURN", VK_RETURN},   {"ENTER", VK_RETURN},  {"ESCAPE", VK_ESCAPE},
        {"ESC", VK_ESCAPE},      {"BACK", VK_BACK},     {"BACKSPACE", VK_BACK},
        {"TAB", VK_TAB},         {"SPACE", VK_SPACE},   {"LEFT", VK_LEFT},
        {"RIGHT", VK_RIGHT},     {"UP", VK_UP},         {"DOWN", VK_DOWN},
        {"HOME", VK_HOME},       {"END", VK_END},       {"PRIOR", VK_PRIOR},
        {"PAGEUP", VK_PRIOR},    {"NEXT", VK_NEXT},     {"PAGEDOWN", VK_NEXT},
        {"DELETE", VK_DELETE},   {"INSERT", VK_INSERT}, {"SHIFT", VK_SHIFT},
        {"CONTROL", VK_CONTROL}, {"CTRL", VK_CONTROL},  {"F1", VK_F1},
        {"F2", VK_F2},           {"F3", VK_F3},         {"F4", VK_F4},
        {"F5", VK_F5},           {"F6", VK_F6},         {"F7", VK_F7},
        {"F8", VK_F8},           {"F9", VK_F9},         {"F10", VK_F10},
        {"F11", VK_F11},         {"F12", VK_F12},
    };
    for (const Named& n : table)
        if (name == n.name)
            return n.vk;
    return 0;
}

bool ParseLine(const std::string& raw, int lineNo, std::vector<Step>* out, std::string* why) {
    std::string line = raw;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#')
        return true;
    std::istringstream in(line.substr(start));
    std::string cmd;
    in >> cmd;
    std::vector<std::string> args;
    if (cmd != "type") {
        std::string a;
        while (in >> a) {
            if (a[0] == '#')
                break;
            args.push_back(a);
        }
    }
    auto coords = [&](size_t want, size_t maxArgs, Step* s) {
        if (args.size() < want || args.size() > maxArgs) {
            *why = "'" + cmd + "' takes " + std::to_string(want) + " numbers";
            if (maxArgs > want)
                *why += " (or " + std::to_string(maxArgs) + ")";
            return false;
        }
        if (!ParseInt(args[0], 0, 32767, &s->x) || !ParseInt(args[1], 0, 32767, &s->y)) {
            *why = "bad position '" + args[0] + " " + args[1] + "'";
            return false;
        }
        return true;
    };
    Step s;
    s.line = lineNo;
    if (cmd == "down" || cmd == "up" || cmd == "tap") {
        if (!coords(2, 2, &s))
            return false;
        s.op = cmd == "up" ? Op::Up : Op::Down;
        out->push_back(s);
        if (cmd == "tap") {
            s.op = Op::Up;
            out->push_back(s);
        }
        return true;
    }
    if (cmd == "move") {
        if (!coords(2, 3, &s))
            return false;
        if (args.size() == 3 && !ParseInt(args[2], 1, 10000, &s.steps)) {
            *why = "bad step count '" + args[2] + "'";
            return false;
        }
        s.op = Op::Move;
        out->push_back(s);
        return true;
    }
    if (cmd == "hold") {
        if (!coords(3, 3, &s))
            return false;
        int ms = 0;
        if (!ParseInt(args[2], 0, 3600000, &ms)) {
            *why = "bad time '" + args[2] + "'";
            return false;
        }
        s.op = Op::Down;
        out->push_back(s);
        Step w = s;
        w.op = Op::Wait;
        w.value = ms;
        out->push_back(w);
        s.op = Op::Up;
        out->push_back(s);
        return true;
    }
    if (cmd == "wait") {
        if (args.size() != 1 || !ParseInt(args[0], 0, 3600000, &s.value)) {
            *why = "'wait' takes a time in milliseconds";
            return false;
        }
        s.op = Op::Wait;
        out->push_back(s);
        return true;
    }
    if (cmd == "key") {
        if (args.size() != 1 || (s.value = KeyCode(args[0])) == 0) {
            *why = args.size() == 1 ? "unknown key '" + args[0] + "'" : "'key' takes one key name";
            return false;
        }
        s.op = Op::Key;
        out->push_back(s);
        return true;
    }
    if (cmd == "type") {
        std::string rest;
        std::getline(in, rest);
        if (!rest.empty() && rest[0] == ' ')
            rest.erase(0, 1);
        if (rest.empty()) {
            *why = "'type' needs text";
            return false;
        }
        s.op = Op::Type;
        s.text = rest;
        out->push_back(s);
        return true;
    }
    if (cmd == "shot") {
        if (args.size() != 1) {
            *why = "'shot' takes one file name";
            return false;
        }
        s.op = Op::Shot;
        s.text = args[0];
        out->push_back(s);
        return true;
    }
    if (cmd == "quit" || cmd == "stay") {
        if (!args.empty()) {
            *why = "'" + cmd + "' takes nothing";
            return false;
        }
        s.op = cmd == "quit" ? Op::Quit : Op::Stay;
        out->push_back(s);
        return true;
    }
    *why = "unknown command '" + cmd + "'";
    return false;
}

// Asks the program's own top-level windows to close, as the desktop's close button does.
void CloseProgram() {
    std::vector<HWND> tops;
    for (Window* w : Desktop()->children)
        if (w->cls->name != u"HHTaskbar" && !w->owner)
            tops.push_back(w->handle);
    for (HWND h : tops)
        if (IsWindow(h))
            PostMessageW(h, WM_CLOSE, 0, 0);
}

void Fail(Script& s, const Step& step, const std::string& why) {
    s.error = "line " + std::to_string(step.line) + ": " + why;
    std::fprintf(stderr, "script %s\n", s.error.c_str());
    s.next = s.steps.size();
}

} // namespace

bool LoadInputScript(const std::string& hostPath, std::string* error) {
    std::ifstream f(hostPath, std::ios::binary);
    if (!f) {
        if (error)
            *error = "cannot read the script '" + hostPath + "'";
        return false;
    }
    std::vector<Step> steps;
    std::string line, why;
    int n = 0;
    while (std::getline(f, line)) {
        ++n;
        if (line.size() > 4096 || !ParseLine(line, n, &steps, &why)) {
            if (error)
                *error = "script line " + std::to_string(n) + ": " +
                         (why.empty() ? std::string("line too long") : why);
            return false;
        }
    }
    Script& s = S();
    std::lock_guard lock(s.mutex);
    s.steps = std::move(steps);
    s.next = 0;
    s.moveDone = 0;
    s.waiting = false;
    s.closed = false;
    s.error.clear();
    s.loaded = true;
    s.threadId = GetCurrentThreadId();
    UseVirtualClock(true);
    return true;
}

bool ScriptRunning() {
    Script& s = S();
    std::lock_guard lock(s.mutex);
    return s.loaded && s.next < s.steps.size();
}

const std::string& ScriptError() {
    return S().error;
}

void UnloadInputScript() {
    Script& s = S();
    std::lock_guard lock(s.mutex);
    s.loaded = false;
    s.steps.clear();
    s.next = 0;
    s.error.clear();
}

bool RunScriptStep() {
    Script& s = S();
    std::unique_lock lock(s.mutex);
    if (!s.loaded || s.threadId != GetCurrentThreadId())
        return false;
    // Work still going on in other threads (previews, thumbnails) belongs to the step before:
    // the next one waits for it, so the same script always gives the same pictures. The last
    // thread to end wakes this one.
    if (BusyThreads() > 0)
        return false;
    if (s.next >= s.steps.size()) {
        // The script is over: close the program, then insist.
        if (!s.closed) {
            s.closed = true;
            lock.unlock();
            CloseProgram();
        } else {
            lock.unlock();
            PostQuitMessage(s.error.empty() ? 0 : 1);
        }
        return true;
    }
    Step step = s.steps[s.next];
    switch (step.op) {
        case Op::Down:
            s.pos = POINT{step.x, step.y};
            ++s.next;
            lock.unlock();
            InputStylusDown(step.x, step.y);
            return true;
        case Op::Up:
            s.pos = POINT{step.x, step.y};
            ++s.next;
            lock.unlock();
            InputStylusUp(step.x, step.y);
            return true;
        case Op::Move: {
            // One sample per idle turn, on a straight line in quarter pixels.
            int i = ++s.moveDone;
            int qx = s.pos.x * 4 + (step.x * 4 - s.pos.x * 4) * i / step.steps;
            int qy = s.pos.y * 4 + (step.y * 4 - s.pos.y * 4) * i / step.steps;
            if (i >= step.steps) {
                s.pos = POINT{step.x, step.y};
                s.moveDone = 0;
                ++s.next;
            }
            lock.unlock();
            InputStylusMoveQ(qx, qy);
            return true;
        }
        case Op::Key:
            ++s.next;
            lock.unlock();
            InputKey(step.value, true);
            InputKey(step.value, false);
            return true;
        case Op::Type: {
            ++s.next;
            lock.unlock();
            for (char16_t c : FromUtf8(step.text))
                InputChar(c);
            return true;
        }
        case Op::Wait: {
            ULONGLONG now = ClockNowMs();
            if (!s.waiting) {
                s.waiting = true;
                s.waitEnd = now + static_cast<ULONGLONG>(step.value);
            }
            if (now >= s.waitEnd) {
                s.waiting = false;
                ++s.next;
                return true;
            }
            // Stop at each timer on the way so the program sees time pass as it would.
            ULONGLONG to = s.waitEnd;
            if (Timer* t = NextTimer(CurrentQueue(), nullptr, false))
                if (t->due > now && t->due < to)
                    to = t->due;
            lock.unlock();
            AdvanceClock(static_cast<DWORD>(to - now));
            return true;
        }
        case Op::Shot: {
            ++s.next;
            lock.unlock();
            bool ok = SaveSurfacePng(gdi::WindowDC(nullptr), step.text);
            if (!ok) {
                lock.lock();
                Fail(s, step, "cannot write the screenshot '" + step.text + "'");
            }
            return true;
        }
        case Op::Stay:
            // The program goes on without a script and without time passing, until it is
            // closed or killed from outside: what a crash test needs.
            return false;
        case Op::Quit:
            s.next = s.steps.size();
            return true;
    }
    return false;
}

} // namespace plat
