// The RIFF header of a .wav file, checked before "waveaudio" is given the file: a format
// chunk with no channels makes that device divide by zero inside the process.
#pragma once

// True when the file starts with RIFF/WAVE, then a "fmt " chunk with at least one channel,
// a rate, an average byte rate and a block alignment above zero (and bits per sample above
// zero for the PCM and float formats), followed by a "data" chunk. Reads the chunk headers
// and the format only, never the sound.
bool IsPlayableWaveFile(const wchar_t* pszPath);
