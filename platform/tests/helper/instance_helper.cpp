// A small program that the single-instance and signal tests start as separate processes:
//   instance_helper <platform options> -- <message> <wParam> <lParam> [gate]
// A parameter is "n:<number>", "t:<text>" or "h:<host file>" (its device path, as the program's
// command line gets it). With "gate" it first reads fd 3 until end of
// file, so that several copies can be let go at once. It claims the instance with that request
// and prints one line per event on stdout: "first", "forwarded <result>", "failed <why>";
// as the first it prints "serving" and then "got ..." for each message that reaches its window,
// "active" when the window is brought to the front, and "close" when asked to close.
#include <platform/device.h>
#include <platform/display.h>
#include <platform/entry.h>
#include <platform/instance.h>
#include <platform/utf.h>
#include <platform/winfile.h>
#include <platform/winuser.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The messages the tests send, and what the window answers.
constexpr UINT kTextAndNumber = WM_APP + 1; // wParam text, lParam number; returns the text length
constexpr UINT kNumbers = WM_APP + 2;       // two numbers; returns their sum
constexpr UINT kTexts = WM_APP + 3;         // two texts; returns the sum of their lengths
constexpr UINT kReadFile = WM_APP + 4;      // wParam a device path; returns the file's size
constexpr UINT kDie = WM_APP + 9;           // from another start: ends this process unanswered

std::vector<std::string> g_words;
HWND g_main = nullptr;
bool g_ownRequest = false;

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

plat::InstanceParam Param(const std::string& word) {
    plat::InstanceParam p;
    if (word.rfind("t:", 0) == 0) {
        p.isText = true;
        p.text = plat::FromUtf8(word.substr(2));
    } else if (word.rfind("h:", 0) == 0) {
        p.isText = plat::DevicePathForHostFile(word.substr(2), &p.text);
    } else if (word.rfind("n:", 0) == 0) {
        p.number = static_cast<intptr_t>(std::strtoll(word.c_str() + 2, nullptr, 10));
    }
    return p;
}

std::string Show(bool text, WPARAM v) {
    if (text)
        return "t:" + plat::ToUtf8(reinterpret_cast<LPCWSTR>(v));
    return "n:" + std::to_string(static_cast<intptr_t>(v));
}

size_t Length(WPARAM v) {
    return std::char_traits<char16_t>::length(reinterpret_cast<LPCWSTR>(v));
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto l = static_cast<WPARAM>(lParam);
    bool front = GetForegroundWindow() == hwnd;
    switch (msg) {
        case WM_ACTIVATE:
            if (hwnd == g_main && LOWORD(wParam) != WA_INACTIVE)
                Say("active");
            break;
        case kTextAndNumber:
            Say("got text+number " + Show(true, wParam) + " " + Show(false, l) +
                " front=" + std::to_string(front));
            return static_cast<LRESULT>(Length(wParam));
        case kNumbers:
            Say("got numbers " + Show(false, wParam) + " " + Show(false, l) +
                " front=" + std::to_string(front));
            return static_cast<LRESULT>(wParam + l);
        case kTexts:
            Say("got texts " + Show(true, wParam) + " " + Show(true, l) +
                " front=" + std::to_string(front));
            return static_cast<LRESULT>(Length(wParam) + Length(l));
        case kReadFile: {
            std::string content;
            if (FILE* f = _wfopen(reinterpret_cast<LPCWSTR>(wParam), u"rb")) {
                char buf[256];
                content.assign(buf, fread(buf, 1, sizeof buf, f));
                fclose(f);
            }
            Say("got file " + Show(true, wParam) + " " + content);
            return static_cast<LRESULT>(content.size());
        }
        case kDie:
            if (!g_ownRequest)
                _exit(3);
            Say("got die");
            return 0;
        case WM_CLOSE:
            if (hwnd == g_main)
                Say("close");
            break;
        case WM_DESTROY:
            if (hwnd == g_main)
                PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeWindow(LPCWSTR title, int y) {
    return CreateWindowExW(0, u"InstanceHelper", title, WS_POPUP | WS_VISIBLE, 0, y, 100, 50,
                           nullptr, nullptr, nullptr, nullptr);
}

int HelperMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (g_words.size() < 3)
        return 2;
    if (g_words.size() > 3 && g_words[3] == "gate") {
        char buf[16];
        while (read(3, buf, sizeof buf) > 0) {
        }
    }
    plat::InstanceRequest request;
    request.message = static_cast<UINT>(std::strtoul(g_words[0].c_str(), nullptr, 10));
    request.wParam = Param(g_words[1]);
    request.lParam = Param(g_words[2]);
    std::string error;
    LRESULT result = 0;
    switch (plat::ClaimInstance(request, &error, &result)) {
        case plat::InstanceClaim::Forwarded:
            Say("forwarded " + std::to_string(result));
            return 0;
        case plat::InstanceClaim::Failed:
            Say("failed " + error);
            return 1;
        case plat::InstanceClaim::First:
            Say("first");
            break;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = MainProc;
    wc.lpszClassName = u"InstanceHelper";
    RegisterClassW(&wc);
    g_main = MakeWindow(u"Main", 0);
    // A second window in front, so that a request has something to raise the main one over.
    HWND other = MakeWindow(u"Other", 100);
    if (!g_main || !other)
        return 1;
    plat::ServeInstanceRequests(g_main);
    Say("serving");
    // The first start does its own request itself, as the program does.
    if (request.message) {
        SetForegroundWindow(g_main);
        g_ownRequest = true;
        auto value = [](const plat::InstanceParam& p) {
            return p.isText ? reinterpret_cast<WPARAM>(p.text.c_str())
                            : static_cast<WPARAM>(p.number);
        };
        SendMessageW(g_main, request.message, value(request.wParam),
                     static_cast<LPARAM>(value(request.lParam)));
        g_ownRequest = false;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    plat::EndInstance();
    Say("end");
    return static_cast<int>(msg.wParam);
}

} // namespace

int main(int argc, char** argv) {
    // The helper's own words follow "--"; everything before it is the platform's.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--") == 0) {
            g_words.assign(argv + i + 1, argv + argc);
            break;
        }
    return plat::RunProgram(argc, argv, &HelperMain, {});
}
