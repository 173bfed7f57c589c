// A point with the constructors the windows use; a plain POINT underneath.
#pragma once

#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() { x = y = 0; }
    CPoint(int nx, int ny) {
        x = nx;
        y = ny;
    }
    // From a mouse message's LPARAM: signed x in the low word, y in the high word.
    explicit CPoint(LPARAM lParam) {
        x = static_cast<short>(LOWORD(lParam));
        y = static_cast<short>(HIWORD(lParam));
    }
};
