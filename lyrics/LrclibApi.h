// Asking LRCLIB's public API for a song's synced lyrics, and reading what it answers: the
// questions as request paths, the answers as what to keep. Plain functions; no network here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tags/SongTags.h"

// Where the questions go unless SONELLO_LYRICS_URL names another address.
extern const wchar_t kLrclibBaseUrl[];
// An answer past this is not read.
constexpr size_t LRCLIB_MAX_ANSWER = 1024 * 1024;

// UTF-8 bytes with everything but letters, digits and - _ . ~ written as %XX.
std::string PercentEncode(const std::string& strUtf8);
// /api/get with track_name, artist_name, album_name (when known) and duration in whole seconds;
// empty when the title, the artist or the duration is unknown, which that lookup needs.
std::string LrclibGetPath(const SongTags& tags, DWORD dwDurationMs);
// /api/search with track_name and, when known, artist_name; empty without a title.
std::string LrclibSearchPath(const SongTags& tags);

enum class LrcAnswerKind {
    Synced,        // lyrics in strLyrics with at least one line the lyric reader takes for timed
    Instrumental,  // the service knows the song has no words
    PlainOnly,     // words, but no timed line
    None,          // nothing for this song
    Unreadable,    // not an answer of the service: malformed, oversized, or of the wrong shape
};

struct LrcAnswer {
    LrcAnswerKind kind = LrcAnswerKind::None;
    std::string strLyrics;  // UTF-8, as the service gives it
    // The names the service files the song under; empty when it gives none.
    std::string strTitle;
    std::string strArtist;
    std::string strAlbum;
};

// The body of a 200 answer to /api/get: one record.
LrcAnswer ReadLrclibRecord(const std::string& strBody);
// One record of a search as the listener chooses among them.
struct LrcCandidate {
    LrcAnswer answer;         // kind None when the record says nothing of the words
    double dDuration = -1.0;  // seconds; below 0 when the service gives none
};

// The records of a 200 answer to /api/search: synced lyrics first, then instrumental, plain and
// none; within each, the nearest to the song's length first (in the service's order when it is
// unknown). pbReadable, when given, tells a list from anything else.
std::vector<LrcCandidate> ReadLrclibCandidates(const std::string& strBody, DWORD dwDurationMs,
                                               bool* pbReadable = nullptr);
// The body of a 200 answer to /api/search: of the records whose duration is within 3 s of the
// song's (any, when the song's is unknown), the synced one nearest its length; failing that, what
// those records say of the song, instrumental first.
LrcAnswer ReadLrclibSearch(const std::string& strBody, DWORD dwDurationMs);

// The lyric file to keep for a synced answer: UTF-8 with a byte-order mark, [ti:], [ar:], [al:]
// lines from the answer's names (the song's where it gives none), then the lyrics, CR LF ends.
std::string LrcFileText(const LrcAnswer& answer, const SongTags& tags);
