// The program's settings: one process-wide record, its registry values under
// HKEY_LOCAL_MACHINE "Software\Velmora\Scribbo" and the default paper in
// "<program folder>\PBT\default.pbt".
#pragma once

#include "scribbo/TemplateHeader.h"

#include <windows.h>

inline constexpr WCHAR kSettingsKey[] = u"Software\\Velmora\\Scribbo";
// The older product's key, imported once and then deleted with its parent.
inline constexpr WCHAR kLegacySettingsKey[] = u"Software\\Tarnic\\Ombrel";
inline constexpr WCHAR kLegacyRootKey[] = u"Software\\Tarnic";
inline constexpr WCHAR kDefaultDataFolder[] = u"\\My Documents\\Pad";

// Folder strings are read and written with this many bytes, the password with 32: longer
// texts are cut to 129 and 15 characters.
inline constexpr DWORD kFolderValueBytes = 260;
inline constexpr DWORD kPasswordValueBytes = 32;
// The splitter never rests left of this.
inline constexpr DWORD kSplitterMin = 200;

struct ScribboSettings {
    DWORD TVNaviMode;         // 1 folders, 2 dates
    DWORD TVViewMode;         // 3 rows, 4 previews
    COLORREF WeekdayColor[7]; // index = day of week, 0 = Sunday
    DWORD ProgramX, ProgramY; // low 16 bits of the window's left and top
    DWORD ProgramWidth, ProgramHeight;
    DWORD SplitterWidth;
    COLORREF PenColor, PencelColor, MarkerColor;
    DWORD TitleHeight;
    DWORD ButtonSize;
    DWORD MagPadHieght;
    LONG PenWidth, PencelWidth, EraserWidth, MarkerWidth; // 16.16
    DWORD LoopAlarm, FullScreen, LockToolbar, LockScrollbar;
    WCHAR BaseDataFolder[260];
    WCHAR DefNewMemoFolder[260];
    WCHAR DefAlarmSoundPath[260];
    WCHAR BackImageFolder[260];
    WCHAR AdminPassword[32];
    // The default paper and its picture path.
    TemplateHeader DefaultTemplate;
    WCHAR DefaultBackImagePath[260];
};

extern ScribboSettings g_Settings;

// Every default; the paper figures and several sizes depend on the screen's resolution.
void InitDefaultSettings();
// Defaults, then the older product's key if present (imported, deleted, saved at once), else
// the registry values and the default template file. Returns 1.
int LoadSettings();
// Writes every registry value and the default template. 0 when the key can be neither opened
// nor created (nothing is written then), and 0 when a value or the template could not be
// written (the old template file is then kept whole).
int SaveSettings();

// "<program folder>\PBT" and "<program folder>\PBT\default.pbt".
void GetTemplateFolder(WCHAR out[260]);
void GetDefaultTemplatePath(WCHAR out[260]);
