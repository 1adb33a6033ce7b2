#include "registry_session.h"

#include <platform/device.h>
#include <platform/winreg.h>

#include <cstdlib>
#include <unordered_map>

namespace plat::reg {
namespace {

struct State {
    std::mutex mutex;
    bool loaded = false;
    std::string root; // device root the tree belongs to
    Tree tree;
    bool canWrite = true;
    bool dirty = false;
    std::unordered_map<ULONG_PTR, std::shared_ptr<Key>> handles;
    // Handle values are never reused, so a stale handle cannot reach another key.
    ULONG_PTR nextHandle = 0x100;
};

std::string FilePath(const std::string& root) {
    return root + "/" + kRegistryFileName;
}

// All with the lock held.

bool WritePending(State& s) {
    if (!s.dirty)
        return true;
    if (!s.canWrite || !SaveFile(FilePath(s.root), WriteText(s.tree)))
        return false;
    s.dirty = false;
    return true;
}

void Drop(State& s) {
    s.handles.clear();
    s.tree = Tree();
    s.loaded = false;
    s.dirty = false;
    s.canWrite = true;
}

void Load(State& s, const std::string& root) {
    Drop(s);
    s.root = root;
    LoadFile(FilePath(root), &s.tree, &s.canWrite);
    s.loaded = true;
}

State& GetState();

void OnRootChanged() {
    State& s = GetState();
    std::lock_guard lock(s.mutex);
    // What was changed under the old root goes to the old root's file.
    if (s.loaded)
        WritePending(s);
    Drop(s);
}

void WriteAtExit() {
    State& s = GetState();
    std::lock_guard lock(s.mutex);
    if (s.loaded)
        WritePending(s);
}

State& GetState() {
    // Never destroyed: other code may still use the registry while statics are torn down.
    static State* state = [] {
        auto* s = new State;
        OnDeviceRootChanged(&OnRootChanged);
        std::atexit(&WriteAtExit);
        return s;
    }();
    return *state;
}

int PredefinedIndex(HKEY handle) {
    const HKEY roots[kRootCount] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                    HKEY_USERS};
    for (int i = 0; i < kRootCount; ++i)
        if (handle == roots[i])
            return i;
    return -1;
}

} // namespace

Session::Session() {
    State& s = GetState();
    // Asked before locking: the first DeviceRoot call may set the root and notify us.
    std::string root = DeviceRoot();
    m_lock = std::unique_lock(s.mutex);
    if (!s.loaded || s.root != root) {
        if (s.loaded)
            WritePending(s);
        Load(s, root);
    }
}

LONG Session::Resolve(HKEY handle, std::shared_ptr<Key>* key, bool* predefined) {
    State& s = GetState();
    int root = PredefinedIndex(handle);
    *predefined = root >= 0;
    if (root >= 0) {
        *key = s.tree.roots[root];
        return ERROR_SUCCESS;
    }
    auto it = s.handles.find(reinterpret_cast<ULONG_PTR>(handle));
    if (it == s.handles.end())
        return ERROR_INVALID_HANDLE;
    *key = it->second;
    return (*key)->Deleted() ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

HKEY Session::NewHandle(std::shared_ptr<Key> key) {
    State& s = GetState();
    ULONG_PTR id = s.nextHandle++;
    s.handles.emplace(id, std::move(key));
    return reinterpret_cast<HKEY>(id);
}

bool Session::CloseHandle(HKEY handle) {
    return GetState().handles.erase(reinterpret_cast<ULONG_PTR>(handle)) == 1;
}

void Session::Changed(bool writeNow) {
    State& s = GetState();
    s.dirty = true;
    if (writeNow)
        WritePending(s);
}

bool Session::Flush() {
    return WritePending(GetState());
}

bool Session::Pending() const {
    return GetState().dirty;
}

} // namespace plat::reg

namespace plat {

void RegistryReload() {
    reg::State& s = reg::GetState();
    std::string root = DeviceRoot();
    std::lock_guard lock(s.mutex);
    reg::Load(s, root);
}

bool RegistryFlush() {
    reg::Session session;
    return session.Flush();
}

bool RegistryParseForTest(const char* data, size_t size) {
    reg::Tree tree;
    std::string_view bytes = data ? std::string_view(data, size) : std::string_view();
    if (!reg::ParseText(bytes, &tree, nullptr))
        return false;
    // Whatever parses must come back the same through the writer.
    std::string text = reg::WriteText(tree);
    reg::Tree again;
    if (!reg::ParseText(text, &again, nullptr) || !reg::SameTree(tree, again) ||
        reg::WriteText(again) != text)
        std::abort();
    return true;
}

} // namespace plat
