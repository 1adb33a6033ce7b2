// The password entry of a locked folder, one flow for the title view's prompt and the folder
// bar's: two tries at most, each failed one followed by a notice.
#pragma once

#include "winza/GNameEditCtrl.h"

#include <functional>

// Caption, time-out and peak alpha of the notices.
inline constexpr int kUnlockCaptionText = 22;
inline constexpr int kUnlockNoticeMs = 3000;
inline constexpr int kUnlockNoticeAlpha = 224;

// The text of the notice after a try (0 first, 1 second) that the entry box ended with result:
// the first try asks once more, the second says the folder stays locked. 0 for no notice.
constexpr int UnlockNoticeText(int attempt, int result) {
    if (result == kNameEditEmpty)
        return attempt ? 13 : 12;
    if (result == kNameEditWrong)
        return attempt ? 14 : 15;
    return 0;
}

// Runs the entry over strip (screen coordinates) against AdminPassword; notice shows each
// notice's text. 1 when the right password was typed, 0 when both tries failed or the entry
// was cancelled.
int AskFolderPassword(HWND parent, RECT strip, const std::function<void(int text)>& notice);
// The notice as both places show it.
void ShowUnlockNotice(HWND parent, int text);
