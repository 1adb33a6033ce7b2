#include <platform/entry.h>
#include <platform/module.h>

int main() {
    WCHAR empty[1] = {0};
    return WinMain(plat::ThisModule(), nullptr, empty, 1);
}
