// What the controls read the toolkit's colour table for: each role is the index GetGLibColor
// takes. Several roles start with the same default; an application can give each its own.
#pragma once

enum eGLibColor : int {
    // Bars, buttons and menus.
    eColorRaised = 1,   // menu frame fill, the light line of grooves, raised inner boxes
    eColorSunken = 2,   // the dark line of grooves and raised inner boxes
    eColorBarBack = 3,  // bars, buttons and tool bars
    eColorBarLight = 4, // a bar's left and top edges
    eColorEdge = 5,     // dark edges: bars, buttons, menus, separators, the name edit's line
    eColorToolBarEdge = 6,
    eColorButtonHover = 10, // a checked button under the pen
    eColorPushedFill = 13,
    eColorPushedLight = 14,
    eColorPushedDark = 15,
    eColorCheckedFill = 16,
    eColorCheckedLight = 17,
    eColorCheckedDark = 18,

    // Scroll bars: the track beside the thumb, the arrow boxes and the thumb.
    eColorTrack = 24,
    eColorTrackPressed = 25, // also a pressed arrow box
    eColorTrackLight = 26,
    eColorTrackDark = 27,
    eColorArrow = 28,
    eColorArrowPressed = 29,
    eColorArrowBox = 30,
    eColorArrowBoxLight = 31,
    eColorArrowBoxDark = 32,
    eColorThumb = 33,
    eColorThumbDragged = 34,
    eColorThumbLight = 35,
    eColorThumbDark = 36,

    // The date selector. Day texts come in pairs: in the month, then outside it.
    eColorDateHeader = 37,
    eColorDateHeaderLunar = 38,
    eColorDateTitle = 39,
    eColorDateTitlePressed = 40,
    eColorDateStep = 41, // the previous and next month boxes
    eColorDateStepHeld = 42,
    eColorDateStepEdge = 43,
    eColorDateStepEdgeHeld = 44,
    eColorDateStepArrow = 45,
    eColorDateStepArrowHeld = 46,
    eColorWeekRow = 47,
    eColorWeekLine = 48,
    eColorSundayBack = 49,
    eColorSundayText = 50,
    eColorDayBack = 52, // also the calendar behind the cells
    eColorDayText = 53,
    eColorSaturdayBack = 55,
    eColorSaturdayText = 56,
    eColorTodayCell = 58,
    eColorDateSelection = 59,
    eColorTodayStrip = 60,
    eColorTodayText = 61,

    // Trees and lists.
    eColorTreeBack = 64,
    eColorTreeSelBack = 65,
    eColorTreeText = 66,
    eColorTreeSelText = 67,
    eColorTreeLine = 68,
    eColorListBack = 69,
    eColorListSelBack = 70,
    eColorListText = 71,
    eColorListSelText = 72,

    // Menu items, the application's colour menus included.
    eColorMenuItem = 73,
    eColorMenuHighlight = 74,
    eColorMenuFocus = 75,
    eColorMenuText = 76,
    eColorMenuHighlightText = 77,

    // The dialog body, taken from the dialog frame picture.
    eColorDialogBody = 79,
};
