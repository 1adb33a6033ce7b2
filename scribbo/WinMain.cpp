#include "scribbo/ScribboProgram.h"

#include <platform/entry.h>

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    return RunScribbo(instance, commandLine);
}
