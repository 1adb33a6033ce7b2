// Kernel services: the local heap, time, threads and events, modules and resources, the
// program's command line.
#pragma once

#include <platform/wintypes.h>

// Local heap. Blocks come from the C heap, so free() and LocalFree() may release either kind.
#define LMEM_FIXED 0x0000
#define LMEM_MOVEABLE 0x0002
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalReAlloc(HLOCAL memory, SIZE_T bytes, UINT flags);
HLOCAL LocalFree(HLOCAL memory);
SIZE_T LocalSize(HLOCAL memory);

// Time. All of it reads the platform clock (<platform/clock.h>).
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
void GetLocalTime(LPSYSTEMTIME localTime);
void GetSystemTime(LPSYSTEMTIME utcTime);
void GetSystemTimeAsFileTime(LPFILETIME utcTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
BOOL FileTimeToLocalFileTime(const FILETIME* utcTime, LPFILETIME localTime);
BOOL LocalFileTimeToFileTime(const FILETIME* localTime, LPFILETIME utcTime);
LONG CompareFileTime(const FILETIME* first, const FILETIME* second);

// Threads, events and waiting.
#define CREATE_SUSPENDED 0x00000004
#define STACK_SIZE_PARAM_IS_A_RESERVATION 0x00010000
#define STILL_ACTIVE 259
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD threadId);
DWORD ResumeThread(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
DWORD GetCurrentThreadId();
HANDLE CreateEventW(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                    LPCWSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// Time-outs are real milliseconds even under the virtual clock (see thread_handles.cpp).
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
BOOL CloseHandle(HANDLE object);

// Modules.
HMODULE LoadLibraryW(LPCWSTR fileName);
BOOL FreeLibrary(HMODULE module);
FARPROC GetProcAddressW(HMODULE module, LPCWSTR procName);
FARPROC GetProcAddressA(HMODULE module, LPCSTR procName);
inline FARPROC GetProcAddress(HMODULE module, LPCWSTR procName) {
    return GetProcAddressW(module, procName);
}
inline FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    return GetProcAddressA(module, procName);
}
HMODULE GetModuleHandleW(LPCWSTR moduleName);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);

// Resources compiled into a module with scribbo_resources() in CMake.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL resource);

// The program's arguments, without the program's own name, as WinMain received them.
LPWSTR GetCommandLineW();
