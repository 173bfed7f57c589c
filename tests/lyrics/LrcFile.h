// Writes lyric text to a file of its own and loads it, as the band would.
#pragma once

#include <string>

#include "lyrics/CLyc.h"
#include "support/TestSupport.h"

class LrcFile {
public:
    bool Load(CLyc& lyc, const std::string& bytes) {
        WriteFileBytes(m_dir.File("x.lrc"), bytes);
        return lyc.Load(Widen(m_dir.File("x.lrc")));
    }

private:
    ScratchDir m_dir;
};

inline const char kThreeLines[] = "[00:10.00]ten\r\n[00:20.00]twenty\r\n[00:30.00]thirty\r\n";
