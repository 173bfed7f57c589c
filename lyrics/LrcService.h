// Where the lyrics service is and how the player names itself to it, shared by the search at a
// song's start and the choice of matches.
#pragma once

#include <windows.h>

#include <string>

// A connection is given up after this long, a whole request after the other.
constexpr DWORD LRC_CONNECT_MS = 3000;
constexpr DWORD LRC_REQUEST_MS = 8000;

// The service's address, or the one SONELLO_LYRICS_URL names.
std::wstring LrcServiceUrl();
// The service asks every program to name itself, its version and where to learn about it.
std::wstring LrcServiceAgent();
