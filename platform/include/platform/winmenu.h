// Pop-up menus the platform draws and tracks itself: CreatePopupMenu, AppendMenuW and
// TrackPopupMenu with its nested modal loop.
#pragma once

#include <platform/winuser.h>

// Item flags.
#define MF_INSERT 0x00000000L
#define MF_CHANGE 0x00000080L
#define MF_APPEND 0x00000100L
#define MF_DELETE 0x00000200L
#define MF_REMOVE 0x00001000L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_STRING 0x00000000L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_HILITE 0x00000080L
#define MF_OWNERDRAW 0x00000100L
#define MFT_STRING MF_STRING
#define MFT_SEPARATOR MF_SEPARATOR
#define MFT_RADIOCHECK 0x00000200L
#define MFS_GRAYED 0x00000003L
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED MF_CHECKED
#define MFS_ENABLED MF_ENABLED

// WM_ENTERIDLE's wParam while a menu waits for input (the owner gets it each time the menu
// has nothing left to do); lParam is the menu window in front.
#define MSGF_MENU 2

// TrackPopupMenu.
#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_HORIZONTAL 0x0000L
#define TPM_VERTICAL 0x0040L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

HMENU CreatePopupMenu();
HMENU CreateMenu();
// Frees the menu and the submenus attached to it.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
// MF_POPUP: id is the submenu's HMENU, which the menu then owns.
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text);
#define AppendMenu AppendMenuW
BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCWSTR text);
#define InsertMenu InsertMenuW
// DeleteMenu destroys a submenu it takes out; RemoveMenu hands it back to the caller.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
// The item's MF_ flags, or 0xFFFFFFFF when there is no such item.
UINT GetMenuState(HMENU menu, UINT id, UINT flags);
// Return the previous MF_CHECKED / MF_GRAYED|MF_DISABLED state, or 0xFFFFFFFF.
DWORD CheckMenuItem(HMENU menu, UINT id, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT id, UINT flags);
// Checks item "check" with a radio dot and unchecks the others of first..last.
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);

// Shows the menu at (x, y) in screen coordinates, kept on the screen, and runs until a
// choice is made or the menu is dismissed. TPM_RETURNCMD: returns the chosen id (0 for none);
// otherwise returns TRUE and, unless TPM_NONOTIFY, posts WM_COMMAND with the id to the owner.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* ignored);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void* params);
// Ends the menu being tracked, as if dismissed.
BOOL EndMenu();
