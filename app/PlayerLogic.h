// The main window's arithmetic, kept apart from the window so tests can call it directly.
#pragma once

#include <windows.h>

#include "framework/CString.h"

// Elapsed time as minutes and seconds, each at least two digits: 6 000 000 ms reads 100:00.
CString FormatElapsed(DWORD dwMilliseconds);

// The row Previous or Next moves to in a box of nCount rows with nSel selected, wrapping
// around; -1 when there is nothing to move (no rows, no selection). One row stays put.
int StepSelection(int nCount, int nSel, bool bNext);
