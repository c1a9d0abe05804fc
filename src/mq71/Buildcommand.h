#pragma once

#include "mq71/Subcommand.h"

// mq71 build [options] SOURCE...: the translator of mq71asm, run by the conventions of today's
// toolchains: GNU options and diagnostics, paths relative to where it was started, dependency
// files, a symbol map, no trace unless asked, no dump files in the source tree, and the same
// files from two runs on the same inputs.
Subcommand AddBuildCommand(CLI::App& application);
