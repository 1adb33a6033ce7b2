#include "winza/GFileDialog.h"

#include "fundo/PathUtil.h"
#include "fundo/StringUtil.h"
#include "winza/DrawHelpers.h"
#include "winza/GFileItem.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/GNameEditCtrl.h"
#include "winza/GVButton.h"
#include "winza/WinzaUtil.h"

#include <platform/gdiguard.h>

#include <algorithm>

namespace {

// Appends an owned copy of text[0 .. length), length > 0.
void AddPiece(GArray* array, LPCWSTR text, int length) {
    WCHAR* piece = AllocString(text, length);
    if (piece && array->Add(piece) < 0)
        FreeString(piece);
}

} // namespace

int ParseFileFilter(LPCWSTR filter, GArray* descriptions, GArray* patterns) {
    if (!descriptions || !patterns)
        return 0;
    FreeFilterStrings(descriptions);
    FreeFilterStrings(patterns);
    if (!filter)
        return 0;
    LPCWSTR p = filter;
    while (*p && *p != u'|') {
        LPCWSTR bar = wcschr(p, u'|');
        if (!bar)
            break;
        LPCWSTR pattern = bar + 1;
        LPCWSTR end = wcschr(pattern, u'|');
        const int patternLength = end ? static_cast<int>(end - pattern) : lstrlenW(pattern);
        if (patternLength <= 0)
            break;
        const int before = descriptions->GetSize();
        AddPiece(descriptions, p, static_cast<int>(bar - p));
        AddPiece(patterns, pattern, patternLength);
        // A pair that could not be kept whole is dropped whole.
        if (descriptions->GetSize() != patterns->GetSize()) {
            while (descriptions->GetSize() > before) {
                auto* s = static_cast<WCHAR*>(descriptions->GetAt(descriptions->GetSize() - 1));
                FreeString(s);
                descriptions->RemoveAt(descriptions->GetSize() - 1);
            }
            while (patterns->GetSize() > descriptions->GetSize()) {
                auto* s = static_cast<WCHAR*>(patterns->GetAt(patterns->GetSize() - 1));
                FreeString(s);
                patterns->RemoveAt(patterns->GetSize() - 1);
            }
        }
        if (!end)
            break;
        p = end + 1;
    }
    return patterns->GetSize();
}

void FreeFilterStrings(GArray* strings) {
    if (!strings)
        return;
    for (int i = 0; i < strings->GetSize(); ++i) {
        auto* s = static_cast<WCHAR*>(strings->GetAt(i));
        FreeString(s);
    }
    strings->RemoveAll();
}

int ChooseFileFilter(const GArray& patterns, LPCWSTR initial) {
    const int count = patterns.GetSize();
    if (count == 0)
        return -1;
    if (initial && initial[0])
        for (int i = 0; i < count; ++i) {
            auto* pattern = static_cast<LPCWSTR>(patterns.GetAt(i));
            if (pattern && wcsstr(pattern, initial))
                return i;
        }
    return count - 1;
}

int IsFileInPattern(LPCWSTR pattern, LPCWSTR name) {
    if (!pattern || !name)
        return 0;
    LPCWSTR dot = wcsrchr(name, u'.');
    if (!dot || wcschr(dot, u'\\'))
        return 0;
    LPCWSTR ext = dot + 1;
    const int extLength = lstrlenW(ext);
    if (extLength == 0)
        return 0;
    for (LPCWSTR entry = pattern; *entry;) {
        LPCWSTR end = wcschr(entry, u';');
        const int length = end ? static_cast<int>(end - entry) : lstrlenW(entry);
        // Spaces around an entry are common in hand-written filters.
        LPCWSTR s = entry;
        int n = length;
        while (n > 0 && *s == u' ') {
            ++s;
            --n;
        }
        while (n > 0 && s[n - 1] == u' ')
            --n;
        if (n == 3 && wcsncmp(s, u"*.*", 3) == 0)
            return 1;
        if (n >= 2 && s[0] == u'*' && s[1] == u'.' && n - 2 == extLength &&
            _wcsnicmp(s + 2, ext, static_cast<size_t>(extLength)) == 0)
            return 1;
        if (!end)
            break;
        entry = end + 1;
    }
    return 0;
}

int IsValidFileName(LPCWSTR name) {
    if (!name || !name[0])
        return 0;
    return wcspbrk(name, u"\\/:*?\"<>|") ? 0 : 1;
}

// ---- The dialog -------------------------------------------------------------------------------

namespace {

void CopyPath(WCHAR* out, LPCWSTR in) {
    lstrcpynW(out, in ? in : u"", MAX_PATH);
}

// Joins folder and name with one backslash; 0 when it does not fit.
int JoinPath(WCHAR* out, LPCWSTR folder, LPCWSTR name) {
    WCHAR buffer[MAX_PATH];
    CopyPath(buffer, folder);
    int len = lstrlenW(buffer);
    const int nameLength = lstrlenW(name);
    const int slash = (len == 0 || buffer[len - 1] != u'\\') ? 1 : 0;
    if (len + slash + nameLength >= MAX_PATH)
        return 0;
    if (slash)
        buffer[len++] = u'\\';
    buffer[len] = 0;
    lstrcatW(buffer, name ? name : u"");
    CopyPath(out, buffer);
    return 1;
}

} // namespace

GFileDialog::GFileDialog(int open, LPCWSTR title, int multiSelect, LPCWSTR folder, LPCWSTR filter,
                         LPCWSTR initial)
    : m_bOpen(open ? 1 : 0), m_bMultiSelect(multiSelect ? 1 : 0) {
    m_szResult[0] = 0;
    CopyPath(m_szInitial, initial);
    if (folder && folder[0]) {
        CopyPath(m_szCurPath, folder);
    } else if (!GetProgramFolder(m_szCurPath)) {
        CopyPath(m_szCurPath, u"\\");
    }
    // A folder is kept without a final backslash, the root as "\".
    for (int len = lstrlenW(m_szCurPath); len > 1 && m_szCurPath[len - 1] == u'\\'; --len)
        m_szCurPath[len - 1] = 0;
    m_pFilter = AllocString(filter ? filter : GetGLibText(20));
    ParseFileFilter(m_pFilter, &m_aDescriptions, &m_aPatterns);
    m_nFilter = ChooseFileFilter(m_aPatterns, m_szInitial);
    SetTitle(1, title ? title : GetGLibText(m_bOpen ? 18 : 19), ApplyHires(26));
}

GFileDialog::~GFileDialog() {
    if (m_hWnd)
        Destroy();
    ClearSelection();
    FreeFilterStrings(&m_aPatterns);
    FreeFilterStrings(&m_aDescriptions);
    FreeString(m_pFilter);
}

LPCWSTR GFileDialog::GetFilterPattern(int index) const {
    return static_cast<LPCWSTR>(m_aPatterns.GetAt(index));
}

LPCWSTR GFileDialog::GetFilterDescription(int index) const {
    return static_cast<LPCWSTR>(m_aDescriptions.GetAt(index));
}

LPCWSTR GFileDialog::RootLabel() const {
    return GetGLibText(24);
}

int GFileDialog::IsRootPath() const {
    return m_szCurPath[0] == 0 || wcscmp(m_szCurPath, u"\\") == 0;
}

// ---- Selection and results ------------------------------------------------------------------

void GFileDialog::ClearSelection() {
    FreeFilterStrings(&m_aSelected);
}

void GFileDialog::AddSelection(LPCWSTR name) {
    WCHAR* copy = AllocString(name);
    if (copy && m_aSelected.Add(copy) < 0)
        FreeString(copy);
}

void GFileDialog::RemoveSelection(LPCWSTR name) {
    for (int i = 0; i < m_aSelected.GetSize(); ++i) {
        auto* s = static_cast<WCHAR*>(m_aSelected.GetAt(i));
        if (s && wcscmp(s, name) == 0) {
            FreeString(s);
            m_aSelected.RemoveAt(i);
            return;
        }
    }
}

LPCWSTR GFileDialog::GetFileName(int index) {
    auto* s = static_cast<LPCWSTR>(m_aSelected.GetAt(index));
    return s ? s : u"";
}

LPCWSTR GFileDialog::GetFileName() {
    return GetFileName(0);
}

LPCWSTR GFileDialog::GetPathName(int index) {
    m_szResult[0] = 0;
    LPCWSTR name = static_cast<LPCWSTR>(m_aSelected.GetAt(index));
    if (name && !JoinPath(m_szResult, m_szCurPath, name))
        m_szResult[0] = 0;
    return m_szResult;
}

LPCWSTR GFileDialog::GetPathName() {
    return GetPathName(0);
}

void GFileDialog::TakeTypedName() {
    if (!m_nameEdit.GetSafeHwnd())
        return;
    // Marked files are the choice; the box only shows the last one touched.
    if (m_bMultiSelect && m_fileList.GetMultiMode() && m_aSelected.GetSize() > 0)
        return;
    WCHAR typed[MAX_PATH];
    typed[0] = 0;
    ::GetWindowTextW(m_nameEdit.GetSafeHwnd(), typed, MAX_PATH);
    if (!IsValidFileName(typed))
        return;
    // The box holds a touched file's name up to its first dot: then the choice stands.
    for (int i = 0; i < m_aSelected.GetSize(); ++i) {
        LPCWSTR s = GetFileName(i);
        const int n = lstrlenW(typed);
        if (wcsncmp(s, typed, static_cast<size_t>(n)) == 0 && (s[n] == 0 || s[n] == u'.'))
            return;
    }
    // A name without an extension takes the one of the current pattern's first entry.
    WCHAR name[MAX_PATH];
    CopyPath(name, typed);
    LPCWSTR pattern = GetFilterPattern(m_nFilter);
    if (!wcschr(name, u'.') && pattern && pattern[0] == u'*' && pattern[1] == u'.' &&
        pattern[2] != u'*') {
        WCHAR ext[MAX_PATH];
        CopyPath(ext, pattern + 1);
        if (WCHAR* end = wcschr(ext, u';'))
            *end = 0;
        if (lstrlenW(name) + lstrlenW(ext) < MAX_PATH)
            lstrcatW(name, ext);
    }
    ClearSelection();
    AddSelection(name);
}

// ---- Controls and layout ----------------------------------------------------------------------

void GFileDialog::CreateControls() {
    GImageList* icons = GetGLibImageList();
    const struct {
        int id, image;
    } iconButtons[] = {{kFileDlgNewFolder, 1}, {kFileDlgUp, 0}, {kFileDlgMulti, 2}};
    for (const auto& ib : iconButtons) {
        GVButton* b = AddVButton(ib.id, ib.image, 0);
        if (!b)
            continue;
        b->SetIconDefault(icons);
        b->SetImageIndex(ib.image);
        const int enabled = ib.id != kFileDlgMulti || m_bMultiSelect;
        b->SetFlag(1, eVBVisible, nullptr, 0);
        b->SetFlag(enabled, eVBEnabled, nullptr, 0);
    }
    const int drops[] = {kFileDlgPath, kFileDlgType};
    for (int id : drops)
        if (GVButton* b = AddVButton(id, -1, 0))
            b->SetFlag(1, eVBVisible | eVBEnabled | eVBDropDown, nullptr, 0);
    for (int id = 1; id <= 2; ++id)
        if (GVButton* b = AddVButton(id, -1, 0)) {
            b->SetLabel(GetGLibText(id), DT_CENTER | DT_VCENTER | DT_SINGLELINE, 4);
            b->SetFlag(1, eVBVisible | eVBEnabled, nullptr, 0);
        }
    SetButtonLabel(kFileDlgType, GetFilterDescription(m_nFilter), 0);

    const RECT zero{0, 0, 0, 0};
    m_nameEdit.Create(WS_VISIBLE | WS_BORDER, zero, this, kFileDlgName);
    m_nameEdit.SetNumberOnly(0);
    if (m_hFont && m_nameEdit.GetSafeHwnd())
        ::SendMessageW(m_nameEdit.GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), 0);
    RECT listRect = zero;
    m_fileList.Create(m_hWnd, this, WS_CHILD | WS_VISIBLE, &listRect, kFileDlgList);
    m_fileList.SetItemHeight(ApplyHires(20));
    m_fileList.DrawRowLine(0, 0x989898, 0);
    if (m_hFont)
        m_fileList.SetFont(m_hFont);
    m_fileList.InitFileList(1);
    if (m_fileList.GetSafeHwnd())
        ::SetFocus(m_fileList.GetSafeHwnd());
}

void GFileDialog::SetButtonLabel(int id, LPCWSTR text, int shorten) {
    GVButton* b = FindVButton(id);
    if (!b)
        return;
    WCHAR label[MAX_PATH];
    CopyPath(label, text);
    const RECT r = b->GetRect();
    // Room for the text: the button less its margins and the drop-down arrow.
    const int room = r.right - r.left - ApplyHires(24);
    if (shorten && m_hDC && room > 0) {
        gdi::Select font(m_hDC, m_hFont);
        SIZE size{0, 0};
        int len = lstrlenW(label);
        ::GetTextExtentPoint32W(m_hDC, label, len, &size);
        if (size.cx > room) {
            // Cut from the end until the text and "..." fit.
            while (len > 0) {
                WCHAR tryText[MAX_PATH];
                lstrcpynW(tryText, label, len + 1);
                lstrcatW(tryText, u"...");
                ::GetTextExtentPoint32W(m_hDC, tryText, lstrlenW(tryText), &size);
                if (size.cx <= room)
                    break;
                --len;
            }
            label[len] = 0;
            lstrcatW(label, u"...");
        }
    }
    b->SetLabel(label, DT_LEFT | DT_VCENTER | DT_SINGLELINE, ApplyHires(4));
}

void GFileDialog::RecalcControl() {
    const int W = m_rcDialog.right - m_rcDialog.left;
    const int H = m_rcDialog.bottom - m_rcDialog.top;
    const int m = ApplyHires(2);
    const int rowH = ApplyHires(26);
    const int left = ApplyHires(7);
    const int right = W - ApplyHires(6);
    const int top = (m_bTitle ? m_nTitleHeight : 0) + m;

    // Top row: icon buttons from the right margin leftwards, the path drop-down before them.
    int x = right;
    const int iconIds[] = {kFileDlgNewFolder, kFileDlgUp, kFileDlgMulti};
    for (int id : iconIds) {
        GVButton* b = FindVButton(id);
        if (!b)
            continue;
        if (id == kFileDlgMulti && !m_bMultiSelect) {
            b->SetFlag(0, eVBVisible, nullptr, 0);
            continue;
        }
        b->Create(RECT{x - rowH, top, x, top + rowH}, id);
        x -= rowH + m;
    }
    x += m;
    if (GVButton* b = FindVButton(kFileDlgPath))
        b->Create(RECT{left, top + 1, x - 2, top + rowH - 1}, kFileDlgPath);

    // Two bottom rows: OK with the name box, Cancel with the file-type drop-down.
    const int row2Bottom = H - ApplyHires(4);
    const int row2Top = row2Bottom - rowH;
    const int row1Bottom = row2Top - m;
    const int row1Top = row1Bottom - rowH;
    const int okLeft = right - ApplyHires(60);
    if (GVButton* b = FindVButton(1))
        b->Create(RECT{okLeft, row1Top, right, row1Bottom}, 1);
    if (GVButton* b = FindVButton(2))
        b->Create(RECT{okLeft, row2Top, right, row2Bottom}, 2);
    const int boxLeft = ApplyHires(48);
    const int boxRight = okLeft - (m + ApplyHires(1));
    if (GVButton* b = FindVButton(kFileDlgType))
        b->Create(RECT{boxLeft, row2Top, boxRight, row2Bottom}, kFileDlgType);
    SetButtonLabel(kFileDlgType, GetFilterDescription(m_nFilter), 1);
    if (m_nameEdit.GetSafeHwnd()) {
        ::MoveWindow(m_nameEdit.GetSafeHwnd(), boxLeft, row1Top, boxRight - boxLeft, rowH, FALSE);
        RECT format{0, 0, boxRight - boxLeft, rowH};
        const int inset = ApplyHires(2);
        ::InflateRect(&format, -inset, -inset);
        m_nameEdit.SetRectNP(&format);
    }
    m_rcNameLabel = RECT{ApplyHires(2), row1Top, boxLeft - ApplyHires(2), row1Bottom};
    m_rcTypeLabel = m_rcNameLabel;
    ::OffsetRect(&m_rcTypeLabel, 0, ApplyHires(28));

    const int listTop = top + rowH + m;
    if (m_fileList.GetSafeHwnd())
        ::MoveWindow(m_fileList.GetSafeHwnd(), left, listTop, right - left,
                     std::max(0, row1Top - m - listTop), FALSE);
    ReloadFolder();
}

void GFileDialog::DrawFrame(HDC hdc, RECT rect) {
    GDialog::DrawFrame(hdc, rect);
    const COLORREF old = ::SetTextColor(hdc, RGB(0, 0, 0));
    const int mode = ::SetBkMode(hdc, TRANSPARENT);
    RECT name = m_rcNameLabel, type = m_rcTypeLabel;
    ::DrawTextW(hdc, GetGLibText(21), -1, &name, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::DrawTextW(hdc, GetGLibText(22), -1, &type, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetBkMode(hdc, mode);
    ::SetTextColor(hdc, old);
}

// ---- Listing --------------------------------------------------------------------------------

void GFileDialog::ReloadFolder() {
    m_fileList.RemoveAllItem(0);
    ClearSelection();
    if (m_nameEdit.GetSafeHwnd())
        ::SetWindowTextW(m_nameEdit.GetSafeHwnd(), u"");
    if (GVButton* up = FindVButton(kFileDlgUp))
        up->SetFlag(!IsRootPath(), eVBEnabled, nullptr, 0);
    LPCWSTR slash = wcsrchr(m_szCurPath, u'\\');
    SetButtonLabel(kFileDlgPath, IsRootPath() ? RootLabel() : (slash ? slash + 1 : m_szCurPath), 1);

    WCHAR pattern[MAX_PATH];
    LPCWSTR filter = GetFilterPattern(m_nFilter);
    if (JoinPath(pattern, m_szCurPath, u"*")) {
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW(pattern, &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)
                    continue;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    if (wcscmp(data.cFileName, u".") && wcscmp(data.cFileName, u".."))
                        m_fileList.AddItem(m_szCurPath, &data);
                } else if (filter && IsFileInPattern(filter, data.cFileName)) {
                    m_fileList.AddItem(m_szCurPath, &data);
                }
            } while (::FindNextFileW(find, &data));
            ::FindClose(find);
        }
    }
    m_fileList.SortList(0);
    m_fileList.UpdateScroll(0, 0);
    m_fileList.Invalidate(0);
    Invalidate(0);
}

void GFileDialog::SetCurPath(LPCWSTR folder) {
    CopyPath(m_szCurPath, folder && folder[0] ? folder : u"\\");
    for (int len = lstrlenW(m_szCurPath); len > 1 && m_szCurPath[len - 1] == u'\\'; --len)
        m_szCurPath[len - 1] = 0;
    if (m_hWnd)
        ReloadFolder();
}

void GFileDialog::SetFilterIndex(int index) {
    if (index < 0 || index >= m_aPatterns.GetSize())
        return;
    m_nFilter = index;
    SetButtonLabel(kFileDlgType, GetFilterDescription(index), 1);
    if (m_hWnd)
        ReloadFolder();
}

// ---- Navigation -------------------------------------------------------------------------------

void GFileDialog::OnUp() {
    if (IsRootPath())
        return;
    const int len = lstrlenW(m_szCurPath);
    if (len > 0 && m_szCurPath[len - 1] == u':') {
        // A storage name: back to the root.
        CopyPath(m_szCurPath, u"\\");
    } else if (WCHAR* slash = wcsrchr(m_szCurPath, u'\\')) {
        if (slash == m_szCurPath)
            slash[1] = 0;
        else
            *slash = 0;
    } else {
        CopyPath(m_szCurPath, u"\\");
    }
    ReloadFolder();
}

RECT GFileDialog::ButtonScreenRect(int id) {
    RECT r{0, 0, 0, 0};
    if (GVButton* b = FindVButton(id)) {
        r = b->GetRect();
        ClientToScreen(&r);
    }
    return r;
}

void GFileDialog::OnPathMenu() {
    GMenu menu;
    if (!menu.CreateMenu(m_hWnd, this))
        return;
    GExtImageArray* icons = m_fileList.GetExtImageArray();
    menu.SetMenuImage(icons->GetDefImageList(), 0);
    const int step = ApplyHires(16);
    if (GMenuItem* root = menu.AppendMenuW(kFileDlgPathMenuFirst, RootLabel(), 0))
        root->SetImageIndex(kExtIconRoot);
    // Each component one step further in than the one before.
    int ends[MAX_PATH / 2];
    int count = 0;
    for (int i = 0; m_szCurPath[i] && count < MAX_PATH / 2; ++i) {
        if (m_szCurPath[i] == u'\\')
            continue;
        int j = i;
        while (m_szCurPath[j] && m_szCurPath[j] != u'\\')
            ++j;
        WCHAR part[MAX_PATH];
        lstrcpynW(part, m_szCurPath + i, j - i + 1);
        ends[count] = j;
        if (GMenuItem* item =
                menu.AppendMenuW(kFileDlgPathMenuFirst + 1 + count, part, step * (count + 1)))
            item->SetImageIndex(kExtIconFolder);
        ++count;
        i = j - 1;
    }
    const RECT at = ButtonScreenRect(kFileDlgPath);
    const int chosen = menu.TrackPopupGMenu(0, at.left, at.bottom, 0);
    menu.DestroyMenu();
    if (chosen == kFileDlgPathMenuFirst) {
        CopyPath(m_szCurPath, u"\\");
    } else if (chosen > kFileDlgPathMenuFirst && chosen <= kFileDlgPathMenuFirst + count) {
        m_szCurPath[ends[chosen - kFileDlgPathMenuFirst - 1]] = 0;
    } else {
        return;
    }
    ReloadFolder();
}

void GFileDialog::OnTypeMenu() {
    m_typeMenu.DestroyMenu();
    if (!m_typeMenu.CreateMenu(m_hWnd, this))
        return;
    const int count = m_aDescriptions.GetSize();
    for (int i = 0; i < count; ++i)
        m_typeMenu.AppendMenuW(kFileDlgTypeMenuFirst + i, GetFilterDescription(i), 0);
    if (count > 0 && m_nFilter >= 0)
        m_typeMenu.CheckMenuRadioItem(kFileDlgTypeMenuFirst, kFileDlgTypeMenuFirst + count - 1,
                                      kFileDlgTypeMenuFirst + m_nFilter, 0);
    const RECT at = ButtonScreenRect(kFileDlgType);
    // The drop-down sits at the bottom: the menu opens upwards from it.
    const int chosen = m_typeMenu.TrackPopupGMenu(eGMenuBottomY, at.left, at.top, 0);
    m_typeMenu.DestroyMenu();
    const int index = chosen - kFileDlgTypeMenuFirst;
    if (index >= 0 && index < count && index != m_nFilter)
        SetFilterIndex(index);
}

void GFileDialog::OnMultiButton() {
    if (!m_bMultiSelect)
        return;
    const int on = !m_fileList.GetMultiMode();
    m_fileList.SetMultiMode(on);
    if (GVButton* b = FindVButton(kFileDlgMulti))
        b->SetFlag(on, eVBChecked, nullptr, 0);
    ClearSelection();
    if (m_nameEdit.GetSafeHwnd())
        ::SetWindowTextW(m_nameEdit.GetSafeHwnd(), u"");
    Invalidate(0);
}

void GFileDialog::OnNewFolder() {
    // The name line lies over the top row while it runs.
    RECT strip = ButtonScreenRect(kFileDlgPath);
    const RECT last = ButtonScreenRect(kFileDlgNewFolder);
    strip.right = last.right;
    GNameEditCtrl edit;
    edit.SetWindowRect(strip);
    if (m_hFont)
        edit.SetFont(m_hFont);
    ShowSIPButton(m_hWnd, nullptr);
    const int result = edit.DoModal(m_hWnd, -1);
    // The release of the key that ended the name line is not for this dialog.
    m_bKeyValid = edit.IsEndedByKey() ? 0 : GetValidKeyState();
    HideSIPButton(m_hWnd);
    if (result != 1 || !IsValidFileName(edit.GetName())) {
        Invalidate(0);
        return;
    }
    WCHAR path[MAX_PATH];
    if (JoinPath(path, m_szCurPath, edit.GetName()))
        ::CreateDirectoryW(path, nullptr);
    ReloadFolder();
    if (POSITION pos = m_fileList.FindItem(SpecialHeadPosition(), edit.GetName()))
        m_fileList.SelectItem(pos, 1);
}

// ---- Touches ----------------------------------------------------------------------------------

void GFileDialog::OnListTouched(POSITION pos) {
    GFileItem* item = m_fileList.GetFileItem(pos);
    if (!item || item->GetKind() != eFileItemFile || !item->GetLabel())
        return;
    LPCWSTR name = item->GetLabel();
    WCHAR stem[MAX_PATH];
    CopyPath(stem, name);
    if (WCHAR* dot = wcschr(stem, u'.'))
        *dot = 0;
    if (m_nameEdit.GetSafeHwnd())
        ::SetWindowTextW(m_nameEdit.GetSafeHwnd(), stem);
    if (m_bMultiSelect && m_fileList.GetMultiMode()) {
        // A second touch takes a marked file out again.
        if (item->GetFlag(kFileItemMarked)) {
            item->ResetFlag(kFileItemMarked);
            RemoveSelection(name);
        } else {
            item->SetFlag(kFileItemMarked);
            AddSelection(name);
        }
        m_fileList.Invalidate(0);
        return;
    }
    ClearSelection();
    AddSelection(name);
}

void GFileDialog::OnListDoubleTap(POSITION pos) {
    GFileItem* item = m_fileList.GetFileItem(pos);
    if (!item || !item->GetLabel())
        return;
    const int kind = item->GetKind();
    if (kind >= eFileItemRoot && kind <= eFileItemRootLast) {
        SetCurPath(item->GetLabel());
    } else if (kind == eFileItemFolder) {
        WCHAR path[MAX_PATH];
        if (JoinPath(path, m_szCurPath, item->GetLabel()))
            SetCurPath(path);
    } else if (kind == eFileItemFile) {
        if (!(m_bMultiSelect && m_fileList.GetMultiMode())) {
            ClearSelection();
            AddSelection(item->GetLabel());
        } else if (!item->GetFlag(kFileItemMarked)) {
            item->SetFlag(kFileItemMarked);
            AddSelection(item->GetLabel());
        }
        OnOK();
    }
}

LRESULT GFileDialog::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: {
            const LRESULT r = GDialog::WndProc(hwnd, msg, wParam, lParam);
            CreateControls();
            return r;
        }
        case WM_DESTROY:
            m_typeMenu.DestroyMenu();
            m_nameEdit.Destroy();
            m_fileList.Destroy();
            break;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == kFileDlgName) {
                if (code == GEdit::kNotifyEscape)
                    return OnCancel();
                // Return in the name box does nothing.
                return 0;
            }
            if (code != 0)
                break;
            switch (id) {
                case 1:
                    TakeTypedName();
                    return OnOK();
                case kFileDlgUp:
                    OnUp();
                    return 0;
                case kFileDlgPath:
                    OnPathMenu();
                    return 0;
                case kFileDlgType:
                    OnTypeMenu();
                    return 0;
                case kFileDlgMulti:
                    OnMultiButton();
                    return 0;
                case kFileDlgNewFolder:
                    OnNewFolder();
                    return 0;
                default:
                    break;
            }
            break;
        }
        case kMsgListTouched:
            if (static_cast<int>(lParam) == kFileDlgList)
                OnListTouched(reinterpret_cast<POSITION>(wParam));
            return 0;
        case kMsgListDoubleTap:
            if (static_cast<int>(lParam) == kFileDlgList)
                OnListDoubleTap(reinterpret_cast<POSITION>(wParam));
            return m_nResult;
        default:
            break;
    }
    return GDialog::WndProc(hwnd, msg, wParam, lParam);
}
