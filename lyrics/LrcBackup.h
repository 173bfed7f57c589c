// Replacing a song's lyric file with lyrics the listener chose, the file there before kept
// beside it: name.lrc.bak, or name.lrc.bak1, .bak2, … when that is taken.
#pragma once

#include <string>

#include "framework/CStringW.h"

// The first of strPath + ".bak", ".bak1", ".bak2", … that names nothing.
CStringW FreeBackupPath(const CStringW& strPath);
// Makes bytes the file at strPath (and its folder when missing). A file there before is copied
// to a free backup path first, given in pstrBackup (empty when there was none). False when the
// file could not be replaced: it is then as it was, and no backup is left.
bool ReplaceKeepingBackup(const CStringW& strPath, const std::string& bytes, CStringW* pstrBackup);
