#include "FolderPassword.h"

#include "scribbo/GCustomMessageBox.h"
#include "scribbo/LanguageText.h"
#include "scribbo/Settings.h"

int AskFolderPassword(HWND parent, RECT strip, const std::function<void(int text)>& notice) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        GNameEditCtrl edit;
        edit.SetWindowRect(strip);
        edit.SetPassword(g_Settings.AdminPassword);
        const int result = edit.DoModal(parent, -1);
        if (result == 1)
            return 1;
        const int text = UnlockNoticeText(attempt, result);
        if (!text)
            return 0;
        if (notice)
            notice(text);
    }
    return 0;
}

void ShowUnlockNotice(HWND parent, int text) {
    AppMessageBox(parent, GetLangText(text), GetLangText(kUnlockCaptionText), eMBOk,
                  kUnlockNoticeMs, eBoxCentre, kUnlockNoticeAlpha, 1);
}
