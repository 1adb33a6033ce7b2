// The application's texts: "language.txt" in the program folder, one text per line, looked
// up by line index.
#pragma once

#include <windows.h>

inline constexpr int kLanguageTextCount = 104;

// Reads the file; 1 when it holds exactly 104 texts, else 0 with the table empty.
int LoadLanguageFile();
// The text of that index, or an empty string outside the table. Never null; valid until
// FreeLanguageTexts.
const WCHAR* GetLangText(int index);
// Frees every text and empties the table.
void FreeLanguageTexts();
// Number of texts in the table.
int GetLangTextCount();
