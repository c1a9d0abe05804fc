#pragma once

#include "mq71/Subcommand.h"

// mq71 disasm IMAGE [-o OUT] [--raw-input]: source that mq71asm assembles back into the image.
Subcommand AddDisasmCommand(CLI::App& application);
