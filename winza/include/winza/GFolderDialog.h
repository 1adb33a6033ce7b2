// The folder chooser: a dialog holding a tree of the folders below a root, loaded lazily as
// branches open, with a new-folder button, OK and Cancel. A folder added with the button
// exists only in the tree until OK, which creates it on disk.
#pragma once

#include "winza/GDialog.h"
#include "winza/GExtImageArray.h"
#include "winza/GTreeCtrl.h"

enum eFolderDialogId {
    kFolderDlgNewFolder = 1027,
    kFolderDlgTree = 1237,
};

class GFolderDialog : public GDialog {
public:
    // Null title: toolkit text 25; null root path or label: text 24, the device root.
    GFolderDialog(LPCWSTR title, LPCWSTR rootPath, LPCWSTR rootLabel, LPCWSTR initialFolder);
    ~GFolderDialog() override;

    LPCWSTR GetClassNameW() override { return u"GFolderDialog"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void RecalcControl() override;

    // After OK: the chosen path, its last part, and whether OK made that folder.
    LPCWSTR GetPathName() const { return m_szPath; }
    LPCWSTR GetFolderName() const;
    int IsCreateFolder() const { return m_bCreated; }

    GTreeCtrl* GetTree() { return &m_tree; }
    GExtImageArray* GetExtImageArray() { return &m_extImages; }
    // Drops the tree and makes it again: the root and its folders.
    void RebuildTree();
    // Fills in the folders below the row unless its branch is loaded already.
    void LoadSubFolder(POSITION pos);
    // The row's folder path with a final backslash; 0 when it does not fit.
    int GetItemPath(POSITION pos, WCHAR* path);

protected:
    void OnNewFolder();
    int OnChoose();
    void EnableButton(int id, int on);
    int IsRootText(POSITION pos);
    // 1 when the folder holds a folder that would be listed.
    static int HasSubFolder(LPCWSTR folderWithSlash);

    GExtImageArray m_extImages;
    GTreeCtrl m_tree;
    WCHAR m_szRootLabel[MAX_PATH];
    int m_bCreated = 0;
    WCHAR m_szRootPath[MAX_PATH];
    WCHAR m_szPath[MAX_PATH];
    WCHAR m_szInitial[MAX_PATH];
};
