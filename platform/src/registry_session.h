// The process's registry: the key tree of the current device root, the open key handles and
// the pending write. Every entry point works inside one Session, which holds the lock.
#pragma once

#include "registry_store.h"

#include <mutex>

namespace plat::reg {

class Session {
public:
    // Takes the lock; loads the registry of the current device root when it is not loaded.
    Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The key behind a handle: ERROR_SUCCESS, ERROR_INVALID_HANDLE or ERROR_KEY_DELETED.
    // *predefined tells whether the handle is one of the HKEY_* roots.
    LONG Resolve(HKEY handle, std::shared_ptr<Key>* key, bool* predefined);
    HKEY NewHandle(std::shared_ptr<Key> key);
    // False when the handle is not open (predefined roots are never open).
    bool CloseHandle(HKEY handle);

    // Notes a change. Changes are written when a key handle is closed or flushed and at exit,
    // which keeps the many values of one open key to one write; a change made through a
    // predefined root, which nobody closes, is written at once.
    void Changed(bool writeNow);
    // Writes pending changes; false when they could not be written.
    bool Flush();
    bool Pending() const;

private:
    std::unique_lock<std::mutex> m_lock;
};

} // namespace plat::reg
