// Numbers and texts as song files' tags write them: big- and little-endian sizes, and texts in
// UTF-8, UTF-16 or a legacy code page, all turned into UTF-8.
#pragma once

#include <cstdint>
#include <string>

unsigned char ByteAt(const std::string& s, size_t i);
uint32_t BigEndian24(const std::string& s, size_t i);
uint32_t BigEndian32(const std::string& s, size_t i);
uint64_t BigEndian64(const std::string& s, size_t i);
uint32_t LittleEndian32(const std::string& s, size_t i);

// The bytes from nFrom up to the first NUL (or the end).
std::string UpToNul(const std::string& s, size_t nFrom);
// UTF-16 from nFrom up to the first 16-bit NUL, as UTF-8.
std::string Utf16ToUtf8(const std::string& bytes, size_t nFrom, bool bBigEndian);
// Bytes written without saying their encoding (ID3v1, ID3v2 encoding 0, RIFF INFO, and Vorbis
// comments or MP4 texts from taggers that ignore their format's UTF-8): UTF-8 when they are
// that, else GBK when they are that (Chinese taggers write it), else ISO-8859-1.
std::string LegacyTextToUtf8(const std::string& bytes);
