#include "scribbo/GGlobalOptionDlg.h"

#include "scribbo/App.h"
#include "scribbo/LanguageText.h"
#include "scribbo/PageSizeMenu.h"
#include "scribbo/Settings.h"
#include "winza/DrawHelpers.h"
#include "winza/GFolderDialog.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"
#include "winza/GVButton.h"
#include "winza/Hires.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kLeftLine = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr int kTitleHeightStep = 2;

void CopyText(WCHAR* out, LPCWSTR text, int count = 260) {
    std::memset(out, 0, count * sizeof(WCHAR));
    if (text)
        wcsncpy(out, text, count - 1);
}

} // namespace

GGlobalOptionDlg::GGlobalOptionDlg() {
    // The body takes the application's standard font.
    m_hFont = AppFonts()->GetFont(eFontNormal14);
    CopyText(m_szBase, g_Settings.BaseDataFolder);
    CopyText(m_szNewMemo, g_Settings.DefNewMemoFolder);
    CopyText(m_szOldBase, u"");
    m_nWidth = g_Settings.ProgramWidth;
    m_nHeight = g_Settings.ProgramHeight;
    m_nTitleHeightValue = g_Settings.TitleHeight;
    m_nButtonSize = g_Settings.ButtonSize;
    CopyText(m_szPassword, g_Settings.AdminPassword, 32);
    m_header = g_Settings.DefaultTemplate;
    CopyText(m_szPicture, g_Settings.DefaultBackImagePath);
    m_nLoopAlarm = g_Settings.LoopAlarm;
    CopyText(m_szSound, g_Settings.DefAlarmSoundPath);
    CreateControls();
}

GGlobalOptionDlg::~GGlobalOptionDlg() = default;

void GGlobalOptionDlg::CreateControls() {
    auto plain = [this](int id, LPCWSTR text) {
        GVButton* b = AddVButton(id, -1, 0);
        b->SetLabel(text, kCentred, ApplyHires(2));
        b->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        return b;
    };
    plain(kGlobalOptDataFolder, u"...");
    plain(kGlobalOptNewMemoFolder, u"...");
    GVButton* size = plain(
        kGlobalOptSize, PageSizeText(kGlobalSizeFirst + GlobalPageSizeIndex(m_nWidth, m_nHeight)));
    size->SetFlag(1, eVBDropDown, nullptr, 0);
    AddVButton(kGlobalOptTitleHeight, -1, kDialogSpinButton)
        ->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
    const struct {
        int id;
        DWORD size;
        LPCWSTR text;
    } radios[] = {{kGlobalOptButton16, 16, u"16"},
                  {kGlobalOptButton24, 24, u"24"},
                  {kGlobalOptButton32, 32, u"32"}};
    for (const auto& r : radios) {
        GVButton* b = AddVButton(r.id, -1, 0);
        b->SetFrameImage(nullptr);
        b->SetFrameColor(1, GetGLibColor(79), GetGLibColor(79), GetGLibColor(79));
        b->SetLabel(r.text, kLeftLine, ApplyHires(2));
        b->SetFlag(1, eVBVisible | eVBEnabled | eVBRadio, nullptr, 0);
        b->SetFlag(r.size == m_nButtonSize, eVBChecked, nullptr, 0);
    }
    plain(kGlobalOptChangePassword, GetLangText(57));
    plain(kGlobalOptCheckPassword, GetLangText(58))->SetFlag(0, eVBVisible, nullptr, 0);
    plain(kGlobalOptClearPassword, GetLangText(59));
    plain(1, GetLangText(22));
    // The toolkit's own word for Cancel: the application's text table has none.
    plain(2, GetGLibText(2));
}

int GGlobalOptionDlg::LabelWidth(int dialogWidth) {
    // The widest of the row labels, so that no translation runs into its value; never more
    // than half the dialog.
    int widest = 0;
    if (HDC dc = ::GetDC(nullptr)) {
        HGDIOBJ old = m_hFont ? ::SelectObject(dc, m_hFont) : nullptr;
        for (int text : {51, 52, 53, 61}) {
            SIZE size{0, 0};
            LPCWSTR label = GetLangText(text);
            if (::GetTextExtentPoint32W(dc, label, lstrlenW(label), &size))
                widest = std::max<int>(widest, size.cx);
        }
        if (old)
            ::SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
    }
    return std::clamp(widest + ApplyHires(8), ApplyHires(78), dialogWidth / 2);
}

void GGlobalOptionDlg::RecalcControl() {
    const int width = m_rcDialog.right - m_rcDialog.left;
    const int height = m_rcDialog.bottom - m_rcDialog.top;
    const int m = ApplyHires(6);
    const int rowH = ApplyHires(22);
    const int step = rowH + ApplyHires(4);
    const int labelW = LabelWidth(width);
    const int right = width - m;
    const int dots = ApplyHires(26);
    int y = (m_bTitle ? m_nTitleHeight : ApplyHires(1)) + ApplyHires(8);
    m_labels.clear();
    auto place = [this](int id, int l, int t, int r, int b) {
        if (GVButton* button = FindVButton(id))
            button->SetRect(RECT{l, t, r, b});
    };
    auto label = [this](RECT rc, std::u16string text, UINT format) {
        m_labels.push_back(Label{rc, std::move(text), format});
        return static_cast<int>(m_labels.size()) - 1;
    };
    const int valueLeft = m + labelW;
    label(RECT{m, y, valueLeft, y + rowH}, GetLangText(51), kLeftLine);
    m_nBaseLabel = label(RECT{valueLeft, y, right - dots - ApplyHires(2), y + rowH}, u"",
                         kLeftLine | DT_END_ELLIPSIS);
    place(kGlobalOptDataFolder, right - dots, y, right, y + rowH);
    y += step;
    label(RECT{m, y, valueLeft, y + rowH}, GetLangText(52), kLeftLine);
    m_nNewMemoLabel = label(RECT{valueLeft, y, right - dots - ApplyHires(2), y + rowH}, u"",
                            kLeftLine | DT_END_ELLIPSIS);
    place(kGlobalOptNewMemoFolder, right - dots, y, right, y + rowH);
    y += step;
    label(RECT{m, y, valueLeft, y + rowH}, GetLangText(53), kLeftLine);
    place(kGlobalOptSize, valueLeft, y, right, y + rowH);
    y += step;
    const int spinW = ApplyHires(22);
    label(RECT{m, y, valueLeft, y + rowH}, GetLangText(61), kLeftLine);
    m_nTitleLabel = label(RECT{valueLeft, y, right - spinW - ApplyHires(6), y + rowH}, u"",
                          DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    place(kGlobalOptTitleHeight, right - spinW, y, right, y + rowH);
    y += step;
    label(RECT{m, y, valueLeft, y + rowH}, GetLangText(54), kLeftLine);
    // The three sizes need their room more than the short label beside them.
    const int radioLeft = std::min(valueLeft, m + ApplyHires(78));
    const int third = (right - radioLeft) / 3;
    for (int i = 0; i < 3; ++i)
        place(kGlobalOptButton16 + i, radioLeft + i * third, y, radioLeft + (i + 1) * third,
              y + rowH);
    y += step;
    label(RECT{m, y, right, y + rowH}, GetLangText(90), kLeftLine);
    y += step;
    const int mid = (m + right) / 2;
    place(kGlobalOptChangePassword, m, y, mid - ApplyHires(2), y + rowH);
    place(kGlobalOptCheckPassword, m, y, mid - ApplyHires(2), y + rowH);
    place(kGlobalOptClearPassword, mid + ApplyHires(2), y, right, y + rowH);
    m_rcPassword = RECT{m, y, right, y + rowH};
    y += step;
    // The line under the password buttons carries the questions of the password flow.
    label(RECT{m, y, right, y + rowH}, u"", kLeftLine | DT_END_ELLIPSIS);
    const int buttonW = ApplyHires(64);
    const int bottom = height - ApplyHires(8);
    const int top = bottom - GetButtonHeight();
    const int gap = ApplyHires(20);
    const int left = (width - 2 * buttonW - gap) / 2;
    place(1, left, top, left + buttonW, bottom);
    place(2, left + buttonW + gap, top, left + 2 * buttonW + gap, bottom);
    UpdateTexts();
}

void GGlobalOptionDlg::UpdateTexts() {
    const int count = static_cast<int>(m_labels.size());
    if (m_nBaseLabel >= 0 && m_nBaseLabel < count)
        m_labels[m_nBaseLabel].text = m_szBase;
    if (m_nNewMemoLabel >= 0 && m_nNewMemoLabel < count)
        m_labels[m_nNewMemoLabel].text = m_szNewMemo[0] ? m_szNewMemo : m_szBase;
    if (m_nTitleLabel >= 0 && m_nTitleLabel < count) {
        WCHAR text[16];
        wsprintfW(text, u"%d", int(m_nTitleHeightValue));
        m_labels[m_nTitleLabel].text = text;
    }
    if (count > 0)
        m_labels.back().text = m_prompt;
}

void GGlobalOptionDlg::DrawButton(HDC hdc, RECT clip) {
    const COLORREF old = ::SetTextColor(hdc, RGB(0, 0, 0));
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    for (const Label& l : m_labels) {
        RECT rc = l.rect;
        ::DrawTextW(hdc, l.text.c_str(), -1, &rc, l.format);
    }
    ::SetBkMode(hdc, oldMode);
    ::SetTextColor(hdc, old);
    GDialog::DrawButton(hdc, clip);
}

void GGlobalOptionDlg::Repaint() {
    UpdateTexts();
    if (m_hWnd)
        Invalidate(0);
}

void GGlobalOptionDlg::ChooseFolder(int newMemoFolder) {
    WCHAR initial[260];
    if (newMemoFolder && m_szNewMemo[0] && m_szNewMemo[0] != u'\\') {
        // A relative folder lies below the data folder.
        CopyText(initial, m_szBase);
        wcsncat(initial, u"\\", 259 - wcslen(initial));
        wcsncat(initial, m_szNewMemo, 259 - wcslen(initial));
    } else {
        CopyText(initial, newMemoFolder ? m_szNewMemo : m_szBase);
    }
    GFolderDialog dlg(GetLangText(newMemoFolder ? 56 : 55), newMemoFolder ? m_szBase : nullptr,
                      nullptr, initial);
    if (m_hFont)
        dlg.SetFont(m_hFont);
    if (dlg.DoModal(m_hWnd, 0) != 1 || !dlg.GetPathName()[0]) {
        Repaint();
        return;
    }
    if (dlg.IsCreateFolder())
        m_bFoldersChanged = 1;
    LPCWSTR chosen = dlg.GetPathName();
    if (!newMemoFolder) {
        CopyText(m_szBase, chosen);
    } else {
        const size_t n = wcslen(m_szBase);
        if (n > 0 && _wcsnicmp(chosen, m_szBase, n) == 0 &&
            (chosen[n] == 0 || chosen[n] == u'\\')) {
            LPCWSTR rest = chosen + n;
            while (*rest == u'\\')
                ++rest;
            CopyText(m_szNewMemo, rest);
        } else {
            CopyText(m_szNewMemo, chosen);
        }
    }
    Repaint();
}

void GGlobalOptionDlg::OnSize(GVButton* button) {
    button->SetFlag(!button->GetFlag(eVBChecked), eVBChecked, nullptr, 0);
    if (!button->GetFlag(eVBChecked))
        return;
    Repaint();
    const int chosen = TrackPageSizeMenu(this, button, 0, int(m_nWidth), int(m_nHeight));
    button->SetFlag(0, eVBChecked | eVBPressState, nullptr, 0);
    int w = 0, h = 0;
    if (chosen >= kGlobalSizeFirst && chosen <= kGlobalSizeOther &&
        PageSizeOfChoice(chosen, &w, &h)) {
        button->SetLabel(PageSizeText(chosen), kCentred, ApplyHires(2));
        m_nWidth = DWORD(w);
        m_nHeight = DWORD(h);
    }
    Repaint();
}

void GGlobalOptionDlg::OnSpin(int up) {
    const int low = ApplyHires(20);
    const int high = ApplyHires(100);
    int v = int(m_nTitleHeightValue);
    v = up ? std::min(v + kTitleHeightStep, high) : std::max(v - kTitleHeightStep, low);
    m_nTitleHeightValue = DWORD(v);
    Repaint();
}

void GGlobalOptionDlg::ApplyOK() {
    if (_wcsicmp(m_szBase, g_Settings.BaseDataFolder) != 0) {
        CopyText(m_szOldBase, g_Settings.BaseDataFolder);
        m_bFoldersChanged = 1;
    }
    if (!m_szNewMemo[0])
        CopyText(m_szNewMemo, m_szBase);
    CopyText(g_Settings.BaseDataFolder, m_szBase);
    CopyText(g_Settings.DefNewMemoFolder, m_szNewMemo);
    g_Settings.DefaultTemplate = m_header;
    CopyText(g_Settings.DefaultBackImagePath, m_szPicture);
    g_Settings.ProgramWidth = m_nWidth;
    g_Settings.ProgramHeight = m_nHeight;
    g_Settings.TitleHeight = m_nTitleHeightValue;
    const int size = GetRadioSelect(kGlobalOptButton16);
    if (size >= kGlobalOptButton16 && size <= kGlobalOptButton32)
        m_nButtonSize = DWORD(16 + 8 * (size - kGlobalOptButton16));
    g_Settings.ButtonSize = m_nButtonSize;
    CopyText(g_Settings.AdminPassword, m_szPassword, 32);
    g_Settings.LoopAlarm = m_nLoopAlarm;
    CopyText(g_Settings.DefAlarmSoundPath, m_szSound);
}

LRESULT GGlobalOptionDlg::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == kGlobalOptTitleHeight &&
            (code == eVBCodeSpinFirst || code == eVBCodeSpinSecond)) {
            OnSpin(code == eVBCodeSpinFirst);
            return 0;
        }
        if (code == eVBCodeClick && id == 1) {
            ApplyOK();
            return OnOK();
        }
        if (code == eVBCodeClick) {
            const LRESULT r = GDialog::WndProc(hwnd, msg, wParam, lParam);
            switch (id) {
                case kGlobalOptDataFolder:
                    ChooseFolder(0);
                    break;
                case kGlobalOptNewMemoFolder:
                    ChooseFolder(1);
                    break;
                case kGlobalOptSize:
                    if (GVButton* b = FindVButton(id))
                        OnSize(b);
                    break;
                case kGlobalOptChangePassword:
                    ChangePassword();
                    break;
                case kGlobalOptClearPassword:
                    ClearPassword();
                    break;
                default:
                    break;
            }
            return r;
        }
    }
    return GDialog::WndProc(hwnd, msg, wParam, lParam);
}
