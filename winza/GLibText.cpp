// The toolkit's text table: "winza.lng" beside the program, or the built-in Korean texts.
#include "winza/GLib.h"
#include "GLibInternal.h"
#include "winza/GLibState.h"

#include "fundo/GStringFile.h"
#include "fundo/PathUtil.h"
#include "fundo/StringUtil.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kLineCapacity = 1024;
// A language file with more lines than this is not a text table; the rest is left unread.
constexpr int kMaxTexts = 4096;

// Entry 5 (abort) is ours; the others are the toolkit's standard captions.
const WCHAR* const kBuiltIn[] = {
    u"한국어", u"확인", u"취소", u"예", u"아니오", u"중단", u"재시도",    u"무시", u"일",
    u"월",     u"화",   u"수",   u"목", u"금",     u"토",   u"오늘 날짜", u"%d년", u"%d월",
};

// Empty lines and lines with a slash first or second are comments.
bool IsText(const WCHAR* line) {
    return line[0] && line[0] != u'/' && line[1] != u'/';
}

} // namespace

void FreeGLibTexts() {
    GLibState& s = GetGLibState();
    if (s.textsOwned) {
        for (const WCHAR* t : s.texts)
            delete[] t;
    }
    s.texts.clear();
    s.textsOwned = 0;
}

void LoadGLibTexts() {
    FreeGLibTexts();
    GLibState& s = GetGLibState();
    WCHAR path[MAX_PATH + 16] = {};
    GStringFile file;
    if (GetProgramFolder(path) && wcslen(path) + 10 < MAX_PATH) {
        wcscat(path, u"\\winza.lng");
        file.OpenR(path);
    }
    if (!file.IsOpen()) {
        for (const WCHAR* t : kBuiltIn)
            s.texts.push_back(t);
        return;
    }
    s.textsOwned = 1;
    WCHAR line[kLineCapacity];
    while (static_cast<int>(s.texts.size()) < kMaxTexts &&
           file.ReadNextLine(line, kLineCapacity, 0)) {
        line[kLineCapacity - 1] = 0;
        if (!IsText(line))
            continue;
        const size_t length = wcslen(line);
        WCHAR* copy = new (std::nothrow) WCHAR[length + 1];
        if (!copy)
            break;
        std::memcpy(copy, line, (length + 1) * sizeof(WCHAR));
        s.texts.push_back(copy);
    }
    file.Close();
}

LPCWSTR GetGLibText(int index) {
    const std::vector<const WCHAR*>& texts = GetGLibState().texts;
    if (index < 0 || index >= static_cast<int>(texts.size()))
        return u"";
    return texts[index];
}

int GetGLibTextCount() {
    return static_cast<int>(GetGLibState().texts.size());
}

int IsGLibTextOwned() {
    return GetGLibState().textsOwned;
}
