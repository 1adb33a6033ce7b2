#include "winza/GFontManager.h"

#include "winza/Hires.h"

namespace {

constexpr int kHeights[5] = {11, 13, 14, 18, 20};
constexpr int kWeights[3] = {FW_NORMAL, FW_BOLD, FW_HEAVY};

HFONT MakeFont(int height, int width, int weight, LPCWSTR face) {
    return ::CreateFontW(height, width, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, face);
}

// Copies a face name into a key, cut to fit with its terminator.
void CopyFace(WCHAR* out, LPCWSTR face) {
    int i = 0;
    for (; face && face[i] && i < GFontManager::kFaceLength - 1; ++i)
        out[i] = face[i];
    out[i] = 0;
}

bool SameFace(const WCHAR* a, const WCHAR* b) {
    for (int i = 0; i < GFontManager::kFaceLength; ++i) {
        if (a[i] != b[i])
            return false;
        if (!a[i])
            return true;
    }
    return true;
}

} // namespace

GFontManager::~GFontManager() {
    RemoveAllFont();
    RemoveAllUserFont();
}

HFONT GFontManager::GetFont(eFontType type) {
    if (type < 0 || type >= eFontTypeCount)
        return nullptr;
    if (!m_hFont[type])
        m_hFont[type] = MakeFont(ApplyHires(kHeights[type % 5]), 0, kWeights[type / 5], u"Tahoma");
    return m_hFont[type];
}

eUserFontType GFontManager::FindUserFont(int height, int width, int weight, LPCWSTR face) {
    WCHAR key[kFaceLength];
    CopyFace(key, face);
    for (int i = 0; i < eUserFontCount; ++i) {
        UserFont& slot = m_userFont[i];
        if (!slot.font) {
            slot.font = MakeFont(height, width, weight, key);
            if (!slot.font)
                return eUserFontNone;
            slot.height = height;
            slot.width = width;
            slot.weight = weight;
            CopyFace(slot.face, key);
            return static_cast<eUserFontType>(i);
        }
        if (slot.height == height && slot.width == width && slot.weight == weight &&
            SameFace(slot.face, key))
            return static_cast<eUserFontType>(i);
    }
    return eUserFontNone;
}

HFONT GFontManager::GetUserFont(eUserFontType type) const {
    if (type < 0 || type >= eUserFontCount)
        return nullptr;
    return m_userFont[type].font;
}

void GFontManager::RemoveAllFont() {
    for (HFONT& f : m_hFont) {
        if (f)
            ::DeleteObject(f);
        f = nullptr;
    }
}

void GFontManager::RemoveAllUserFont() {
    for (UserFont& slot : m_userFont) {
        if (slot.font)
            ::DeleteObject(slot.font);
        slot = UserFont{};
    }
}
