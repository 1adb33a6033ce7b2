// The toolkit's open and save dialog: a full-screen dialog with a path drop-down, buttons to
// go up a folder, make a new folder and switch multi-selection, a file-type drop-down built
// from a filter string, a name box and the file list of the current folder. The filter string
// has the form "description|pattern|description|pattern||"; patterns such as "*.jpg;*.jpeg".
#pragma once

#include "fundo/GArray.h"
#include "winza/GDialog.h"
#include "winza/GEdit.h"
#include "winza/GFileListCtrl.h"
#include "winza/GMenu.h"

#include <windows.h>

// Splits the filter into owned descriptions and patterns (AllocString copies), pair by pair,
// up to the empty description that ends it; a description without a pattern is dropped.
// Returns the number of pairs.
int ParseFileFilter(LPCWSTR filter, GArray* descriptions, GArray* patterns);
// Frees the owned strings and empties the array.
void FreeFilterStrings(GArray* strings);
// The filter to start with: the first whose pattern contains initial when one is given, else
// the last; -1 without patterns.
int ChooseFileFilter(const GArray& patterns, LPCWSTR initial);
// 1 when a file of this name is listed under the pattern: the name needs an extension (after
// its last dot) and the pattern must be "*.*" or hold an entry "*.ext" of that extension
// (case aside).
int IsFileInPattern(LPCWSTR pattern, LPCWSTR name);
// 1 when name can be a folder or file name: not empty and none of \ / : * ? " < > |.
int IsValidFileName(LPCWSTR name);

// Control ids of the file dialog.
enum eFileDialogId {
    kFileDlgMulti = 1025,
    kFileDlgUp = 1026,
    kFileDlgNewFolder = 1027,
    kFileDlgPath = 1028,
    kFileDlgType = 1029,
    kFileDlgName = 1032,
    kFileDlgList = 1034,
    kFileDlgTypeMenuFirst = 1136,
    // Path menu entries: the root, then one per path component.
    kFileDlgPathMenuFirst = 2000,
};

class GFileDialog : public GDialog {
public:
    GFileDialog(int open, LPCWSTR title, int multiSelect, LPCWSTR folder, LPCWSTR filter,
                LPCWSTR initial);
    ~GFileDialog() override;

    LPCWSTR GetClassNameW() override { return u"GFileDialog"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void RecalcControl() override;
    void DrawFrame(HDC hdc, RECT rect) override;
    // Lists the current folder again.
    virtual void ReloadFolder();

    // Current folder, a backslash and the first (or i-th) selected name; "" without one.
    LPCWSTR GetPathName();
    LPCWSTR GetPathName(int index);
    LPCWSTR GetFileName();
    LPCWSTR GetFileName(int index);
    int GetFileNumber() const { return m_aSelected.GetSize(); }
    LPCWSTR GetCurPath() const { return m_szCurPath; }

    GFileListCtrl* GetFileList() { return &m_fileList; }
    GEdit* GetNameEdit() { return &m_nameEdit; }
    int GetFilterIndex() const { return m_nFilter; }
    int GetFilterCount() const { return m_aPatterns.GetSize(); }
    LPCWSTR GetFilterPattern(int index) const;
    LPCWSTR GetFilterDescription(int index) const;
    // Makes another filter current, relabels the type button and reloads.
    void SetFilterIndex(int index);
    // Goes to a folder and reloads.
    void SetCurPath(LPCWSTR folder);
    int IsRootPath() const;

protected:
    void CreateControls();
    void OnUp();
    void OnPathMenu();
    void OnTypeMenu();
    void OnNewFolder();
    void OnMultiButton();
    void OnListTouched(POSITION pos);
    void OnListDoubleTap(POSITION pos);
    // A name typed (or changed) in the box becomes the selection when OK is pressed.
    void TakeTypedName();
    void ClearSelection();
    void AddSelection(LPCWSTR name);
    void RemoveSelection(LPCWSTR name);
    void SetButtonLabel(int id, LPCWSTR text, int shorten);
    // The screen rectangle of a button.
    RECT ButtonScreenRect(int id);
    LPCWSTR RootLabel() const;

    GFileListCtrl m_fileList;
    GMenu m_typeMenu;
    GEdit m_nameEdit;
    WCHAR m_szCurPath[MAX_PATH];
    WCHAR m_szResult[MAX_PATH];
    GArray m_aPatterns;
    GArray m_aSelected;
    int m_nFilter = -1;
    int m_bOpen;
    int m_bMultiSelect;
    WCHAR m_szInitial[MAX_PATH];
    WCHAR* m_pFilter = nullptr;
    GArray m_aDescriptions;
    RECT m_rcNameLabel{0, 0, 0, 0};
    RECT m_rcTypeLabel{0, 0, 0, 0};
};
