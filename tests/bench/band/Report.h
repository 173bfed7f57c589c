// Turns a run's samples into the figures band.py prints: how often the red edge moves and how
// far it stands from the device position of the same moment.
#pragma once

#include "tests/bench/band/Sampling.h"

namespace band {

void Report(const Run& run, const char* pszSong);

}  // namespace band
