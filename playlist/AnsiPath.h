// Paths for the ANSI world: the player opens, shows and stores every path in the system's code
// page (GBK), while the shell and the file dialog name files in UTF-16.
#pragma once

#include <string>

#include "framework/CString.h"

// The text in the ANSI code page; false when a character has no place in it.
bool ToAnsiExactly(const std::wstring& strWide, CString& strAnsi);
// The text in the ANSI code page, with '?' for what it lacks: good enough to read an extension.
CString ToAnsiLossy(const std::wstring& strWide);
// A path the ANSI functions open for the file: the path itself when the code page holds it,
// else its 8.3 short path. False when neither does (the volume keeps no short names, or the
// file is not there).
bool AnsiPathOf(const std::wstring& strWide, CString& strPath);
