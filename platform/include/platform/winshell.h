// The Pocket PC shell calls: full-screen mode and the input-panel button.
#pragma once

#include <platform/winuser.h>

#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

// Shows or hides the task bar ("HHTaskbar") and the input-panel button for the window.
BOOL SHFullScreen(HWND hwnd, DWORD state);

// ---- File icons (SHGetFileInfoW) and the system image lists --------------------------------

struct SHFILEINFOW {
    HICON hIcon;
    int iIcon;
    DWORD dwAttributes;
    WCHAR szDisplayName[MAX_PATH];
    WCHAR szTypeName[80];
};
using SHFILEINFO = SHFILEINFOW;

#define SHGFI_LARGEICON 0x000000000
#define SHGFI_SMALLICON 0x000000001
#define SHGFI_OPENICON 0x000000002
#define SHGFI_USEFILEATTRIBUTES 0x000000010
#define SHGFI_ICON 0x000000100
#define SHGFI_DISPLAYNAME 0x000000200
#define SHGFI_TYPENAME 0x000000400
#define SHGFI_ATTRIBUTES 0x000000800
#define SHGFI_SYSICONINDEX 0x000004000

// The icon (SHGFI_ICON: a new icon the caller destroys), its place in the system image list
// (iIcon), display name, type name and attributes of a device path. With SHGFI_SYSICONINDEX
// returns the system image list (small or large), otherwise non-zero; 0 when the path does
// not exist (unless SHGFI_USEFILEATTRIBUTES, which takes `attributes` instead of the disk's).
DWORD_PTR SHGetFileInfoW(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags);
#define SHGetFileInfo SHGetFileInfoW

#define ILD_NORMAL 0x0000
#define ILD_TRANSPARENT 0x0001
#define ILD_MASK 0x0010

// The system image lists that SHGetFileInfoW hands out. They belong to the system:
// ImageList_Destroy refuses them.
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
BOOL ImageList_Destroy(HIMAGELIST list);

// ---- Starting programs (ShellExecuteExW) -------------------------------------------------------

struct SHELLEXECUTEINFOW {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;
    LPCWSTR lpFile;
    LPCWSTR lpParameters;
    LPCWSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    LPVOID lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;
};
using SHELLEXECUTEINFO = SHELLEXECUTEINFOW;
using LPSHELLEXECUTEINFOW = SHELLEXECUTEINFOW*;

#define SEE_MASK_CLASSNAME 0x00000001
#define SEE_MASK_NOCLOSEPROCESS 0x00000040
#define SEE_MASK_FLAG_DDEWAIT 0x00000100
#define SEE_MASK_FLAG_NO_UI 0x00000400

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// Starts the program at a device path (or the one a ".lnk" shortcut there names) as a host
// process on the same device root, with lpParameters as its command line. Nothing is shown
// on failure: FALSE, with GetLastError and hInstApp telling why. hProcess is never filled
// (SEE_MASK_NOCLOSEPROCESS is not offered); the started process is reaped when it ends.
BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info);
#define ShellExecuteEx ShellExecuteExW
