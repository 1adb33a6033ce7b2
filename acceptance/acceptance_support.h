// Runs the real scribbo program on a script in a device folder of the test's own, reads the
// memo files back through padtool dump, and knows where the program's controls are on each
// screen size.
#pragma once

#include "Json.h"

#include <TestDevice.h>
#include <TestPng.h>

#include <string>
#include <vector>

namespace acceptance {

struct Pt {
    int x, y;
};

// Where things are on one screen size. Page positions become screen positions through
// PageToScreen (the pad shows the page at 100 % below the locked top toolbar).
struct Screen {
    const char* name;
    int width, height;
    int scale; // screen pixels per page pixel at 100 %
    int topBar;
    // Main window toolbar.
    Pt newMemo, naviMode, viewMode, options;
    // Folder list bar: the folder button and the first subfolder's tab; a pop-up menu's rows
    // from where the stylus held it.
    Pt folderButton, secondTab;
    int menuDx, menuDy, menuStep;
    // The second folder in the drop-down tree; the first swatch of a folder colour menu
    // opened from the second tab, and the step between swatches.
    Pt treeSecond, firstSwatch;
    int swatchStep;
    // Date list bar and calendar.
    Pt dateButton, nextWeek, calendarFirstMonday;
    // Title view: middle of the first row, middle of the first grid cell.
    Pt firstRow, firstCell;
    // Pad view: top toolbar items from the left, the close button; pen toolbar items from
    // the left, its corner button, and the presets (pens 0-5, pencil, markers, eraser,
    // stroke delete) once the corner opened them.
    int topY, penY;
    int barFirst, barStep, closeX, cornerX;
    int presetFirst, presetStep;
    // Options dialog: the list row height's up arrow and OK.
    Pt rowHeightUp, optionsOk;

    Pt Top(int i) const { return {barFirst + barStep * i, topY}; }
    Pt Pen(int i) const { return {barFirst + barStep * i, penY}; }
    Pt Preset(int i) const { return {presetFirst + presetStep * i, penY}; }
    Pt MenuRow(Pt held, int row) const {
        return {held.x + menuDx, held.y + menuDy + menuStep * row};
    }
    Pt PageToScreen(int x, int y) const { return {x * scale, topBar + y * scale}; }
};

extern const Screen kScreens[2];

// Builds a script one step a line.
class Script {
public:
    Script& Tap(Pt p);
    Script& Hold(Pt p, int ms = 1000);
    Script& DoubleTap(Pt p);
    // A straight stroke in a few steps.
    Script& Stroke(Pt from, Pt to);
    Script& Key(const std::string& name);
    Script& Type(const std::string& text);
    Script& Wait(int ms);
    Script& Shot(const std::string& path);
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

// One device folder and the program run on it, screenshots kept for looking at afterwards
// under the build's test-output/acceptance/<test>/.
class Device {
public:
    explicit Device(const Screen& screen);
    // Settings the program starts with: registry lines "name"=value under the program key.
    void Seed(const std::vector<std::string>& values);
    // Runs the program on the script (and extra arguments); its exit code.
    int Run(const Script& script, const std::vector<std::string>& args = {});
    std::string ShotPath(const std::string& name) const;
    TestPicture Picture(const std::string& name) const;
    std::string Host(const std::string& devicePath) const { return m_device.Host(devicePath); }
    // The memo files below My Documents\Pad, sorted.
    std::vector<std::string> Memos() const;
    // padtool dump of a memo; a null value when it fails.
    padtool::Json Dump(const std::string& hostPath) const;
    std::string Registry() const;
    const Screen& screen;

private:
    TestDevice m_device;
    std::string m_shots;
};

// How many pixels of the rectangle lie within tolerance of the colour on every channel.
int CountNear(const TestPicture& p, int left, int top, int right, int bottom, COLORREF colour,
              int tolerance);

// How many pixels of the rectangle show ink of the colour over the paper: nearer to the
// colour than ratio times the paper's distance from it (thin ink is antialiased, markers are
// translucent, previews are small).
int CountInk(const TestPicture& p, int left, int top, int right, int bottom, COLORREF colour,
             COLORREF paper, double ratio);

// Members of a dumped memo.
// A member of an object; null when absent or not an object.
const padtool::Json* Member(const padtool::Json& object, const char* key);
int PageCount(const padtool::Json& memo);
// The page's objects as an array, empty when there is no such page.
const padtool::Json& Objects(const padtool::Json& memo, int page);
std::int64_t Int(const padtool::Json& object, const char* key);
std::string Str(const padtool::Json& object, const char* key);

} // namespace acceptance
