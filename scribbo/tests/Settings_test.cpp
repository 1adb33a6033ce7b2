#include "scribbo/Settings.h"

#include "scribbo/TemplateFile.h"
#include "scribbo_test_support.h"
#include "winza/Hires.h"

#include <TestDevice.h>
#include <registry_test_support.h>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

using namespace apptest;
using regtest::Key;

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        // The high-resolution screen the program starts on, whatever an earlier test left.
        plat::CreateScreenSurface(480, 640);
        ResetDisplayMode();
        ASSERT_TRUE(CreateDirectoryW(u"\\Program Files", nullptr));
        ASSERT_TRUE(CreateDirectoryW(u"\\Program Files\\Scribbo", nullptr));
    }
    // The registry as a freshly started program sees it.
    static void Restart() {
        ASSERT_TRUE(plat::RegistryFlush());
        plat::RegistryReload();
    }
    static HKEY NewKey() { return regtest::Create(HKEY_LOCAL_MACHINE, kSettingsKey); }
    static regtest::Read Query(LPCWSTR name) {
        Key key(regtest::Open(HKEY_LOCAL_MACHINE, kSettingsKey));
        return regtest::Query(key.Get(), name);
    }
    static std::u16string Text(const regtest::Read& r) {
        std::u16string s;
        for (size_t i = 0; i + 1 < r.data.size(); i += 2) {
            const char16_t c = char16_t(r.data[i] | (r.data[i + 1] << 8));
            if (!c)
                break;
            s += c;
        }
        return s;
    }
    std::string PbtHost() const { return device.Host("Program Files/Scribbo/PBT/default.pbt"); }
    TestDevice device;
};

// A low-resolution screen for one test.
class LowResolution {
public:
    LowResolution() {
        plat::CreateScreenSurface(240, 320);
        ResetDisplayMode();
    }
    ~LowResolution() {
        plat::CreateScreenSurface(480, 640);
        ResetDisplayMode();
    }
};

Bytes HeaderBytes(const TemplateHeader& h) {
    Bytes b(72);
    TemplateHeaderToBytes(h, b.data());
    return b;
}

void SetDouble(HKEY key, LPCWSTR name, double v) {
    BYTE b[8];
    std::memcpy(b, &v, 8);
    RegSetValueExW(key, name, 0, REG_BINARY, b, 8);
}

void SetText(HKEY key, LPCWSTR name, std::u16string_view text) {
    regtest::Set(key, name, REG_SZ, regtest::Utf16(text));
}

} // namespace

TEST_F(Settings, DefaultsOnAHighResolutionScreen) {
    ASSERT_EQ(IsHires(), 1);
    InitDefaultSettings();
    const ScribboSettings& s = g_Settings;
    EXPECT_EQ(s.TVNaviMode, 1u);
    EXPECT_EQ(s.TVViewMode, 3u);
    EXPECT_EQ(s.WeekdayColor[0], 0xC0C0FFu);
    for (int d = 1; d <= 5; ++d)
        EXPECT_EQ(s.WeekdayColor[d], 0xC0C0C0u);
    EXPECT_EQ(s.WeekdayColor[6], 0xFFC0C0u);
    EXPECT_EQ(s.ProgramX, 0u);
    EXPECT_EQ(s.ProgramY, 0u);
    EXPECT_EQ(s.ProgramWidth, 480u);
    EXPECT_EQ(s.ProgramHeight, 640u);
    EXPECT_EQ(s.SplitterWidth, 240u);
    EXPECT_EQ(s.PenColor, 0u);
    EXPECT_EQ(s.PencelColor, 0x333333u);
    EXPECT_EQ(s.MarkerColor, 0xFFFFu);
    EXPECT_EQ(s.TitleHeight, 80u);
    EXPECT_EQ(s.ButtonSize, 32u);
    EXPECT_EQ(s.MagPadHieght, 160u);
    EXPECT_EQ(s.PenWidth, 16384);
    EXPECT_EQ(s.PencelWidth, 32768);
    EXPECT_EQ(s.EraserWidth, 196608);
    EXPECT_EQ(s.MarkerWidth, 131072);
    EXPECT_EQ(s.LoopAlarm, 0u);
    EXPECT_EQ(s.FullScreen, 1u);
    EXPECT_EQ(s.LockToolbar, 0u);
    EXPECT_EQ(s.LockScrollbar, 0u);
    EXPECT_EQ(std::u16string(s.BaseDataFolder), u"\\My Documents\\Pad");
    EXPECT_EQ(std::u16string(s.DefNewMemoFolder), u"\\My Documents\\Pad");
    EXPECT_EQ(s.DefAlarmSoundPath[0], 0);
    EXPECT_EQ(std::u16string(s.BackImageFolder), u"\\Program Files\\Scribbo\\Back");
    EXPECT_EQ(std::u16string(s.AdminPassword), u"5826");
    TemplateHeader paper;
    InitTemplateHeader(&paper, 1);
    EXPECT_EQ(HeaderBytes(s.DefaultTemplate), HeaderBytes(paper));
    EXPECT_EQ(s.DefaultTemplate.TitleBandHeight, 160);
}

TEST_F(Settings, DefaultsOnALowResolutionScreen) {
    LowResolution low;
    InitDefaultSettings();
    EXPECT_EQ(g_Settings.ProgramWidth, 240u);
    EXPECT_EQ(g_Settings.ProgramHeight, 320u);
    EXPECT_EQ(g_Settings.TitleHeight, 40u);
    EXPECT_EQ(g_Settings.ButtonSize, 16u);
    EXPECT_EQ(g_Settings.MagPadHieght, 80u);
    EXPECT_EQ(g_Settings.DefaultTemplate.TitleBandHeight, 80);
    EXPECT_EQ(g_Settings.DefaultTemplate.LineSpace, 28);
}

TEST_F(Settings, SaveWritesEveryValueWithItsTypeAndByteCount) {
    InitDefaultSettings();
    ASSERT_EQ(SaveSettings(), 1);
    Restart();
    struct Expect {
        LPCWSTR name;
        DWORD type;
        size_t size;
    };
    const Expect values[] = {
        {u"TVNaviMode", REG_DWORD, 4},       {u"WeekdayColor6", REG_DWORD, 4},
        {u"SplitterWidth", REG_DWORD, 4},    {u"MagPadHieght", REG_DWORD, 4},
        {u"PenWidth", REG_BINARY, 4},        {u"LockScrollbar", REG_BINARY, 4},
        {u"BaseDataFolder", REG_SZ, 260},    {u"DefNewMemoFolder", REG_SZ, 260},
        {u"DefAlarmSoundPath", REG_SZ, 260}, {u"BackImageFolder", REG_SZ, 260},
        {u"ProgramPath", REG_SZ, 260},       {u"AdminPassword", REG_SZ, 32},
    };
    for (const Expect& e : values) {
        const regtest::Read r = Query(e.name);
        ASSERT_EQ(r.result, ERROR_SUCCESS) << std::string(e.name, e.name + wcslen(e.name));
        EXPECT_EQ(r.type, e.type);
        EXPECT_EQ(r.data.size(), e.size);
    }
    EXPECT_EQ(Query(u"PenWidth").data, (Bytes{0x00, 0x40, 0x00, 0x00}));
    EXPECT_EQ(Query(u"WeekdayColor0").data, (Bytes{0xFF, 0xC0, 0xC0, 0x00}));
    EXPECT_EQ(Text(Query(u"ProgramPath")).rfind(u"\\Program Files\\Scribbo\\", 0), 0u);
    EXPECT_EQ(Text(Query(u"AdminPassword")), u"5826");
    // The default paper goes beside the program.
    EXPECT_EQ(ReadHost(PbtHost()), HeaderBytes(g_Settings.DefaultTemplate));
}

TEST_F(Settings, ValuesSurviveSaveAndLoad) {
    InitDefaultSettings();
    g_Settings.TVNaviMode = 2;
    g_Settings.TVViewMode = 4;
    g_Settings.WeekdayColor[3] = 0x123456;
    g_Settings.ProgramX = 7;
    g_Settings.SplitterWidth = 321;
    g_Settings.PenColor = 0xFF;
    g_Settings.MarkerWidth = 98304;
    g_Settings.LockToolbar = 1;
    wcscpy(g_Settings.BaseDataFolder, u"\\Storage Card\\Memo");
    wcscpy(g_Settings.DefAlarmSoundPath, u"\\Windows\\Alarm1.wav");
    wcscpy(g_Settings.AdminPassword, u"secret");
    g_Settings.DefaultTemplate.BackColor = 0xFFFFFF;
    g_Settings.DefaultTemplate.Flags = eTFLines | eTFColumns;
    const ScribboSettings saved = g_Settings;
    ASSERT_EQ(SaveSettings(), 1);
    Restart();
    InitDefaultSettings();
    ASSERT_EQ(LoadSettings(), 1);
    const BYTE* got = reinterpret_cast<const BYTE*>(&g_Settings);
    const BYTE* want = reinterpret_cast<const BYTE*>(&saved);
    for (size_t i = 0; i < sizeof saved; ++i)
        ASSERT_EQ(got[i], want[i]) << "settings byte " << i;
}

TEST_F(Settings, ReadingRules) {
    {
        Key key(NewKey());
        regtest::SetDword(key.Get(), u"SplitterWidth", 150);
        regtest::SetDword(key.Get(), u"ButtonSize", 16);
        SetText(key.Get(), u"BaseDataFolder", u"");
        SetText(key.Get(), u"DefNewMemoFolder", u"");
        SetText(key.Get(), u"DefAlarmSoundPath", u"");
    }
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(g_Settings.SplitterWidth, 200u);
    EXPECT_EQ(g_Settings.ButtonSize, 32u); // forced on a high-resolution screen
    EXPECT_EQ(std::u16string(g_Settings.BaseDataFolder), u"\\My Documents\\Pad");
    EXPECT_EQ(std::u16string(g_Settings.DefNewMemoFolder), u"\\My Documents\\Pad");
    EXPECT_EQ(g_Settings.DefAlarmSoundPath[0], 0); // no default to fall back to

    {
        Key key(NewKey());
        regtest::SetDword(key.Get(), u"SplitterWidth", 201);
    }
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(g_Settings.SplitterWidth, 201u);
}

TEST_F(Settings, ButtonSizeIsKeptOnALowResolutionScreen) {
    LowResolution low;
    {
        Key key(NewKey());
        regtest::SetDword(key.Get(), u"ButtonSize", 24);
    }
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(g_Settings.ButtonSize, 24u);
}

TEST_F(Settings, LongTextsAreCutToTheirByteCounts) {
    InitDefaultSettings();
    const std::u16string longFolder(200, u'f');
    wcscpy(g_Settings.BaseDataFolder, longFolder.c_str());
    wcscpy(g_Settings.AdminPassword, u"abcdefghijklmnopqrst"); // 20 characters, 31 fit
    ASSERT_EQ(SaveSettings(), 1);
    EXPECT_EQ(Query(u"BaseDataFolder").data.size(), 260u);
    EXPECT_EQ(Query(u"AdminPassword").data.size(), 32u);
    Restart();
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(std::u16string(g_Settings.BaseDataFolder), std::u16string(129, u'f'));
    EXPECT_EQ(std::u16string(g_Settings.AdminPassword), u"abcdefghijklmno");
}

TEST_F(Settings, StoredTypeIsIgnoredAndEachValueFillsItsField) {
    {
        Key key(NewKey());
        // A colour stored as eight raw bytes: only the field's four are taken.
        regtest::Set(key.Get(), u"PenColor", REG_BINARY,
                     {0x11, 0x22, 0x33, 0x00, 0x99, 0x99, 0, 0});
        // A mode stored as text bytes.
        regtest::Set(key.Get(), u"TVViewMode", REG_SZ, {0x04, 0x00, 0x00, 0x00});
        // A folder stored as a DWORD-typed value.
        regtest::Set(key.Get(), u"BackImageFolder", REG_DWORD, regtest::Utf16(u"\\Pics"));
        // A short value replaces only its own bytes.
        regtest::Set(key.Get(), u"TitleHeight", REG_BINARY, {0x20});
    }
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(g_Settings.PenColor, 0x332211u);
    EXPECT_EQ(g_Settings.TVViewMode, 4u);
    EXPECT_EQ(std::u16string(g_Settings.BackImageFolder), u"\\Pics");
    EXPECT_EQ(g_Settings.TitleHeight, 0x20u); // default 80 = 0x50: low byte replaced
}

TEST_F(Settings, DefaultTemplateIsReadFromBesideTheProgram) {
    ASSERT_TRUE(CreateDirectoryW(u"\\Program Files\\Scribbo\\PBT", nullptr));
    TemplateHeader paper;
    InitTemplateHeader(&paper, 0);
    paper.BackColor = 0xEEEEEE;
    paper.HasBackImage = 1;
    paper.Flags |= eTFPicture;
    Bytes file = HeaderBytes(paper);
    Put32(file, 4);
    PutText(file, u"\\a.b");
    WriteHost(PbtHost(), file);
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(HeaderBytes(g_Settings.DefaultTemplate), HeaderBytes(paper));
    EXPECT_EQ(std::u16string(g_Settings.DefaultBackImagePath), u"\\a.b");

    // A damaged file leaves the defaults.
    WriteHost(PbtHost(), Bytes(file.begin(), file.begin() + 40));
    ASSERT_EQ(LoadSettings(), 1);
    TemplateHeader defaults;
    InitTemplateHeader(&defaults, 1);
    EXPECT_EQ(HeaderBytes(g_Settings.DefaultTemplate), HeaderBytes(defaults));
}

TEST_F(Settings, TemplateThatCannotBeWrittenIsReported) {
    // A file where the template folder should be.
    WriteHost(device.Host("Program Files/Scribbo/PBT"), {1, 2, 3});
    InitDefaultSettings();
    EXPECT_EQ(SaveSettings(), 0);
    // The registry values are written all the same.
    EXPECT_EQ(Query(u"TVNaviMode").result, ERROR_SUCCESS);
}

TEST_F(Settings, LegacyKeyIsImportedOnceAndRemoved) {
    {
        Key old(regtest::Create(HKEY_LOCAL_MACHINE, kLegacySettingsKey));
        HKEY k = old.Get();
        regtest::SetDword(k, u"BackgroundColor", 0xF0F0F0);
        regtest::SetDword(k, u"TitleHorLineColor", 0x0000AA);
        regtest::SetDword(k, u"HorLineColor", 0x00AA00);
        regtest::SetDword(k, u"TitleVerLineColor", 0xAA0000);
        regtest::SetDword(k, u"VerLineColor", 0x777777);
        regtest::SetDword(k, u"PenColor", 0x102030);
        regtest::SetDword(k, u"MarkerColor", 0x00FF00);
        regtest::SetDword(k, u"DrawTitleHorLine", 0);
        // DrawHorLine missing: repeats the 0 before it.
        regtest::SetDword(k, u"DrawTitleVerLine", 5);
        // DrawVerLine missing: repeats the 5.
        SetDouble(k, u"PenWidth", 0.75);
        SetDouble(k, u"EraserWidth", 2.99999);
        regtest::SetDword(k, u"LineSpace", 0x120);
        regtest::SetDword(k, u"ItemHeight", 50);
        SetText(k, u"BaseDataFolder", u"\\Old Memos");
        SetText(k, u"DefNewMemoFolder", u"");
        SetText(k, u"DefAlarmPath", u"\\Windows\\Ring.wav");
        Key sibling(regtest::Create(HKEY_LOCAL_MACHINE, u"Software\\Tarnic\\Other"));
        // Values already under the new key are not what counts at an import.
        Key current(NewKey());
        regtest::SetDword(current.Get(), u"PenColor", 0xABCDEF);
    }
    Restart();
    ASSERT_EQ(LoadSettings(), 1);

    auto check = [this] {
        const ScribboSettings& s = g_Settings;
        const TemplateHeader& t = s.DefaultTemplate;
        EXPECT_EQ(t.BackColor, 0xF0F0F0u);
        EXPECT_EQ(t.TitleHorLineColor, 0x0000AAu);
        EXPECT_EQ(t.HorLineColor, 0x00AA00u);
        EXPECT_EQ(t.TitleVerLineColor, 0xAA0000u);
        EXPECT_EQ(t.VerLineColor, 0x777777u);
        EXPECT_EQ(t.Flags, DWORD(eTFTitleColumn | eTFColumns));
        EXPECT_EQ(t.LineSpace, 0x20);
        EXPECT_EQ(t.ColumnSpace, 0x20);
        EXPECT_EQ(s.PenColor, 0x102030u);
        EXPECT_EQ(s.MarkerColor, 0x00FF00u);
        EXPECT_EQ(s.PenWidth, 49152);
        EXPECT_EQ(s.EraserWidth, 196607); // toward zero
        EXPECT_EQ(s.MarkerWidth, 131072); // missing: default
        EXPECT_EQ(s.TitleHeight, 50u);
        EXPECT_EQ(std::u16string(s.BaseDataFolder), u"\\Old Memos");
        EXPECT_EQ(std::u16string(s.DefNewMemoFolder), u"\\My Documents\\Pad");
        EXPECT_EQ(std::u16string(s.DefAlarmSoundPath), u"\\Windows\\Ring.wav");
    };
    check();

    Restart();
    HKEY gone = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLegacyRootKey, 0, KEY_READ, &gone), ERROR_SUCCESS);
    EXPECT_EQ(Query(u"PenColor").data, (Bytes{0x30, 0x20, 0x10, 0x00}));
    EXPECT_EQ(Text(Query(u"BaseDataFolder")), u"\\Old Memos");
    EXPECT_EQ(ReadHost(PbtHost()), HeaderBytes(g_Settings.DefaultTemplate));

    // The next start reads the new key and the written paper, and gets the same.
    InitDefaultSettings();
    ASSERT_EQ(LoadSettings(), 1);
    check();
}

TEST_F(Settings, LegacyImportKeepsSaneDefaultsForMissingOrBrokenValues) {
    {
        Key old(regtest::Create(HKEY_LOCAL_MACHINE, kLegacySettingsKey));
        SetDouble(old.Get(), u"PenWidth", std::numeric_limits<double>::quiet_NaN());
        SetDouble(old.Get(), u"MarkerWidth", 1e300);
    }
    ASSERT_EQ(LoadSettings(), 1);
    // No spacing given: the paper keeps its own instead of lines 0 apart.
    EXPECT_EQ(g_Settings.DefaultTemplate.LineSpace, 56);
    EXPECT_EQ(g_Settings.DefaultTemplate.ColumnSpace, 56);
    // Every switch missing: all four start from 1.
    EXPECT_EQ(g_Settings.DefaultTemplate.Flags,
              DWORD(eTFTitleLine | eTFTitleColumn | eTFLines | eTFColumns));
    EXPECT_EQ(g_Settings.PenWidth, 16384);
    EXPECT_EQ(g_Settings.MarkerWidth, 131072);
}
