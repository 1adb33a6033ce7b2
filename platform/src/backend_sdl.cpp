// The SDL2 backend: a desktop window showing the screen at an integer scale. It is a module
// of its own (libplatform_sdl.so), loaded when a desktop window is wanted. SDL runs on a
// thread of its own that sleeps in SDL_WaitEvent; the user-interface thread hands it changed
// rectangles, and it hands input back as raw platform input.
#include "backend.h"

#include <platform/utf.h>
#include <platform/wingdi.h>

#include "gdi_internal.h"
#include "user_internal.h"

#include <SDL.h>

#include <condition_variable>
#include <memory>
#include <thread>

namespace plat {
namespace {

// SDL objects freed by their own free function when their owner lets go of them.
template <auto Free> struct SdlFree {
    template <class T> void operator()(T* p) const { Free(p); }
};
template <class T, auto Free> using SdlPtr = std::unique_ptr<T, SdlFree<Free>>;

int VirtualKey(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z)
        return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9)
        return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12)
        return VK_F1 + (k - SDLK_F1);
    switch (k) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_END:
            return VK_END;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_LSHIFT:
            return VK_LSHIFT;
        case SDLK_RSHIFT:
            return VK_RSHIFT;
        case SDLK_LCTRL:
            return VK_LCONTROL;
        case SDLK_RCTRL:
            return VK_RCONTROL;
        case SDLK_LALT:
            return VK_LMENU;
        case SDLK_RALT:
            return VK_RMENU;
        case SDLK_CAPSLOCK:
            return VK_CAPITAL;
        case SDLK_SEMICOLON:
            return VK_OEM_1;
        case SDLK_EQUALS:
            return VK_OEM_PLUS;
        case SDLK_COMMA:
            return VK_OEM_COMMA;
        case SDLK_MINUS:
            return VK_OEM_MINUS;
        case SDLK_PERIOD:
            return VK_OEM_PERIOD;
        case SDLK_SLASH:
            return VK_OEM_2;
        case SDLK_BACKQUOTE:
            return VK_OEM_3;
        case SDLK_LEFTBRACKET:
            return VK_OEM_4;
        case SDLK_BACKSLASH:
            return VK_OEM_5;
        case SDLK_RIGHTBRACKET:
            return VK_OEM_6;
        case SDLK_QUOTE:
            return VK_OEM_7;
        default:
            return 0;
    }
}

class SdlBackend : public DisplayBackend {
public:
    explicit SdlBackend(int scale) : m_scale(scale) {}
    ~SdlBackend() override { Stop(); }

    const char* Name() const override { return "sdl2"; }

    bool Start(std::string* error) {
        m_thread = std::thread([this] { Run(); });
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [this] { return m_started; });
        if (!m_ok) {
            lock.unlock();
            m_thread.join();
            if (error)
                *error = m_error;
            return false;
        }
        return true;
    }

    void Present(const RECT& rc) override {
        {
            std::lock_guard lock(m_mutex);
            if (m_pending.right <= m_pending.left)
                m_pending = rc;
            else
                UnionRect(&m_pending, &m_pending, &rc);
        }
        Poke();
    }

    void CursorChanged() override { Poke(); }

    bool PushPointer(DesktopPointer kind, int x, int y) override {
        if (!m_thread.joinable())
            return false;
        SDL_Event e{};
        x *= m_scale;
        y *= m_scale;
        if (kind == DesktopPointer::Move) {
            e.type = SDL_MOUSEMOTION;
            e.motion.windowID = m_windowId;
            e.motion.state = SDL_BUTTON_LMASK;
            e.motion.x = x;
            e.motion.y = y;
        } else {
            const bool down = kind == DesktopPointer::Down;
            e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            e.button.windowID = m_windowId;
            e.button.button = SDL_BUTTON_LEFT;
            e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
            e.button.clicks = 1;
            e.button.x = x;
            e.button.y = y;
        }
        return SDL_PushEvent(&e) == 1;
    }

    void Raise() override {
        if (!m_thread.joinable() || m_raiseEvent == 0)
            return;
        SDL_Event e{};
        e.type = m_raiseEvent;
        SDL_PushEvent(&e);
    }

    // The desktop's clipboard belongs to the SDL thread (it answers other programs' requests
    // from its event loop), so both calls are handed to it and waited for.
    bool SetClipboardText(const std::u16string& text) override {
        return Clipboard(true, const_cast<std::u16string*>(&text));
    }
    bool GetClipboardText(std::u16string* text) override { return Clipboard(false, text); }

    void Stop() override {
        if (!m_thread.joinable())
            return;
        SDL_Event e{};
        e.type = m_stopEvent;
        SDL_PushEvent(&e);
        m_thread.join();
    }

private:
    struct ClipRequest {
        bool set = false;
        std::u16string* text = nullptr;
        bool ok = false;
        bool done = false;
    };

    bool Clipboard(bool set, std::u16string* text) {
        if (!m_thread.joinable() || m_clipEvent == 0)
            return false;
        ClipRequest req;
        req.set = set;
        req.text = text;
        SDL_Event e{};
        e.type = m_clipEvent;
        e.user.data1 = &req;
        if (SDL_PushEvent(&e) != 1)
            return false;
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return req.done; });
        return req.ok;
    }

    void ServeClipboard(ClipRequest* req) {
        bool ok = false;
        if (req->set) {
            ok = SDL_SetClipboardText(ToUtf8(*req->text).c_str()) == 0;
        } else if (SdlPtr<char, SDL_free> utf8{SDL_GetClipboardText()}) {
            *req->text = FromUtf8(utf8.get());
            ok = true;
        }
        std::lock_guard lock(m_mutex);
        req->ok = ok;
        req->done = true;
        m_cv.notify_all();
    }

    void Poke() {
        if (!m_thread.joinable() || m_wakeEvent == 0)
            return;
        SDL_Event e{};
        e.type = m_wakeEvent;
        SDL_PushEvent(&e);
    }

    void Report(bool ok, const std::string& error) {
        std::lock_guard lock(m_mutex);
        m_ok = ok;
        m_error = error;
        m_started = true;
        m_cv.notify_all();
    }

    bool Open() {
        // The program's start-up turns SIGTERM and SIGINT into a close request itself, the
        // same with either backend.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            Report(false, std::string("no desktop display: ") + SDL_GetError());
            return false;
        }
        SIZE s = ScreenSize();
        if (m_scale <= 0) {
            // The largest whole scale that leaves room for the desktop's own bars.
            SDL_DisplayMode mode;
            m_scale = 1;
            if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
                while ((m_scale + 1) * s.cx <= mode.w * 9 / 10 &&
                       (m_scale + 1) * s.cy <= mode.h * 9 / 10)
                    ++m_scale;
        }
        m_window.reset(SDL_CreateWindow("Scribbo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        s.cx * m_scale, s.cy * m_scale, SDL_WINDOW_SHOWN));
        if (m_window)
            m_renderer.reset(SDL_CreateRenderer(m_window.get(), -1, 0));
        if (m_renderer)
            m_texture.reset(SDL_CreateTexture(m_renderer.get(), SDL_PIXELFORMAT_BGR24,
                                              SDL_TEXTUREACCESS_STREAMING, s.cx, s.cy));
        if (!m_texture) {
            Report(false, std::string("cannot open the desktop window: ") + SDL_GetError());
            Close();
            return false;
        }
        m_width = s.cx;
        m_height = s.cy;
        m_windowId = SDL_GetWindowID(m_window.get());
        m_wait.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT));
        m_arrow.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
        // Typed text comes from the desktop's own keyboard layout and input methods; the key
        // translation then makes only the control characters.
        SDL_StartTextInput();
        SetDesktopTypesText(true);
        m_wakeEvent = SDL_RegisterEvents(4);
        m_stopEvent = m_wakeEvent + 1;
        m_clipEvent = m_wakeEvent + 2;
        m_raiseEvent = m_wakeEvent + 3;
        Upload(RECT{0, 0, s.cx, s.cy});
        Report(true, "");
        return true;
    }

    void Close() {
        SetDesktopTypesText(false);
        // Each before what it was made from, and all before the video subsystem goes.
        m_wait.reset();
        m_arrow.reset();
        m_texture.reset();
        m_renderer.reset();
        m_window.reset();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void Upload(RECT rc) {
        std::shared_ptr<Surface> screen = ScreenSurfaceRef();
        if (!screen || screen->width != m_width || screen->height != m_height)
            return;
        RECT all{0, 0, m_width, m_height};
        if (!IntersectRect(&rc, &rc, &all))
            return;
        SDL_Rect r{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
        SDL_UpdateTexture(m_texture.get(), &r, screen->Row(rc.top) + rc.left * 3, screen->stride);
        SDL_RenderCopy(m_renderer.get(), m_texture.get(), nullptr, nullptr);
        PresentFrame();
    }

    void PresentFrame() {
        const auto handed = std::chrono::steady_clock::now();
        SDL_RenderPresent(m_renderer.get());
        ReportFrame(handed, std::chrono::steady_clock::now());
    }

    void Wake() {
        RECT rc;
        {
            std::lock_guard lock(m_mutex);
            rc = m_pending;
            m_pending = RECT{};
        }
        if (rc.right > rc.left)
            Upload(rc);
        int cursor = CurrentCursorId();
        SDL_ShowCursor(cursor ? SDL_ENABLE : SDL_DISABLE);
        SDL_SetCursor(MAKEINTRESOURCEW(cursor) == IDC_WAIT ? m_wait.get() : m_arrow.get());
    }

    int Q(int v) const { return v * 4 / m_scale; }

    void Run() {
        if (!Open())
            return;
        bool left = false;
        SDL_Event e;
        while (SDL_WaitEvent(&e)) {
            if (e.type == m_stopEvent)
                break;
            if (e.type == m_wakeEvent) {
                Wake();
                continue;
            }
            if (e.type == m_raiseEvent) {
                if (SDL_GetWindowFlags(m_window.get()) & SDL_WINDOW_MINIMIZED)
                    SDL_RestoreWindow(m_window.get());
                SDL_RaiseWindow(m_window.get());
                continue;
            }
            if (e.type == m_clipEvent) {
                ServeClipboard(static_cast<ClipRequest*>(e.user.data1));
                continue;
            }
            switch (e.type) {
                case SDL_QUIT:
                    InputCloseRequest();
                    break;
                case SDL_WINDOWEVENT:
                    if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                        SDL_RenderCopy(m_renderer.get(), m_texture.get(), nullptr, nullptr);
                        PresentFrame();
                    }
                    break;
                case SDL_MOUSEBUTTONDOWN:
                case SDL_MOUSEBUTTONUP: {
                    bool down = e.type == SDL_MOUSEBUTTONDOWN;
                    if (e.button.button == SDL_BUTTON_LEFT) {
                        left = down;
                        if (down)
                            InputStylusDownQ(Q(e.button.x), Q(e.button.y));
                        else
                            InputStylusUpQ(Q(e.button.x), Q(e.button.y));
                    } else if (e.button.button == SDL_BUTTON_RIGHT) {
                        InputRightButton(down, e.button.x / m_scale, e.button.y / m_scale);
                    }
                    break;
                }
                case SDL_MOUSEMOTION:
                    if (left)
                        InputStylusMoveQ(Q(e.motion.x), Q(e.motion.y));
                    else
                        InputHover(e.motion.x / m_scale, e.motion.y / m_scale);
                    break;
                case SDL_MOUSEWHEEL: {
                    int x = 0, y = 0;
                    SDL_GetMouseState(&x, &y);
                    InputWheel(e.wheel.y * WHEEL_DELTA, x / m_scale, y / m_scale);
                    break;
                }
                case SDL_TEXTINPUT:
                    for (char16_t c : FromUtf8(e.text.text))
                        InputChar(c);
                    break;
                case SDL_KEYDOWN:
                case SDL_KEYUP:
                    if (int vk = VirtualKey(e.key.keysym.sym))
                        InputKey(vk, e.type == SDL_KEYDOWN);
                    break;
                default:
                    break;
            }
        }
        Close();
    }

    int m_scale;
    int m_width = 0, m_height = 0;
    // Set before Start returns; read by other threads only after.
    Uint32 m_windowId = 0;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_started = false;
    bool m_ok = false;
    std::string m_error;
    RECT m_pending{};
    Uint32 m_wakeEvent = 0;
    Uint32 m_stopEvent = 0;
    Uint32 m_clipEvent = 0;
    Uint32 m_raiseEvent = 0;
    SdlPtr<SDL_Window, SDL_DestroyWindow> m_window;
    SdlPtr<SDL_Renderer, SDL_DestroyRenderer> m_renderer;
    SdlPtr<SDL_Texture, SDL_DestroyTexture> m_texture;
    SdlPtr<SDL_Cursor, SDL_FreeCursor> m_wait;
    SdlPtr<SDL_Cursor, SDL_FreeCursor> m_arrow;
};

} // namespace

std::unique_ptr<DisplayBackend> MakeSdlBackend(int scale, std::string* error) {
    auto b = std::make_unique<SdlBackend>(scale);
    if (!b->Start(error))
        return nullptr;
    return b;
}

} // namespace plat

// What the display looks up after loading this module.
extern "C" [[gnu::visibility("default")]] plat::DisplayBackend*
ScribboMakeSdlBackend(int scale, std::string* error) {
    return plat::MakeSdlBackend(scale, error).release();
}
