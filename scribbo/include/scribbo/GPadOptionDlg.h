// The paper of one memo, or of the default template: page size, paper colour, background
// picture with its opacity and switches, and the four ruled lines with their colours.
//
// Entry point (the pad view's paper command):
//
//     GPadOptionDlg dlg(memo);              // the open memo, or null for the default paper
//     if (dlg.DoModal(parentHwnd, 0) == 1)  // 1 = OK, 2 = Cancel (nothing changed)
//         ...re-lay the pages and repaint the memo...
//
// On OK with a memo, the memo's TemplateHeader is replaced when any byte differs (and the memo
// is marked changed), then its picture is loaded from the chosen path when the picture switch
// is on, or removed. Without a memo the dialog changes nothing outside itself: GetTemplate()
// and GetPicturePath() hold the new default for the caller to store; a picture that cannot be
// read leaves the picture switch off.
#pragma once

#include "scribbo/TemplateHeader.h"
#include "winza/GDialog.h"

#include <string>
#include <vector>

class GColorButton;
class GPadDrawMan;

// Command ids of the paper dialog's controls.
enum ePadOptionId {
    kPadOptPageSize = 2013,
    kPadOptBackColor = 2014,
    kPadOptPicture = 2015,
    kPadOptKeepAspect = 2016,
    kPadOptEmbed = 2017,
    kPadOptAlpha = 2018,
    kPadOptChoosePicture = 2019,
    kPadOptTitleLine = 2020,
    kPadOptTitleLineColor = 2021,
    kPadOptLines = 2024,
    kPadOptLinesColor = 2025,
    kPadOptTitleColumn = 2028,
    kPadOptTitleColumnColor = 2029,
    kPadOptColumns = 2032,
    kPadOptColumnsColor = 2033,
    // Id of every swatch of the colour menus.
    kColorChoiceId = 1130,
};

class GPadOptionDlg : public GDialog {
public:
    explicit GPadOptionDlg(GPadDrawMan* memo);
    ~GPadOptionDlg() override;

    LPCWSTR GetClassNameW() override { return u"GPadOptionDlg"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void RecalcControl() override;
    void DrawButton(HDC hdc, RECT clip) override;

    const TemplateHeader& GetTemplate() const { return m_header; }
    LPCWSTR GetPicturePath() const { return m_szPicture; }
    int GetLoopAlarm() const { return m_bLoopAlarm; }
    LPCWSTR GetSoundPath() const { return m_szSound; }

    // Opens the colour menu of a colour button (when a tap left it checked) and stores a choice
    // in field; palette column 0 paper, 4 title lines, 2 writing and column lines.
    void ChooseColor(GColorButton* button, COLORREF* field, int paletteColumn);

protected:
    struct Label {
        RECT rect;
        std::u16string text;
        UINT format;
        // The control whose enabled state the label follows (0: always black).
        int control;
    };
    void CreateControls();
    GVButton* AddSwitch(int id, int textIndex, DWORD bit);
    GColorButton* AddColorButton(int id, COLORREF colour);
    void EnableDependents(int switchId);
    void OnSwitch(GVButton* button);
    void OnSpin(int up);
    void OnPageSize(GVButton* button);
    void OnChoosePicture();
    // Takes the working copies into the memo (or probes the picture); then the dialog ends.
    void ApplyOK();
    void UpdateTexts();
    void Repaint();

    GPadDrawMan* m_pMemo;
    TemplateHeader m_header;
    WCHAR m_szPicture[260];
    int m_bLoopAlarm = 0;
    WCHAR m_szSound[260];
    std::vector<GVButton*> m_switches;
    std::vector<GColorButton*> m_colorButtons;
    std::vector<Label> m_labels;
    int m_nAlphaLabel = -1;
    int m_nPictureLabel = -1;
};
