// Song files built byte by byte around their tags, for the tag readers and the lyric band: what
// the tools cannot write (lyrics in every ID3 encoding, comments across pages, damaged sizes).
// Only the tags are real; the "audio" is a few bytes no reader should touch.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace song_bytes {

inline std::string BigEndian32(uint32_t n) {
    return {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
}

inline std::string LittleEndian32(uint32_t n) {
    return {char(n), char(n >> 8), char(n >> 16), char(n >> 24)};
}

inline std::string Utf16(const std::wstring& text, bool bBigEndian) {
    std::string s;
    for (const wchar_t c : text)
        s += bBigEndian ? std::string{char(c >> 8), char(c)} : std::string{char(c), char(c >> 8)};
    return s;
}

// An ID3v2.3 tag of frames, each an id and its body.
inline std::string Id3v23(const std::vector<std::pair<std::string, std::string>>& frames) {
    std::string body;
    for (const auto& [id, data] : frames)
        body += id + BigEndian32(static_cast<uint32_t>(data.size())) + std::string(2, '\0') + data;
    body += std::string(32, '\0');
    const uint32_t n = static_cast<uint32_t>(body.size());
    return std::string("ID3\x03\0\0", 6) + char(n >> 21 & 0x7F) + char(n >> 14 & 0x7F) + char(n >> 7 & 0x7F) +
           char(n & 0x7F) + body;
}

// Vendor, then "NAME=value" fields.
inline std::string VorbisComment(const std::vector<std::string>& fields) {
    std::string s = LittleEndian32(7) + "Sonello" + LittleEndian32(static_cast<uint32_t>(fields.size()));
    for (const std::string& field : fields)
        s += LittleEndian32(static_cast<uint32_t>(field.size())) + field;
    return s;
}

// STREAMINFO, then the comment as the last metadata block.
inline std::string Flac(const std::vector<std::string>& fields) {
    const std::string comment = VorbisComment(fields);
    const uint32_t n = static_cast<uint32_t>(comment.size());
    return "fLaC" + std::string("\0\0\0\x22", 4) + std::string(34, '\0') + char(0x84) + char(n >> 16) + char(n >> 8) +
           char(n) + comment + "\xFF\xF8 not really sound";
}

// Packets laid into pages of at most nMaxSegments lacing values each.
inline std::string Ogg(const std::vector<std::string>& packets, size_t nMaxSegments = 255) {
    std::string lacing, data;
    for (const std::string& packet : packets) {
        lacing += std::string(packet.size() / 255, '\xFF') + char(packet.size() % 255);
        data += packet;
    }
    std::string out;
    bool bContinued = false;
    size_t pos = 0;
    for (uint32_t nPage = 0; nPage * nMaxSegments < lacing.size(); ++nPage) {
        const std::string segments = lacing.substr(nPage * nMaxSegments, nMaxSegments);
        size_t nBody = 0;
        for (const char c : segments)
            nBody += static_cast<unsigned char>(c);
        out += std::string("OggS\0", 5) + char((bContinued ? 1 : 0) | (nPage == 0 ? 2 : 0)) + std::string(8, '\0') +
               LittleEndian32(0x50A0) + LittleEndian32(nPage) + LittleEndian32(0) + char(segments.size()) + segments +
               data.substr(pos, nBody);
        pos += nBody;
        bContinued = segments.back() == '\xFF';
    }
    return out;
}

inline std::string OggVorbis(const std::vector<std::string>& fields, size_t nMaxSegments = 255) {
    return Ogg({"\x01vorbis" + std::string(23, '\0'), "\x03vorbis" + VorbisComment(fields) + '\x01', "\x05vorbis setup",
                "audio"},
               nMaxSegments);
}

inline std::string Opus(const std::vector<std::string>& fields) {
    return Ogg({"OpusHead\x01\x02" + std::string(9, '\0'), "OpusTags" + VorbisComment(fields), "audio"});
}

inline std::string Atom(const std::string& type, const std::string& body) {
    return BigEndian32(static_cast<uint32_t>(8 + body.size())) + type + body;
}

// Items of ilst, each a type ("\xA9nam") and its UTF-8 text; the audio before the tags.
inline std::string M4a(const std::vector<std::pair<std::string, std::string>>& items) {
    std::string ilst;
    for (const auto& [type, text] : items)
        ilst += Atom(type, Atom("data", BigEndian32(1) + BigEndian32(0) + text));
    const std::string meta = BigEndian32(0) + Atom("hdlr", std::string(25, '\0')) + Atom("ilst", ilst);
    return Atom("ftyp", "M4A " + BigEndian32(0) + "M4A isom") + Atom("mdat", "not really sound") +
           Atom("moov", Atom("mvhd", std::string(100, '\0')) + Atom("udta", Atom("meta", meta)));
}

}  // namespace song_bytes
