// The program's settings: the memo folders, the window size, the title row height, the tool
// bar button size, the list lock password; the default paper and alarm defaults are carried
// through unchanged. Works on copies; OK writes them back to g_Settings.
#pragma once

#include "scribbo/TemplateHeader.h"
#include "winza/GDialog.h"

#include <string>
#include <vector>

enum eGlobalOptionId {
    kGlobalOptSize = 2001,
    kGlobalOptTitleHeight = 2002,
    kGlobalOptButton16 = 2003,
    kGlobalOptButton24 = 2004,
    kGlobalOptButton32 = 2005,
    kGlobalOptDataFolder = 2007,
    kGlobalOptNewMemoFolder = 2009,
    kGlobalOptChangePassword = 2010,
    kGlobalOptCheckPassword = 2011,
    kGlobalOptClearPassword = 2012,
};

class GGlobalOptionDlg : public GDialog {
public:
    GGlobalOptionDlg();
    ~GGlobalOptionDlg() override;

    LPCWSTR GetClassNameW() override { return u"GGlobalOptionDlg"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void RecalcControl() override;
    void DrawButton(HDC hdc, RECT clip) override;

    // After OK: whether the folders changed (the lists are to be rebuilt) and the data folder
    // that was in use before, for the memo store to move from.
    int IsFoldersChanged() const { return m_bFoldersChanged; }
    LPCWSTR GetOldBaseDataFolder() const { return m_szOldBase; }
    LPCWSTR GetPassword() const { return m_szPassword; }
    LPCWSTR GetBaseDataFolder() const { return m_szBase; }
    LPCWSTR GetNewMemoFolder() const { return m_szNewMemo; }
    DWORD GetTitleHeight() const { return m_nTitleHeightValue; }

    // The password buttons' flows; each changes only the working copy and reports 1 when it
    // changed it. The current password is asked for first (when there is one); a new one must
    // be typed twice alike.
    int ChangePassword();
    int ClearPassword();
    // Asks for the current password: 1 when it was typed right (or there is none).
    int AskCurrentPassword();

protected:
    struct Label {
        RECT rect;
        std::u16string text;
        UINT format;
    };
    void CreateControls();
    // Width of the label column: the widest row label in the dialog's font.
    int LabelWidth(int dialogWidth);
    void ChooseFolder(int newMemoFolder);
    void OnSize(GVButton* button);
    void OnSpin(int up);
    void ApplyOK();
    void UpdateTexts();
    void Repaint();
    // Runs a one-line entry over the password row with the prompt above it; the text typed
    // (masked) on OK, empty on Cancel. password non-empty: checked against it (result 1/3/4).
    int AskText(int promptIndex, LPCWSTR password, WCHAR* out);
    void Notice(int textIndex);

    WCHAR m_szBase[260];
    WCHAR m_szNewMemo[260];
    WCHAR m_szOldBase[260];
    DWORD m_nWidth, m_nHeight;
    DWORD m_nTitleHeightValue;
    DWORD m_nButtonSize;
    WCHAR m_szPassword[32];
    TemplateHeader m_header;
    WCHAR m_szPicture[260];
    DWORD m_nLoopAlarm;
    WCHAR m_szSound[260];
    int m_bFoldersChanged = 0;
    std::vector<Label> m_labels;
    int m_nBaseLabel = -1;
    int m_nNewMemoLabel = -1;
    int m_nTitleLabel = -1;
    RECT m_rcPassword{0, 0, 0, 0};
    std::u16string m_prompt;
};
