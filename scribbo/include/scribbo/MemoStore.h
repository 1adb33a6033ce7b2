// The memo store: one memo per file, named after its creation time ("20070315_093000.pad"),
// in a tree of folders below BaseDataFolder. There is no index file: the scan builds the
// folder tree and the date index from the names. Moving, copying and removing memos and
// folders never overwrites a memo; a name that is taken is replaced by a free one.
#pragma once

#include "fundo/Position.h"

#include <windows.h>

class GTreeCtrl;

// Where the scan and the memo moves report memos: the date list bar's day index. Times are
// dates as GTime holds them (days since 30 December 1899).
class MemoIndex {
public:
    virtual ~MemoIndex() = default;
    virtual int AddMemo(LPCWSTR path, double time) = 0;
    virtual int RemoveMemo(LPCWSTR path, double time) = 0;
    virtual void ClearMemos() = 0;
};

// A memo of a list, as the title view holds it.
struct MemoRef {
    LPCWSTR path;
    double time;
};

// ---- Names ----------------------------------------------------------------------------------

// folder (trailing backslashes ignored) + "\YYYYMMDD_HHMMSS." + ext into MAX_PATH characters.
// 0 when it does not fit.
int FormatMemoPath(WCHAR* out, LPCWSTR folder, const SYSTEMTIME& time, LPCWSTR ext = u"pad");
// The time a memo's file name (or path) stands for. Fields the name does not give read as 0;
// 0 is returned when what was read makes no valid date.
int ParseMemoTime(LPCWSTR name, double* time);
// 1 for "pad" and "olx" files, in any case.
int IsMemoFileName(LPCWSTR name);
// The path for a new memo created at time in folder. When a file has that name already, the
// next free second after time is used, so a new memo never lands on an old one.
int NewMemoPath(LPCWSTR folder, const SYSTEMTIME& time, WCHAR* out);
// Makes path a folder with every missing folder above it; 1 when it is one now.
int EnsureFolder(LPCWSTR path);

// ---- Folders in the tree and the scan ---------------------------------------------------------

// The labels from the root down to pos, each followed by "\" (the root's label is the store's
// path). Its length, 0 for no item or when it does not fit in MAX_PATH characters.
int GetFolderPath(GTreeCtrl* tree, POSITION pos, WCHAR* out);
// The item of a folder path ("\" at the end or not); null when the tree has none.
POSITION FindFolderItem(GTreeCtrl* tree, LPCWSTR path);
// The item's "folder.info" into / from a GFolderItem. 1 when read / written.
int ReadFolderItemInfo(GTreeCtrl* tree, POSITION pos);
int WriteFolderItemInfo(GTreeCtrl* tree, POSITION pos);

// Adds the folders below path as children of item (recursively) and registers every memo with
// index. Hidden entries are skipped; memo files need the archive attribute; ".olx" memos are
// renamed to ".pad"; a folder whose "folder.info" cannot be read gets a palette colour and a
// new file. Links are followed only when they end inside the device root and outside the
// folder scanned (whose folders are listed in their own place), each place once.
void ScanMemoFolder(GTreeCtrl* tree, POSITION item, LPCWSTR path, MemoIndex* index);
// The whole scan: the tree is rebuilt with root as its root item, the index is cleared and
// refilled. Returns the item of remembered, or the root when it is not in the new tree. Without
// a tree (null, also for ScanMemoFolder) only the index is filled and the folders' missing
// "folder.info" files are written.
POSITION ScanMemoStore(GTreeCtrl* tree, MemoIndex* index, LPCWSTR root, LPCWSTR remembered);

// ---- Memos ----------------------------------------------------------------------------------

// Moves a memo into folder under its own name or, when that is taken, under the current
// time's name (the next free second). The file is renamed; across file systems it is copied
// and flushed before the source goes. Only a memo that arrived changes its index entry (the
// list's time is kept); on failure the memo stays where it was, listed as before. newPath
// (MAX_PATH characters, may be null) gets where it went. 1 or 0.
int MoveMemo(LPCWSTR path, double time, LPCWSTR folder, MemoIndex* index, WCHAR* newPath);
// As MoveMemo, but the source stays and the copy is registered.
int CopyMemo(LPCWSTR path, double time, LPCWSTR folder, MemoIndex* index, WCHAR* newPath);
// Each memo in turn; the number that arrived.
int MoveMemos(const MemoRef* memos, int count, LPCWSTR folder, MemoIndex* index);
int CopyMemos(const MemoRef* memos, int count, LPCWSTR folder, MemoIndex* index);

// Deletes a folder with everything in it, read-only entries too. Links inside are removed,
// never what they point to. 1 when the folder is gone.
int DeleteFolder(LPCWSTR path);
// Moves everything in source into target (created when missing, with the source's
// attributes), merging with what is there, then removes source. A memo whose name is taken
// arrives under the current time's name; target's own "folder.info" is kept; any other file
// whose name is taken stays in source, and source with it. Refused when target lies in source.
// 1 when source is gone.
int MoveFolder(LPCWSTR source, LPCWSTR target);
