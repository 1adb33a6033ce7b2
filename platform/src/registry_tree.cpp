#include "registry_store.h"

#include <algorithm>

namespace plat::reg {
namespace {

// Upper-case folding for the scripts names are written in (Latin, Greek, Cyrillic, full-width
// Latin); other characters compare as they are.
char16_t FoldUnit(char16_t c) {
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs upper/lower case on even/odd code points, except for the runs
        // 0x139-0x148 and 0x179-0x17E, which pair odd/even, and a few letters without a pair.
        bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (oddUpper)
            return (c & 1) ? c : static_cast<char16_t>(c - 1);
        return (c & 1) ? static_cast<char16_t>(c - 1) : c;
    }
    if (c == 0x3C2) // final sigma
        return 0x3A3;
    if (c == 0x3AC)
        return 0x386;
    if (c >= 0x3AD && c <= 0x3AF)
        return static_cast<char16_t>(c - 0x25);
    if (c == 0x3CC)
        return 0x38C;
    if (c == 0x3CD || c == 0x3CE)
        return static_cast<char16_t>(c - 0x3F);
    if (c >= 0x3B1 && c <= 0x3CB)
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<char16_t>(c - 0x50);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return static_cast<char16_t>(c - 0x20);
    return c;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

std::u16string Fold(std::u16string_view name) {
    std::u16string out(name);
    for (char16_t& c : out)
        c = FoldUnit(c);
    return out;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldUnit(a[i]) != FoldUnit(b[i]))
            return false;
    return true;
}

bool ValidKeyName(std::u16string_view name) {
    if (name.empty() || name.size() > kMaxKeyNameLength)
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char16_t c = name[i];
        if (c < 0x20 || c == 0x7F || c == u'\\')
            return false;
        if (IsHighSurrogate(c)) {
            if (i + 1 == name.size() || !IsLowSurrogate(name[i + 1]))
                return false;
            ++i;
        } else if (IsLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

bool ValidValueName(std::u16string_view name) {
    return name.size() <= kMaxValueNameLength && name.find(u'\0') == std::u16string_view::npos;
}

size_t Key::Depth() const {
    size_t depth = 0;
    for (const Key* k = m_parent; k; k = k->m_parent)
        ++depth;
    return depth;
}

std::shared_ptr<Key> Key::Subkey(std::u16string_view name) const {
    auto it = m_subkeys.find(Fold(name));
    return it == m_subkeys.end() ? nullptr : it->second;
}

std::shared_ptr<Key> Key::AddSubkey(std::u16string_view name, bool* created) {
    auto [it, inserted] = m_subkeys.try_emplace(Fold(name));
    if (inserted)
        it->second = std::make_shared<Key>(std::u16string(name), this);
    if (created)
        *created = inserted;
    return it->second;
}

bool Key::DeleteSubkey(std::u16string_view name) {
    auto it = m_subkeys.find(Fold(name));
    if (it == m_subkeys.end())
        return false;
    it->second->MarkDeleted();
    m_subkeys.erase(it);
    return true;
}

void Key::MarkDeleted() {
    // Depth is bounded by kMaxDepth, so the recursion is too.
    for (auto& [folded, sub] : m_subkeys)
        sub->MarkDeleted();
    m_subkeys.clear();
    m_values.clear();
    m_deleted = true;
    m_parent = nullptr;
}

const Value* Key::FindValue(std::u16string_view name) const {
    auto it = std::find_if(m_values.begin(), m_values.end(),
                           [&](const Value& v) { return SameName(v.name, name); });
    return it == m_values.end() ? nullptr : &*it;
}

void Key::SetValue(std::u16string_view name, DWORD type, std::vector<BYTE> data) {
    auto it = std::find_if(m_values.begin(), m_values.end(),
                           [&](const Value& v) { return SameName(v.name, name); });
    if (it == m_values.end()) {
        m_values.push_back(Value{std::u16string(name), type, std::move(data)});
        return;
    }
    // The name keeps the spelling it was created with, as on the device.
    it->type = type;
    it->data = std::move(data);
}

bool Key::DeleteValue(std::u16string_view name) {
    auto it = std::find_if(m_values.begin(), m_values.end(),
                           [&](const Value& v) { return SameName(v.name, name); });
    if (it == m_values.end())
        return false;
    m_values.erase(it);
    return true;
}

bool SameTree(const Key& a, const Key& b) {
    if (a.Name() != b.Name() || a.Values() != b.Values() ||
        a.Subkeys().size() != b.Subkeys().size())
        return false;
    auto ia = a.Subkeys().begin();
    auto ib = b.Subkeys().begin();
    for (; ia != a.Subkeys().end(); ++ia, ++ib)
        if (ia->first != ib->first || !SameTree(*ia->second, *ib->second))
            return false;
    return true;
}

const char* RootName(int index) {
    static const char* const names[kRootCount] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                  "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
    return index >= 0 && index < kRootCount ? names[index] : "";
}

Tree::Tree() {
    for (int i = 0; i < kRootCount; ++i) {
        std::string name = RootName(i);
        roots[i] = std::make_shared<Key>(std::u16string(name.begin(), name.end()), nullptr);
    }
}

bool SameTree(const Tree& a, const Tree& b) {
    for (int i = 0; i < kRootCount; ++i)
        if (!SameTree(*a.roots[i], *b.roots[i]))
            return false;
    return true;
}

} // namespace plat::reg
