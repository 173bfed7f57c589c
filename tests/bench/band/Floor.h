// What one update of a layered window costs this system whatever the band does: a push of one
// tile as the band makes it, and, for comparison, a SetWindowPos that changes nothing, which
// Wine's UpdateLayeredWindow goes through on every call.
#pragma once

namespace band {

// Makes nCalls of the named kind ("push" or "place") and prints the process's CPU per call.
int Floor(const wchar_t* pszKind, int nCalls);

}  // namespace band
