// The run-time binding to zlib: "GZLib.dll" is loaded on first need, never linked.
#pragma once

#include <platform/wintypes.h>

// zlib's compress2 and uncompress (destination, destination length in/out, source, source
// length[, level]); 0 means success.
using GZCompress2Proc = int (*)(BYTE*, unsigned long*, const BYTE*, unsigned long, int);
using GZUncompressProc = int (*)(BYTE*, unsigned long*, const BYTE*, unsigned long);

// 1 when "GZLib.dll" is loaded (now or before), 0 when it cannot be. A missing export still
// gives 1; its address below stays null.
int InitGZLib();
// Frees the module and clears the binding. Also done when fundo is unloaded.
void ReleaseGZLib();

// The bound functions, null while unbound.
GZCompress2Proc GZCompress2();
GZUncompressProc GZUncompress();
