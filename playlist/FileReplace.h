// Replacing the song-list file in one step: whoever writes it writes a temporary file beside
// it, which then moves over the old one, so a crash leaves the old file or the new one.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The temporary file written before the move.
std::string TempFileFor(const char* pszFile);
// Runs write on the temporary file's name, puts the result on disk and moves it over pszFile.
// A read-only pszFile is refused; the temporary file is gone on failure.
HRESULT ReplaceFileWith(const char* pszFile, const std::function<HRESULT(const char* pszTemp)>& write);
