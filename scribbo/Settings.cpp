#include "scribbo/Settings.h"

#include "SettingsInternal.h"
#include "scribbo/TemplateFile.h"
#include "winza/Hires.h"

#include "fundo/PathUtil.h"

#include <cstring>

ScribboSettings g_Settings;

namespace {

enum class Kind { Dword, Binary, Folder, Password, ProgramPath };

struct Value {
    const WCHAR* name;
    Kind kind;
    size_t offset; // of the field in ScribboSettings
};

#define FIELD(f) offsetof(ScribboSettings, f)

// In the order SaveSettings writes them.
const Value kValues[] = {
    {u"TVNaviMode", Kind::Dword, FIELD(TVNaviMode)},
    {u"TVViewMode", Kind::Dword, FIELD(TVViewMode)},
    {u"WeekdayColor0", Kind::Dword, FIELD(WeekdayColor[0])},
    {u"WeekdayColor1", Kind::Dword, FIELD(WeekdayColor[1])},
    {u"WeekdayColor2", Kind::Dword, FIELD(WeekdayColor[2])},
    {u"WeekdayColor3", Kind::Dword, FIELD(WeekdayColor[3])},
    {u"WeekdayColor4", Kind::Dword, FIELD(WeekdayColor[4])},
    {u"WeekdayColor5", Kind::Dword, FIELD(WeekdayColor[5])},
    {u"WeekdayColor6", Kind::Dword, FIELD(WeekdayColor[6])},
    {u"ProgramX", Kind::Dword, FIELD(ProgramX)},
    {u"ProgramY", Kind::Dword, FIELD(ProgramY)},
    {u"ProgramWidth", Kind::Dword, FIELD(ProgramWidth)},
    {u"ProgramHeight", Kind::Dword, FIELD(ProgramHeight)},
    {u"SplitterWidth", Kind::Dword, FIELD(SplitterWidth)},
    {u"PenColor", Kind::Dword, FIELD(PenColor)},
    {u"PencelColor", Kind::Dword, FIELD(PencelColor)},
    {u"MarkerColor", Kind::Dword, FIELD(MarkerColor)},
    {u"TitleHeight", Kind::Dword, FIELD(TitleHeight)},
    {u"ButtonSize", Kind::Dword, FIELD(ButtonSize)},
    {u"MagPadHieght", Kind::Dword, FIELD(MagPadHieght)},
    {u"PenWidth", Kind::Binary, FIELD(PenWidth)},
    {u"PencelWidth", Kind::Binary, FIELD(PencelWidth)},
    {u"EraserWidth", Kind::Binary, FIELD(EraserWidth)},
    {u"MarkerWidth", Kind::Binary, FIELD(MarkerWidth)},
    {u"LoopAlarm", Kind::Binary, FIELD(LoopAlarm)},
    {u"FullScreen", Kind::Binary, FIELD(FullScreen)},
    {u"LockToolbar", Kind::Binary, FIELD(LockToolbar)},
    {u"LockScrollbar", Kind::Binary, FIELD(LockScrollbar)},
    {u"BaseDataFolder", Kind::Folder, FIELD(BaseDataFolder)},
    {u"DefNewMemoFolder", Kind::Folder, FIELD(DefNewMemoFolder)},
    {u"DefAlarmSoundPath", Kind::Folder, FIELD(DefAlarmSoundPath)},
    {u"BackImageFolder", Kind::Folder, FIELD(BackImageFolder)},
    {u"ProgramPath", Kind::ProgramPath, 0},
    {u"AdminPassword", Kind::Password, FIELD(AdminPassword)},
};

#undef FIELD

BYTE* FieldOf(const Value& v) {
    return reinterpret_cast<BYTE*>(&g_Settings) + v.offset;
}

DWORD* DwordOf(const Value& v) {
    return reinterpret_cast<DWORD*>(FieldOf(v));
}

WCHAR* TextOf(const Value& v) {
    return reinterpret_cast<WCHAR*>(FieldOf(v));
}

void ReadValue(HKEY key, const Value& v) {
    switch (v.kind) {
        case Kind::Dword:
        case Kind::Binary:
            ReadDwordValue(key, v.name, DwordOf(v));
            break;
        case Kind::Folder:
            ReadTextValue(key, v.name, TextOf(v), 260, kFolderValueBytes);
            break;
        case Kind::Password:
            ReadTextValue(key, v.name, TextOf(v), 32, kPasswordValueBytes);
            break;
        case Kind::ProgramPath:
            break; // written only, for the launcher
    }
}

bool WriteValue(HKEY key, const Value& v) {
    switch (v.kind) {
        case Kind::Dword:
            return WriteDwordValue(key, v.name, REG_DWORD, *DwordOf(v));
        case Kind::Binary:
            return WriteDwordValue(key, v.name, REG_BINARY, *DwordOf(v));
        case Kind::Folder:
            return WriteTextValue(key, v.name, TextOf(v), kFolderValueBytes);
        case Kind::Password:
            return WriteTextValue(key, v.name, TextOf(v), kPasswordValueBytes);
        case Kind::ProgramPath: {
            WCHAR path[260] = {};
            GetProgramFilePath(path);
            return WriteTextValue(key, v.name, path, kFolderValueBytes);
        }
    }
    return false;
}

void SetText(WCHAR* field, size_t capacity, const WCHAR* text) {
    std::memset(field, 0, capacity * sizeof(WCHAR));
    const size_t n = wcslen(text);
    std::memcpy(field, text, (n < capacity ? n : capacity - 1) * sizeof(WCHAR));
}

void ApplyReadRules() {
    if (g_Settings.SplitterWidth <= kSplitterMin)
        g_Settings.SplitterWidth = kSplitterMin;
    if (IsHires())
        g_Settings.ButtonSize = 32;
    DefaultEmptyFolders();
}

} // namespace

void DefaultEmptyFolders() {
    if (!g_Settings.BaseDataFolder[0])
        SetText(g_Settings.BaseDataFolder, 260, kDefaultDataFolder);
    if (!g_Settings.DefNewMemoFolder[0])
        SetText(g_Settings.DefNewMemoFolder, 260, kDefaultDataFolder);
}

void GetTemplateFolder(WCHAR out[260]) {
    std::memset(out, 0, 260 * sizeof(WCHAR));
    GetProgramFolder(out);
    wcsncat(out, u"\\PBT", 259 - wcslen(out));
}

void GetDefaultTemplatePath(WCHAR out[260]) {
    GetTemplateFolder(out);
    wcsncat(out, u"\\default.pbt", 259 - wcslen(out));
}

void InitDefaultSettings() {
    ScribboSettings& s = g_Settings;
    std::memset(&s, 0, sizeof s);
    const int hires = IsHires();
    const SIZE screen = plat::ScreenSize();
    s.TVNaviMode = 1;
    s.TVViewMode = 3;
    s.WeekdayColor[0] = 0xC0C0FF;
    for (int d = 1; d <= 5; ++d)
        s.WeekdayColor[d] = 0xC0C0C0;
    s.WeekdayColor[6] = 0xFFC0C0;
    s.ProgramX = 0;
    s.ProgramY = 0;
    s.ProgramWidth = DWORD(screen.cx);
    s.ProgramHeight = DWORD(screen.cy);
    s.SplitterWidth = 240;
    s.PenColor = 0;
    s.PencelColor = 0x333333;
    s.MarkerColor = 0xFFFF;
    s.TitleHeight = hires ? 80 : 40;
    s.ButtonSize = hires ? 32 : 16;
    s.MagPadHieght = DWORD(ApplyHires(80));
    s.PenWidth = 16384;
    s.PencelWidth = 32768;
    s.EraserWidth = 196608;
    s.MarkerWidth = 131072;
    s.LoopAlarm = 0;
    s.FullScreen = 1;
    s.LockToolbar = 0;
    s.LockScrollbar = 0;
    SetText(s.BaseDataFolder, 260, kDefaultDataFolder);
    SetText(s.DefNewMemoFolder, 260, kDefaultDataFolder);
    SetText(s.AdminPassword, 32, u"5826");
    InitTemplateHeader(&s.DefaultTemplate, hires);
    WCHAR folder[260] = {};
    GetProgramFolder(folder);
    wcsncat(folder, u"\\Back", 259 - wcslen(folder));
    // Only the text: the program folder's buffer keeps the file name after its end.
    SetText(s.BackImageFolder, 260, folder);
}

int LoadSettings() {
    InitDefaultSettings();
    if (ImportLegacySettings())
        return 1;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS &&
        key) {
        for (const Value& v : kValues)
            ReadValue(key, v);
        ApplyReadRules();
        RegCloseKey(key);
    }
    WCHAR path[260];
    GetDefaultTemplatePath(path);
    ReadTemplateFile(path, &g_Settings.DefaultTemplate, g_Settings.DefaultBackImagePath, nullptr,
                     nullptr);
    return 1;
}

int SaveSettings() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Velmora\\Scribbo", 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        key = nullptr;
    if (!key && RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr) != ERROR_SUCCESS)
        key = nullptr;
    if (!key)
        return 0;
    bool ok = true;
    for (const Value& v : kValues)
        ok = WriteValue(key, v) && ok;
    RegCloseKey(key);
    WCHAR folder[260], path[260];
    GetTemplateFolder(folder);
    CreateDirectoryW(folder, nullptr); // an existing folder is fine
    GetDefaultTemplatePath(path);
    ok =
        WriteTemplateFile(path, &g_Settings.DefaultTemplate, g_Settings.DefaultBackImagePath) && ok;
    return ok ? 1 : 0;
}
