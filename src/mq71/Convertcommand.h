#pragma once

#include "mq71/Subcommand.h"

// mq71 convert IMAGE -f FORMAT [-o OUT] [--raw-input] [--depth WORDS]: an image's words in a
// format that simulators, synthesis tools and programmers load.
Subcommand AddConvertCommand(CLI::App& application);
