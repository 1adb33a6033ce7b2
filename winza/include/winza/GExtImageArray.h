// The icon table of the file list and the folder dialog: three image lists that always hold
// the same icons, each drawn on its own background (default rows, selected rows and the
// dialog body), and one key per shell icon so that every extension is fetched once.
#pragma once

#include "fundo/GArray.h"
#include "winza/GImageList.h"

#include <windows.h>

// The first three icons: a storage root, a folder and a new folder.
constexpr int kExtIconRoot = 0;
constexpr int kExtIconFolder = 1;
constexpr int kExtIconNewFolder = 2;
// Icon 3 + i belongs to key i.
constexpr int kExtIconFirstKey = 3;

class GExtImageArray {
public:
    GExtImageArray() = default;
    GExtImageArray(const GExtImageArray&) = delete;
    GExtImageArray& operator=(const GExtImageArray&) = delete;
    ~GExtImageArray();

    // Creates the three lists and puts icons 0-2 into each; 0 when a list cannot be made.
    int Init(COLORREF defaultBack, COLORREF selectedBack);
    // The icon of a path: 0 for a missing path and for a plain folder; -1 when a new icon
    // could not be added.
    int GetExtImageIndex(LPCWSTR path);
    // The folder and name joined with a backslash first.
    int GetExtImageIndex(LPCWSTR folder, LPCWSTR name);
    void Destroy();

    GImageList* GetDefImageList() { return &m_ilDefault; }
    GImageList* GetSelImageList() { return &m_ilSelected; }
    GImageList* GetDlgBackImageList() { return &m_ilDlgBack; }
    int GetKeyCount() const { return m_aKeys.GetSize(); }
    LPCWSTR GetKey(int index) const { return static_cast<LPCWSTR>(m_aKeys.GetAt(index)); }

    // The key a path files its icon under: the whole path for a storage card and for "exe"
    // and "lnk" files, else the extension with its dot, or three backslashes without one.
    static void MakeKey(LPCWSTR path, DWORD attributes, WCHAR* key, int room);

private:
    // Appends the icon to all three lists; its index, or -1 (the lists stay as they were).
    int AddIcon(HICON icon);
    // Appends cell index of the standard icons, or an empty cell without them.
    void AddStandardIcon(int index);

    GImageList m_ilDefault;
    GImageList m_ilSelected;
    GImageList m_ilDlgBack;
    GArray m_aKeys;
};
