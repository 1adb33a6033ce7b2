// The entry point of every program built on the platform.
#include <platform/entry.h>

#ifndef SCRIBBO_DATA_DIR
#define SCRIBBO_DATA_DIR ""
#endif

int main(int argc, char** argv) {
    return plat::RunProgram(argc, argv, &WinMain, SCRIBBO_DATA_DIR);
}
