#include "fundo/Flags.h"

int SetFlag(int on, DWORD& word, DWORD mask) {
    if (mask == 0)
        return 0;
    bool allSet = (word & mask) == mask;
    if (on) {
        if (allSet)
            return 0;
        word |= mask;
        return 1;
    }
    if (!allSet)
        return 0;
    word &= ~mask;
    return 1;
}

int GetFlag(DWORD word, DWORD mask) {
    return (word & mask) == mask ? 1 : 0;
}

int GetFootPrint() {
    return 0;
}
