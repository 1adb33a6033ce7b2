// Events, within the process. Named events would be shared between processes on Windows; nothing
// here needs that, so a name is refused rather than quietly made private.
#include <platform/waitable.h>
#include <platform/winbase.h>

namespace {

class EventObject : public plat::WaitableObject {
public:
    EventObject(bool manualReset, bool initialState)
        : plat::WaitableObject(!manualReset, initialState) {}
};

} // namespace

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name) {
    if (name && *name) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return plat::AddHandle(std::make_shared<EventObject>(manualReset != 0, initialState != 0));
}

BOOL SetEvent(HANDLE event) {
    auto object = plat::LookupHandleAs<EventObject>(event);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Signal();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    auto object = plat::LookupHandleAs<EventObject>(event);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Unsignal();
    return TRUE;
}
