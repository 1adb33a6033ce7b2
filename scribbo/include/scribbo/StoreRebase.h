// Moving the whole memo store when the data folder setting changes: every memo goes from the
// old folder to the new one, or none does.
#pragma once

#include <windows.h>

// What MoveMemoStore did.
enum eStoreMove {
    eStoreMoveFailed = 0,  // something could not move: all that had moved went back
    eStoreMoved = 1,       // all moved, or there was nothing to move
    eStoreMoveInside = -1, // the new folder lies in the old one
};

// Moves everything below oldBase into newBase (made when missing), merging with what is
// there: a memo whose name is taken arrives under a free one, newBase's own "folder.info"
// files are kept. Any other name that is taken, or any move that fails, sends every moved
// file back and removes the folders made, so the memos stay where they were. On success the
// old folders go.
int MoveMemoStore(LPCWSTR oldBase, LPCWSTR newBase);

// After the settings took a new BaseDataFolder: moves the store from oldBase. When that
// fails, BaseDataFolder (and a new-memo folder that followed it) go back to oldBase and the
// user is told. The move's result.
int RebaseMemoStore(HWND parent, LPCWSTR oldBase);
