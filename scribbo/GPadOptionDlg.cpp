#include "scribbo/GPadOptionDlg.h"

#include "scribbo/GColorButton.h"
#include "scribbo/GColorMenu.h"
#include "scribbo/GImageFileDlg.h"
#include "scribbo/GPadDrawMan.h"
#include "scribbo/LanguageText.h"
#include "scribbo/PageSizeMenu.h"
#include "scribbo/Settings.h"
#include "picta/GImage.h"
#include "winza/DrawHelpers.h"
#include "winza/GLib.h"
#include "winza/GVButton.h"
#include "winza/Hires.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kLeftLine = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
constexpr int kAlphaStep = 16;
constexpr int kAlphaMin = 16;
constexpr int kAlphaMax = 255;

// Switches with the header bit they stand for and the controls they enable.
struct SwitchInfo {
    int id;
    int textIndex;
    DWORD bit;
    int firstDependent, lastDependent;
};
constexpr SwitchInfo kSwitches[] = {
    {kPadOptPicture, 65, eTFPicture, kPadOptKeepAspect, kPadOptChoosePicture},
    {kPadOptKeepAspect, 66, eTFKeepAspect, 0, -1},
    {kPadOptEmbed, 67, eTFEmbedPicture, 0, -1},
    {kPadOptTitleLine, 70, eTFTitleLine, 2021, 2023},
    {kPadOptLines, 72, eTFLines, 2025, 2027},
    {kPadOptTitleColumn, 74, eTFTitleColumn, 2029, 2031},
    {kPadOptColumns, 76, eTFColumns, 2033, 2035},
};

const SwitchInfo* FindSwitch(int id) {
    for (const SwitchInfo& s : kSwitches)
        if (s.id == id)
            return &s;
    return nullptr;
}

void CopyText(WCHAR* out, LPCWSTR text) {
    std::memset(out, 0, 260 * sizeof(WCHAR));
    if (text)
        wcsncpy(out, text, 259);
}

LPCWSTR FileNameOf(LPCWSTR path) {
    LPCWSTR slash = wcsrchr(path, u'\\');
    return slash ? slash + 1 : path;
}

} // namespace

GPadOptionDlg::GPadOptionDlg(GPadDrawMan* memo) : m_pMemo(memo) {
    if (memo) {
        m_header = *memo->GetTemplate();
        CopyText(m_szPicture, memo->GetBackImagePath());
        const AlarmBlock* alarm = memo->GetAlarm();
        m_bLoopAlarm = alarm->Repeat;
        CopyText(m_szSound,
                 alarm->HasSoundPath ? memo->GetSoundPath() : g_Settings.DefAlarmSoundPath);
    } else {
        m_header = g_Settings.DefaultTemplate;
        CopyText(m_szPicture, g_Settings.DefaultBackImagePath);
        m_bLoopAlarm = g_Settings.LoopAlarm ? 1 : 0;
        CopyText(m_szSound, g_Settings.DefAlarmSoundPath);
    }
    SetTitle(0, nullptr, ApplyHires(4));
    CreateControls();
}

GPadOptionDlg::~GPadOptionDlg() = default;

GVButton* GPadOptionDlg::AddSwitch(int id, int textIndex, DWORD bit) {
    GVButton* b = AddVButton(id, -1, 0);
    b->SetFrameImage(nullptr);
    // A switch shows its state by its check box alone, never by a pressed-in frame.
    b->SetFrameColor(1, GetGLibColor(79), GetGLibColor(79), GetGLibColor(79));
    b->SetLabel(GetLangText(textIndex), kLeftLine, ApplyHires(2));
    b->SetFlag(1, eVBVisible | eVBEnabled | eVBCheckBox, nullptr, 0);
    b->SetFlag((m_header.Flags & bit) != 0, eVBChecked, nullptr, 0);
    m_switches.push_back(b);
    return b;
}

GColorButton* GPadOptionDlg::AddColorButton(int id, COLORREF colour) {
    auto* b = new GColorButton(id);
    b->Create(RECT{0, 0, 0, 0}, id);
    b->SetColor(colour);
    b->SetFrameColor(1, GetGLibColor(79), GetGLibColor(9), GetGLibColor(9));
    b->SetFlag(1, eVBVisible | eVBEnabled | eVBDropDown, nullptr, 0);
    m_arButtons.Add(b);
    m_colorButtons.push_back(b);
    return b;
}

void GPadOptionDlg::CreateControls() {
    GVButton* size = AddVButton(kPadOptPageSize, -1, 0);
    size->SetFlag(1, eVBVisible | eVBEnabled | eVBDropDown, nullptr, 0);
    int w = 0, h = 0;
    const int index = PadPageSizeIndex(m_header.PageWidth, m_header.PageHeight);
    PageSizeOfChoice(kPadSizeScreen + index, &w, &h);
    size->SetLabel(PageSizeText(kPadSizeScreen + index), DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                   ApplyHires(2));
    AddColorButton(kPadOptBackColor, m_header.BackColor);
    AddSwitch(kPadOptPicture, 65, eTFPicture);
    AddSwitch(kPadOptKeepAspect, 66, eTFKeepAspect);
    AddSwitch(kPadOptEmbed, 67, eTFEmbedPicture);
    AddVButton(kPadOptAlpha, -1, kDialogSpinButton)
        ->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    GVButton* pick = AddVButton(kPadOptChoosePicture, -1, 0);
    pick->SetLabel(GetLangText(69), DT_CENTER | DT_VCENTER | DT_SINGLELINE, ApplyHires(2));
    pick->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    AddSwitch(kPadOptTitleLine, 70, eTFTitleLine);
    AddColorButton(kPadOptTitleLineColor, m_header.TitleHorLineColor);
    AddSwitch(kPadOptLines, 72, eTFLines);
    AddColorButton(kPadOptLinesColor, m_header.HorLineColor);
    AddSwitch(kPadOptTitleColumn, 74, eTFTitleColumn);
    AddColorButton(kPadOptTitleColumnColor, m_header.TitleVerLineColor);
    AddSwitch(kPadOptColumns, 76, eTFColumns);
    AddColorButton(kPadOptColumnsColor, m_header.VerLineColor);
    const int texts[2] = {22, -1};
    for (int id = 1; id <= 2; ++id) {
        GVButton* b = AddVButton(id, -1, 0);
        // The toolkit's own word for Cancel: the application's text table has none.
        b->SetLabel(texts[id - 1] >= 0 ? GetLangText(texts[id - 1]) : GetGLibText(2),
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE, ApplyHires(2));
        b->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    }
    for (const SwitchInfo& s : kSwitches)
        EnableDependents(s.id);
}

void GPadOptionDlg::RecalcControl() {
    const int width = m_rcDialog.right - m_rcDialog.left;
    const int height = m_rcDialog.bottom - m_rcDialog.top;
    const int m = ApplyHires(6);
    const int rowH = ApplyHires(20);
    const int step = rowH + ApplyHires(2);
    const int indent = ApplyHires(12);
    const int mid = width / 2;
    const int right = width - m;
    // The colour and size buttons keep a narrow column, so the longer labels fit beside them.
    const int col = right - ApplyHires(84);
    int y = m_nTitleHeight + ApplyHires(6);
    m_labels.clear();
    auto place = [this](int id, int l, int t, int r, int b) {
        if (GVButton* button = FindVButton(id))
            button->SetRect(RECT{l, t, r, b});
    };
    auto label = [this](RECT rc, std::u16string text, UINT format, int control = 0) {
        m_labels.push_back(Label{rc, std::move(text), format, control});
        return static_cast<int>(m_labels.size()) - 1;
    };
    label(RECT{m, y, col, y + rowH}, GetLangText(62), kLeftLine);
    place(kPadOptPageSize, col, y, right, y + rowH);
    y += step;
    label(RECT{m, y, col, y + rowH}, GetLangText(63), kLeftLine);
    place(kPadOptBackColor, col, y, right, y + rowH);
    y += step;
    place(kPadOptPicture, m, y, right, y + rowH);
    y += step;
    place(kPadOptKeepAspect, m + indent, y, right, y + rowH);
    y += step;
    place(kPadOptEmbed, m + indent, y, right, y + rowH);
    y += step;
    const int spinW = ApplyHires(22);
    const int valueLeft = right - spinW - ApplyHires(44);
    label(RECT{m + indent, y, valueLeft, y + rowH}, GetLangText(68), kLeftLine, kPadOptAlpha);
    m_nAlphaLabel = label(RECT{valueLeft, y, right - spinW - ApplyHires(4), y + rowH}, u"",
                          DT_RIGHT | DT_VCENTER | DT_SINGLELINE, kPadOptAlpha);
    place(kPadOptAlpha, right - spinW, y, right, y + rowH);
    y += step;
    place(kPadOptChoosePicture, m + indent, y, mid + ApplyHires(10), y + rowH);
    m_nPictureLabel = label(RECT{mid + ApplyHires(14), y, right, y + rowH}, u"",
                            kLeftLine | DT_END_ELLIPSIS, kPadOptChoosePicture);
    y += step;
    const int lines[4][2] = {{kPadOptTitleLine, kPadOptTitleLineColor},
                             {kPadOptLines, kPadOptLinesColor},
                             {kPadOptTitleColumn, kPadOptTitleColumnColor},
                             {kPadOptColumns, kPadOptColumnsColor}};
    for (const auto& line : lines) {
        place(line[0], m, y, col - ApplyHires(2), y + rowH);
        place(line[1], col, y, right, y + rowH);
        y += step;
    }
    const int buttonW = ApplyHires(64);
    const int bottom = height - ApplyHires(8);
    const int top = bottom - GetButtonHeight();
    const int gap = ApplyHires(20);
    const int left = (width - 2 * buttonW - gap) / 2;
    place(1, left, top, left + buttonW, bottom);
    place(2, left + buttonW + gap, top, left + 2 * buttonW + gap, bottom);
    UpdateTexts();
}

void GPadOptionDlg::UpdateTexts() {
    if (m_nAlphaLabel >= 0 && m_nAlphaLabel < static_cast<int>(m_labels.size())) {
        WCHAR text[32];
        wsprintfW(text, u"%d %%", int(m_header.BackImageAlpha));
        m_labels[m_nAlphaLabel].text = text;
    }
    if (m_nPictureLabel >= 0 && m_nPictureLabel < static_cast<int>(m_labels.size()))
        m_labels[m_nPictureLabel].text =
            m_szPicture[0] ? FileNameOf(m_szPicture) : GetLangText(102);
}

void GPadOptionDlg::DrawButton(HDC hdc, RECT clip) {
    const COLORREF old = ::SetTextColor(hdc, RGB(0, 0, 0));
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    for (const Label& l : m_labels) {
        RECT rc = l.rect;
        const GVButton* control = l.control ? FindVButton(l.control) : nullptr;
        ::SetTextColor(hdc, control && !control->GetFlag(eVBEnabled) ? 0x989898 : RGB(0, 0, 0));
        ::DrawTextW(hdc, l.text.c_str(), -1, &rc, l.format);
    }
    ::SetBkMode(hdc, oldMode);
    ::SetTextColor(hdc, old);
    GDialog::DrawButton(hdc, clip);
}

void GPadOptionDlg::Repaint() {
    if (m_hWnd)
        Invalidate(0);
}

void GPadOptionDlg::EnableDependents(int switchId) {
    const SwitchInfo* s = FindSwitch(switchId);
    GVButton* b = FindVButton(switchId);
    if (!s || !b)
        return;
    const int on = b->GetFlag(eVBChecked) && b->GetFlag(eVBEnabled);
    for (int id = s->firstDependent; id <= s->lastDependent; ++id) {
        GVButton* d = FindVButton(id);
        if (!d)
            continue;
        d->SetFlag(on, eVBEnabled, nullptr, 0);
        // A switch that is switched off with its parent takes its own dependents along.
        if (FindSwitch(id))
            EnableDependents(id);
    }
}

void GPadOptionDlg::OnSwitch(GVButton* button) {
    const SwitchInfo* s = FindSwitch(button->GetID());
    if (!s)
        return;
    if (button->GetFlag(eVBChecked))
        m_header.Flags |= s->bit;
    else
        m_header.Flags &= ~s->bit;
    EnableDependents(s->id);
    Repaint();
}

void GPadOptionDlg::OnSpin(int up) {
    int alpha = m_header.BackImageAlpha;
    alpha = up ? std::min(alpha + kAlphaStep, kAlphaMax) : std::max(alpha - kAlphaStep, kAlphaMin);
    m_header.BackImageAlpha = BYTE(alpha);
    UpdateTexts();
    Repaint();
}

void GPadOptionDlg::OnPageSize(GVButton* button) {
    // A tap checks the drop-down; the menu opens only then, and it is unchecked afterwards.
    button->SetFlag(!button->GetFlag(eVBChecked), eVBChecked, nullptr, 0);
    if (!button->GetFlag(eVBChecked))
        return;
    Repaint();
    const int chosen = TrackPageSizeMenu(this, button, 1, m_header.PageWidth, m_header.PageHeight);
    button->SetFlag(0, eVBChecked | eVBPressState, nullptr, 0);
    int w = 0, h = 0;
    if (PageSizeOfChoice(chosen, &w, &h) && chosen >= kPadSizeScreen) {
        button->SetLabel(PageSizeText(chosen), DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                         ApplyHires(2));
        m_header.PageWidth = WORD(w);
        m_header.PageHeight = WORD(h);
    }
    Repaint();
}

void GPadOptionDlg::ChooseColor(GColorButton* button, COLORREF* field, int paletteColumn) {
    if (!button || !field)
        return;
    button->SetFlag(!button->GetFlag(eVBChecked), eVBChecked, nullptr, 0);
    if (!button->GetFlag(eVBChecked))
        return;
    Repaint();
    GColorMenu menu;
    GCustomColorMenu grid;
    int result = -1;
    if (m_hWnd && menu.CreateMenu(m_hWnd, this) && grid.CreateMenu(m_hWnd, this)) {
        menu.SetFont(m_hFont);
        grid.SetFont(m_hFont);
        menu.SetIconWidth(0);
        const RECT rc = button->GetRect();
        menu.SetMinWidth(rc.right - rc.left - ApplyHires(2));
        BuildPaletteColorMenu(&menu, &grid, kColorChoiceId, paletteColumn, *field);
        POINT at{rc.right, m_nTitleHeight};
        ClientToScreen(&at);
        result = menu.TrackPopupGMenu(264, at.x, at.y, 0);
    }
    button->SetFlag(0, eVBChecked | eVBPressState, nullptr, 0);
    button->SetFrameColor(1, GetGLibColor(79), GetGLibColor(9), GetGLibColor(9));
    if (result == kColorChoiceId) {
        *field = menu.GetCurColor();
        button->SetColor(*field);
    }
    // The submenu goes before the menu that points at it.
    grid.DestroyMenu();
    menu.DestroyMenu();
    Repaint();
}

void GPadOptionDlg::OnChoosePicture() {
    GImageFileDlg dlg(1, g_Settings.BackImageFolder, kImageFileFilter);
    dlg.SetTitle(1, GetLangText(82), ApplyHires(26));
    if (dlg.DoModal(m_hWnd, 0) == 1 && dlg.GetPathName()[0]) {
        CopyText(m_szPicture, dlg.GetPathName());
        CopyText(g_Settings.BackImageFolder, dlg.GetCurPath());
        UpdateTexts();
    }
    Repaint();
}

void GPadOptionDlg::ApplyOK() {
    if (m_pMemo) {
        TemplateHeader* memoHeader = m_pMemo->GetTemplate();
        if (std::memcmp(memoHeader, &m_header, sizeof m_header) != 0) {
            *memoHeader = m_header;
            m_pMemo->SetHeaderChanged(1);
        }
        // The picture is read again only when it is another one or not loaded.
        if (!(m_header.Flags & eTFPicture))
            m_pMemo->SetBackImage(u"");
        else if (!m_pMemo->GetBackImage() || wcscmp(m_szPicture, m_pMemo->GetBackImagePath()) != 0)
            m_pMemo->SetBackImage(m_szPicture);
        // The switch may have been refused with the picture.
        m_header = *m_pMemo->GetTemplate();
        return;
    }
    if (!(m_header.Flags & eTFPicture))
        return;
    GImage probe;
    int w = 0, h = 0;
    if (m_szPicture[0] && probe.PreLoad(m_szPicture, w, h)) {
        m_header.HasBackImage = 1;
        m_header.BackImageSize = probe.GetFileSize();
        m_header.BackImageFormat = DWORD(probe.GetImageFormat());
    } else {
        m_header.Flags &= ~DWORD(eTFPicture);
    }
}

LRESULT GPadOptionDlg::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == kPadOptAlpha && (code == eVBCodeSpinFirst || code == eVBCodeSpinSecond)) {
            OnSpin(code == eVBCodeSpinFirst);
            return 0;
        }
        if (code == eVBCodeClick && id == 1) {
            ApplyOK();
            return OnOK();
        }
        if (code == eVBCodeClick) {
            // The toolkit flips a switch's check mark first.
            const LRESULT r = GDialog::WndProc(hwnd, msg, wParam, lParam);
            GVButton* b = FindVButton(id);
            if (!b)
                return r;
            switch (id) {
                case kPadOptPageSize:
                    OnPageSize(b);
                    break;
                case kPadOptBackColor:
                    ChooseColor(static_cast<GColorButton*>(b), &m_header.BackColor, 0);
                    break;
                case kPadOptTitleLineColor:
                    ChooseColor(static_cast<GColorButton*>(b), &m_header.TitleHorLineColor, 4);
                    break;
                case kPadOptLinesColor:
                    ChooseColor(static_cast<GColorButton*>(b), &m_header.HorLineColor, 2);
                    break;
                case kPadOptTitleColumnColor:
                    ChooseColor(static_cast<GColorButton*>(b), &m_header.TitleVerLineColor, 4);
                    break;
                case kPadOptColumnsColor:
                    ChooseColor(static_cast<GColorButton*>(b), &m_header.VerLineColor, 2);
                    break;
                case kPadOptChoosePicture:
                    OnChoosePicture();
                    break;
                default:
                    OnSwitch(b);
                    break;
            }
            return r;
        }
    }
    return GDialog::WndProc(hwnd, msg, wParam, lParam);
}
