// The toolkit's open and save dialog, and the rules it lists a folder by: the filter string
// "description|pattern|description|pattern||" and the match of a file name against a pattern
// such as "*.jpg;*.jpeg".
#pragma once

#include "fundo/GArray.h"

#include <windows.h>

// Splits the filter into owned descriptions and patterns (AllocString copies), pair by pair,
// up to the empty description that ends it; a description without a pattern is dropped.
// Returns the number of pairs.
int ParseFileFilter(LPCWSTR filter, GArray* descriptions, GArray* patterns);
// Frees the owned strings and empties the array.
void FreeFilterStrings(GArray* strings);
// The filter to start with: the first whose pattern contains initial when one is given, else
// the last; -1 without patterns.
int ChooseFileFilter(const GArray& patterns, LPCWSTR initial);
// 1 when a file of this name is listed under the pattern: the name needs an extension (after
// its last dot) and the pattern must be "*.*" or hold an entry "*.ext" of that extension
// (case aside).
int IsFileInPattern(LPCWSTR pattern, LPCWSTR name);
