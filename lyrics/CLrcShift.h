// How far the listener has moved each song's lyrics by key, on top of the offset they were loaded
// with, kept across runs: for lyrics in a file of "Lrc\" as that file's [offset:] tag, for lyrics
// inside the song (or a lyric file that cannot be written) in the settings file, keyed by the song.
// Moves are kept in memory at once and written by Save, which the band calls a few seconds after
// the last key press, so a run of presses writes once.
#pragma once

#include <map>

#include "framework/CString.h"
#include "framework/CStringW.h"
#include "state/CSettings.h"

class CLrcShift {
public:
    enum class SaveResult {
        Saved,           // everything is where it belongs, or nothing was to be written
        KeptInSettings,  // a lyric file could not be written (read-only): its shift went to the settings
        Failed,          // not written at all; tried again at the next save
    };

    explicit CLrcShift(CSettings& settings = g_settings) : m_settings(settings) {}

    // The song's lyrics were loaded with the offset dLoaded (seconds) from the file strLrcPath,
    // empty for lyrics inside the song. The first time in a run, or when the file's offset is no
    // longer the one it had or a save gave it (edited meanwhile), this starts from dLoaded and the
    // shift kept in the settings; otherwise the song keeps its shift. Returns the offset to look
    // up with.
    double Loaded(const CStringW& strSongPath, const CStringW& strLrcPath, double dLoaded);
    // The song's lyrics were replaced: the next load starts from the new file's own offset, and a
    // shift kept in the settings for the old ones goes.
    void Forget(const CStringW& strSongPath);
    // The offset to look up with: the loaded one plus the shift.
    double OffsetOf(const CStringW& strSongPath) const;
    // Seconds added to the loaded offset for this song; positive shows the lyrics earlier.
    double Of(const CStringW& strSongPath) const;
    // Adds to the song's shift; returns the new total.
    double Move(const CStringW& strSongPath, double dSeconds);
    void Reset(const CStringW& strSongPath);
    bool HasUnsaved() const;
    // Writes the shift of every song moved since the last save.
    SaveResult Save();

    // What the band says about a total: "歌词提前 1.5 秒", "歌词延后 0.5 秒", "歌词时间已还原".
    static CString Describe(double dTotal);

private:
    struct Entry {
        CStringW strLrcPath;   // full path; empty for lyrics inside the song
        double dLoaded = 0.0;  // what the shift goes on top of
        double dShift = 0.0;
        double dInFile = 0.0;  // what the file's tag says, as loaded or last written
        bool bUnsaved = false;
    };
    SaveResult SaveEntry(const CStringW& strSongPath, Entry& entry);
    int StoredShiftMs(const CStringW& strSongPath) const;

    CSettings& m_settings;
    std::map<CStringW, Entry> m_mapShift;
};
