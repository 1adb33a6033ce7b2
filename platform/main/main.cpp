// The entry point of every program built on the platform.
#include <platform/entry.h>

#ifndef SCRIBBO_DATA_DIR
#define SCRIBBO_DATA_DIR ""
#endif
#ifndef SCRIBBO_INSTALLED_DATA_DIR
#define SCRIBBO_INSTALLED_DATA_DIR ""
#endif

int main(int argc, char** argv) {
    // Installed, the data sits in the share folder; in the build tree, in the sources.
    return plat::RunProgram(argc, argv, &WinMain, {SCRIBBO_INSTALLED_DATA_DIR, SCRIBBO_DATA_DIR});
}
