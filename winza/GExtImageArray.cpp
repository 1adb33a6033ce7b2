#include "winza/GExtImageArray.h"

#include "fundo/StringUtil.h"
#include "winza/GLib.h"

#include <platform/winshell.h>

namespace {

constexpr int kInitialIcons = 10;
constexpr LPCWSTR kNoExtKey = u"\\\\\\";

// Where the file name of a path starts (after its last backslash).
LPCWSTR NamePart(LPCWSTR path) {
    LPCWSTR slash = wcsrchr(path, u'\\');
    return slash ? slash + 1 : path;
}

// The last dot of the file name, or null.
LPCWSTR LastDot(LPCWSTR path) {
    return wcsrchr(NamePart(path), u'.');
}

// The shell's small icon of the path; null when there is none.
HICON ShellSmallIcon(LPCWSTR path, DWORD attributes, UINT extraFlags) {
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path, attributes, &info, sizeof(info),
                        SHGFI_ICON | SHGFI_SMALLICON | extraFlags))
        return nullptr;
    return info.hIcon;
}

} // namespace

GExtImageArray::~GExtImageArray() {
    Destroy();
}

void GExtImageArray::Destroy() {
    m_ilDefault.Free();
    m_ilSelected.Free();
    m_ilDlgBack.Free();
    for (int i = 0; i < m_aKeys.GetSize(); ++i) {
        auto* key = static_cast<WCHAR*>(m_aKeys.GetAt(i));
        FreeString(key);
    }
    m_aKeys.RemoveAll();
}

int GExtImageArray::Init(COLORREF defaultBack, COLORREF selectedBack) {
    Destroy();
    const int cell = ApplyHires(16);
    // Each list's key is its background, so an icon drawn into a cell lies on that colour.
    if (!m_ilDefault.CreateImageList(cell, cell, kInitialIcons, 1, defaultBack) ||
        !m_ilSelected.CreateImageList(cell, cell, kInitialIcons, 1, selectedBack) ||
        !m_ilDlgBack.CreateImageList(cell, cell, kInitialIcons, 1,
                                     GetGLibColor(eColorDialogBody))) {
        Destroy();
        return 0;
    }
    AddStandardIcon(5);
    // The folder icon is the shell's one for "\Windows"; a device without that folder still
    // gets the folder icon the shell gives any folder.
    HICON folder = ShellSmallIcon(u"\\Windows", 0, 0);
    if (!folder)
        folder = ShellSmallIcon(u"\\Windows", FILE_ATTRIBUTE_DIRECTORY, SHGFI_USEFILEATTRIBUTES);
    if (!folder || AddIcon(folder) < 0) {
        m_ilDefault.SetItemSize(kExtIconFolder + 1);
        m_ilSelected.SetItemSize(kExtIconFolder + 1);
        m_ilDlgBack.SetItemSize(kExtIconFolder + 1);
    }
    if (folder)
        ::DestroyIcon(folder);
    AddStandardIcon(1);
    return 1;
}

void GExtImageArray::AddStandardIcon(int index) {
    GImageList* standard = GetGLibImageList();
    GImageList* lists[] = {&m_ilDefault, &m_ilSelected, &m_ilDlgBack};
    for (GImageList* list : lists) {
        const int count = list->GetItemSize();
        // Without the standard icons the cell stays empty so the later indices hold.
        if (list->AddImageItem(standard, index) < 0 && count < kInitialIcons)
            list->SetItemSize(count + 1);
    }
}

int GExtImageArray::AddIcon(HICON icon) {
    const int before = m_ilDefault.GetItemSize();
    if (m_ilSelected.GetItemSize() != before || m_ilDlgBack.GetItemSize() != before)
        return -1;
    const int a = m_ilDefault.AddImageItem(icon);
    const int b = a < 0 ? -1 : m_ilSelected.AddImageItem(icon);
    const int c = b < 0 ? -1 : m_ilDlgBack.AddImageItem(icon);
    if (c < 0) {
        // A list that grew but could not draw keeps its old count: the three stay in step.
        if (m_ilDefault.GetItemSize() > before)
            m_ilDefault.SetItemSize(before);
        if (m_ilSelected.GetItemSize() > before)
            m_ilSelected.SetItemSize(before);
        if (m_ilDlgBack.GetItemSize() > before)
            m_ilDlgBack.SetItemSize(before);
        return -1;
    }
    return a;
}

void GExtImageArray::MakeKey(LPCWSTR path, DWORD attributes, WCHAR* key, int room) {
    if (!key || room <= 0)
        return;
    key[0] = 0;
    if (!path)
        return;
    const bool card =
        (attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_TEMPORARY);
    LPCWSTR dot = LastDot(path);
    const bool program = dot && (wcscmp(dot + 1, u"exe") == 0 || wcscmp(dot + 1, u"lnk") == 0);
    if (card || program)
        lstrcpynW(key, path, room);
    else if (dot)
        lstrcpynW(key, dot, room);
    else
        lstrcpynW(key, kNoExtKey, room);
}

int GExtImageArray::GetExtImageIndex(LPCWSTR path) {
    if (!path || !path[0])
        return 0;
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_TEMPORARY))
        return 0;
    WCHAR key[MAX_PATH];
    MakeKey(path, attributes, key, MAX_PATH);
    for (int i = 0; i < m_aKeys.GetSize(); ++i)
        if (_wcsicmp(GetKey(i), key) == 0)
            return kExtIconFirstKey + i;
    // Icons and keys go in step; a list that lost a cell would shift every later icon.
    if (m_ilDefault.GetItemSize() != kExtIconFirstKey + m_aKeys.GetSize())
        return -1;
    HICON icon = ShellSmallIcon(path, 0, 0);
    if (!icon)
        return -1;
    const int added = AddIcon(icon);
    ::DestroyIcon(icon);
    if (added < 0)
        return -1;
    WCHAR* owned = AllocString(key);
    if (!owned || m_aKeys.Add(owned) < 0) {
        FreeString(owned);
        m_ilDefault.SetItemSize(added);
        m_ilSelected.SetItemSize(added);
        m_ilDlgBack.SetItemSize(added);
        return -1;
    }
    return added;
}

int GExtImageArray::GetExtImageIndex(LPCWSTR folder, LPCWSTR name) {
    if (!folder || !name)
        return 0;
    WCHAR path[MAX_PATH];
    lstrcpynW(path, folder, MAX_PATH);
    int len = lstrlenW(path);
    if ((len == 0 || path[len - 1] != u'\\') && len < MAX_PATH - 1) {
        path[len++] = u'\\';
        path[len] = 0;
    }
    if (len + lstrlenW(name) >= MAX_PATH)
        return 0;
    lstrcatW(path, name);
    return GetExtImageIndex(path);
}
