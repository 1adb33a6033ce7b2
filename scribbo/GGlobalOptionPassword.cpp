// The list lock password of the program settings: asked for before it is changed or cleared,
// a new one typed twice alike. Only the dialog's working copy changes; OK stores it.
#include "scribbo/GCustomMessageBox.h"
#include "scribbo/GGlobalOptionDlg.h"
#include "scribbo/LanguageText.h"
#include "winza/GNameEditCtrl.h"
#include "winza/Hires.h"

#include <cstring>

namespace {

// The entry box shows stars whether or not it checks the text against a password.
class MaskedEntry : public GNameEditCtrl {
public:
    void RecalcDialog(HWND parent) override {
        GNameEditCtrl::RecalcDialog(parent);
        GetEdit()->SetPasswordChar(u'*');
    }
};

constexpr int kTries = 3;
// The password is kept in 32 bytes of the registry: 15 characters.
constexpr int kPasswordChars = 15;
constexpr int kNoticeMs = 3000;

} // namespace

void GGlobalOptionDlg::Notice(int textIndex) {
    AppMessageBox(m_hWnd, GetLangText(textIndex), GetLangText(22), 0, kNoticeMs, 0, 255, 0);
}

int GGlobalOptionDlg::AskText(int promptIndex, LPCWSTR password, WCHAR* out) {
    out[0] = 0;
    MaskedEntry entry;
    RECT at = m_rcPassword;
    ClientToScreen(&at);
    entry.SetWindowRect(at);
    if (m_hFont)
        entry.SetFont(m_hFont);
    entry.SetPassword(password);
    m_prompt = GetLangText(promptIndex);
    Repaint();
    const int result = entry.DoModal(m_hWnd, -1);
    // The release of a key that ended the entry belongs to it, not to this dialog.
    m_bKeyValid = entry.IsEndedByKey() ? 0 : 1;
    m_prompt.clear();
    Repaint();
    if (result == 1)
        lstrcpynW(out, entry.GetName(), kPasswordChars + 1);
    return result;
}

int GGlobalOptionDlg::AskCurrentPassword() {
    if (!m_szPassword[0])
        return 1;
    WCHAR typed[MAX_PATH];
    for (int i = 0; i < kTries; ++i) {
        const int result = AskText(58, m_szPassword, typed);
        if (result == 1)
            return 1;
        if (result != kNameEditEmpty && result != kNameEditWrong)
            return 0;
        Notice(result == kNameEditEmpty ? 12 : 15);
    }
    return 0;
}

int GGlobalOptionDlg::ChangePassword() {
    if (!AskCurrentPassword())
        return 0;
    WCHAR first[MAX_PATH], second[MAX_PATH];
    if (AskText(91, nullptr, first) != 1)
        return 0;
    if (!first[0]) {
        Notice(12);
        return 0;
    }
    if (AskText(93, nullptr, second) != 1)
        return 0;
    if (wcscmp(first, second) != 0) {
        Notice(94);
        return 0;
    }
    std::memset(m_szPassword, 0, sizeof m_szPassword);
    lstrcpynW(m_szPassword, first, kPasswordChars + 1);
    Notice(92);
    return 1;
}

int GGlobalOptionDlg::ClearPassword() {
    if (!m_szPassword[0] || !AskCurrentPassword())
        return 0;
    std::memset(m_szPassword, 0, sizeof m_szPassword);
    return 1;
}
