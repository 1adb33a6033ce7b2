// One-time import of the older product's settings.
#include "scribbo/Settings.h"
#include "SettingsInternal.h"

#include <cmath>

namespace {

// The old key kept widths as doubles; anything that is no width at all keeps the default.
void ReadWidth(HKEY key, LPCWSTR name, LONG* field) {
    double width = *field / 65536.0;
    if (!ReadDoubleValue(key, name, &width))
        return;
    const double raw = width * 65536.0;
    if (std::isfinite(raw) && raw > -2147483648.0 && raw < 2147483648.0)
        *field = LONG(raw); // toward zero
}

} // namespace

int ImportLegacySettings() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLegacySettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS ||
        !key)
        return 0;
    ScribboSettings& s = g_Settings;
    TemplateHeader& t = s.DefaultTemplate;
    ReadDwordValue(key, u"BackgroundColor", &t.BackColor);
    ReadDwordValue(key, u"TitleHorLineColor", &t.TitleHorLineColor);
    ReadDwordValue(key, u"HorLineColor", &t.HorLineColor);
    ReadDwordValue(key, u"TitleVerLineColor", &t.TitleVerLineColor);
    ReadDwordValue(key, u"VerLineColor", &t.VerLineColor);
    ReadDwordValue(key, u"PenColor", &s.PenColor);
    ReadDwordValue(key, u"MarkerColor", &s.MarkerColor);

    // The four switches share one variable, so a missing one repeats the one before it.
    static const struct {
        const WCHAR* name;
        DWORD bit;
    } kLines[] = {{u"DrawTitleHorLine", eTFTitleLine},
                  {u"DrawHorLine", eTFLines},
                  {u"DrawTitleVerLine", eTFTitleColumn},
                  {u"DrawVerLine", eTFColumns}};
    t.Flags = 0;
    DWORD draw = 1;
    for (const auto& line : kLines) {
        ReadDwordValue(key, line.name, &draw);
        if (draw)
            t.Flags |= line.bit;
    }

    ReadWidth(key, u"PenWidth", &s.PenWidth);
    ReadWidth(key, u"EraserWidth", &s.EraserWidth);
    ReadWidth(key, u"MarkerWidth", &s.MarkerWidth);

    // A spacing of 0 would leave the paper with endless lines; only a real one is taken.
    DWORD lineSpace = 0;
    ReadDwordValue(key, u"LineSpace", &lineSpace);
    if (BYTE(lineSpace) != 0) {
        t.LineSpace = BYTE(lineSpace);
        t.ColumnSpace = BYTE(lineSpace);
    }
    ReadDwordValue(key, u"ItemHeight", &s.TitleHeight);

    ReadTextValue(key, u"BaseDataFolder", s.BaseDataFolder, 260, kFolderValueBytes);
    ReadTextValue(key, u"DefNewMemoFolder", s.DefNewMemoFolder, 260, kFolderValueBytes);
    ReadTextValue(key, u"DefAlarmPath", s.DefAlarmSoundPath, 260, kFolderValueBytes);
    DefaultEmptyFolders();
    RegCloseKey(key);

    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kLegacyRootKey);
    SaveSettings();
    return 1;
}
