#pragma once

#include "common/build.h"

namespace harvly {

// Runs one of the two programs: sets up the application for the build, opens the cover
// window and returns the exit status.
int RunProgram(int argc, char *argv[], const Build &build);

} // namespace harvly
