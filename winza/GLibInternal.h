// Pieces of the library start-up shared between the toolkit's own files.
#pragma once

// Colours 0-79 to their defaults (the platform's button colours read now).
void SetDefaultGLibColors();
// The text table from "winza.lng" beside the program, or the built-in texts.
void LoadGLibTexts();
void FreeGLibTexts();
