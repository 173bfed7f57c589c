#include "lyrics/LrclibApi.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "framework/CString.h"
#include "lyrics/CLyc.h"
#include "lyrics/LrcText.h"

using nlohmann::json;

const wchar_t kLrclibBaseUrl[] = L"https://lrclib.net";

namespace {

// How far the service's duration of a song may lie from ours for a search result to count.
const double kDurationSlackMs = 3000.0;

std::string StringField(const json& record, const char* pszName) {
    const auto it = record.find(pszName);
    return it != record.end() && it->is_string() ? it->get<std::string>() : std::string();
}

bool HasText(const std::string& s) {
    return s.find_first_not_of(" \t\r\n") != std::string::npos;
}

// By the lyric reader's own rules, so that a file kept is a file the band shows.
bool HasTimeLine(const std::string& strLyricsUtf8) {
    CLyc reader;
    reader.LoadBytes(strLyricsUtf8);
    return reader.IsLoaded();
}

LrcAnswer ReadRecord(const json& record) {
    LrcAnswer answer;
    if (!record.is_object()) {
        answer.kind = LrcAnswerKind::Unreadable;
        return answer;
    }
    answer.strTitle = StringField(record, "trackName");
    answer.strArtist = StringField(record, "artistName");
    answer.strAlbum = StringField(record, "albumName");
    const std::string strSynced = StringField(record, "syncedLyrics");
    const auto instrumental = record.find("instrumental");
    if (instrumental != record.end() && instrumental->is_boolean() && instrumental->get<bool>()) {
        answer.kind = LrcAnswerKind::Instrumental;
    } else if (HasTimeLine(strSynced)) {
        answer.kind = LrcAnswerKind::Synced;
        answer.strLyrics = strSynced;
    } else if (HasText(StringField(record, "plainLyrics")) || HasText(strSynced)) {
        answer.kind = LrcAnswerKind::PlainOnly;
    }
    return answer;
}

bool ParseBody(const std::string& strBody, json& value) {
    if (strBody.size() > LRCLIB_MAX_ANSWER)
        return false;
    value = json::parse(strBody, nullptr, false);
    return !value.is_discarded();
}

// Names go into one header line each.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return s;
}

void AddParameter(std::string& strPath, const char* pszName, const std::string& strValue) {
    strPath += strPath.find('?') == std::string::npos ? '?' : '&';
    strPath += pszName;
    strPath += '=';
    strPath += PercentEncode(strValue);
}

}  // namespace

std::string PercentEncode(const std::string& strUtf8) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : strUtf8) {
        const unsigned char b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' || b == '_' ||
            b == '.' || b == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
    }
    return out;
}

std::string LrclibGetPath(const SongTags& tags, DWORD dwDurationMs) {
    if (tags.strTitle.empty() || tags.strArtist.empty() || dwDurationMs == 0)
        return std::string();
    std::string strPath = "/api/get";
    AddParameter(strPath, "track_name", tags.strTitle);
    AddParameter(strPath, "artist_name", tags.strArtist);
    if (!tags.strAlbum.empty())
        AddParameter(strPath, "album_name", tags.strAlbum);
    char szSeconds[16];
    std::snprintf(szSeconds, sizeof(szSeconds), "%lu", static_cast<unsigned long>((dwDurationMs + 500) / 1000));
    AddParameter(strPath, "duration", szSeconds);
    return strPath;
}

std::string LrclibSearchPath(const SongTags& tags) {
    if (tags.strTitle.empty())
        return std::string();
    std::string strPath = "/api/search";
    AddParameter(strPath, "track_name", tags.strTitle);
    if (!tags.strArtist.empty())
        AddParameter(strPath, "artist_name", tags.strArtist);
    return strPath;
}

LrcAnswer ReadLrclibRecord(const std::string& strBody) {
    json value;
    if (!ParseBody(strBody, value)) {
        LrcAnswer answer;
        answer.kind = LrcAnswerKind::Unreadable;
        return answer;
    }
    return ReadRecord(value);
}

std::vector<LrcCandidate> ReadLrclibCandidates(const std::string& strBody, DWORD dwDurationMs, bool* pbReadable) {
    std::vector<LrcCandidate> candidates;
    json value;
    const bool bReadable = ParseBody(strBody, value) && value.is_array();
    if (pbReadable)
        *pbReadable = bReadable;
    if (!bReadable)
        return candidates;
    for (const json& record : value) {
        if (!record.is_object())
            continue;
        LrcCandidate candidate;
        candidate.answer = ReadRecord(record);
        const auto it = record.find("duration");
        if (it != record.end() && it->is_number())
            candidate.dDuration = it->get<double>();
        candidates.push_back(std::move(candidate));
    }
    const auto rank = [](const LrcCandidate& c) {
        switch (c.answer.kind) {
        case LrcAnswerKind::Synced:
            return 0;
        case LrcAnswerKind::Instrumental:
            return 1;
        case LrcAnswerKind::PlainOnly:
            return 2;
        default:
            return 3;
        }
    };
    // Unknown lengths go last within their kind.
    const auto distance = [dwDurationMs](const LrcCandidate& c) {
        return dwDurationMs == 0 ? 0.0 : c.dDuration < 0 ? 1e12 : std::fabs(c.dDuration * 1000.0 - dwDurationMs);
    };
    std::stable_sort(candidates.begin(), candidates.end(), [&](const LrcCandidate& a, const LrcCandidate& b) {
        return rank(a) != rank(b) ? rank(a) < rank(b) : distance(a) < distance(b);
    });
    return candidates;
}

LrcAnswer ReadLrclibSearch(const std::string& strBody, DWORD dwDurationMs) {
    bool bReadable = false;
    const std::vector<LrcCandidate> candidates = ReadLrclibCandidates(strBody, dwDurationMs, &bReadable);
    LrcAnswer best;
    if (!bReadable)
        best.kind = LrcAnswerKind::Unreadable;
    for (const LrcCandidate& candidate : candidates) {
        const bool bFits =
            dwDurationMs == 0 ||
            (candidate.dDuration >= 0 && std::fabs(candidate.dDuration * 1000.0 - dwDurationMs) <= kDurationSlackMs);
        // Sorted: the first that fits is the best kind nearest the song's length.
        if (bFits && candidate.answer.kind != LrcAnswerKind::None) {
            best = candidate.answer;
            break;
        }
    }
    if (best.kind != LrcAnswerKind::Synced)
        best.strLyrics.clear();
    return best;
}

std::string LrcFileText(const LrcAnswer& answer, const SongTags& tags) {
    std::string out = "\xEF\xBB\xBF";
    const auto header = [&out](const char* pszTag, const std::string& strAnswer, const std::string& strSong) {
        out += '[';
        out += pszTag;
        out += ':';
        out += OneLine(strAnswer.empty() ? strSong : strAnswer);
        out += "]\r\n";
    };
    header("ti", answer.strTitle, tags.strTitle);
    header("ar", answer.strArtist, tags.strArtist);
    header("al", answer.strAlbum, tags.strAlbum);
    ForEachLrcLine(answer.strLyrics, [&out](const char* pLine, size_t nLength) {
        out.append(pLine, nLength);
        out += "\r\n";
    });
    return out;
}
