// Where the start goes, step by step, for the start-up benchmark. Off unless the environment
// variable SONELLO_STARTUP_TIMES names a file: then each noted step gets the milliseconds since
// the process was created, and Write puts them in that file, one "step<TAB>ms" line each.
#pragma once

namespace StartupTimes {

// Notes the end of a step; safe from any thread. pszStep must outlive the process's start.
void Note(const char* pszStep);
// Writes what was noted so far, once; later calls do nothing.
void Write();

}  // namespace StartupTimes
