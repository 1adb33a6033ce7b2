// Shortening a caption with an ellipsis so that it fits a rectangle's width.
#pragma once

#include <platform/wintypes.h>

// Modes of TrimString: which end of the text gives way to the ellipsis.
#define TRIM_START 0
#define TRIM_END 1

// A new string (release with FreeString) that fits the width of rect when drawn with dc's
// current font: the whole text when it fits, else the longest prefix followed by ellipsis
// (TRIM_END) or ellipsis followed by the longest suffix (TRIM_START). When not even the
// ellipsis fits, the ellipsis alone. Null for a null or empty text, an unknown mode or when
// memory runs out.
WCHAR* TrimString(HDC dc, const WCHAR* text, const RECT* rect, int mode, const WCHAR* ellipsis);
