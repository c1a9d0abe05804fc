#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The whole program run: parse the command line, run the passes, print the time line. Messages
// go to `out`; the notice of an escaped exception goes to `err`. Returns the exit status: 0 when
// the run wrote every output it was asked for, 1 otherwise (usage text, option or path errors,
// a failed pass, an escaped exception, standard output refusing the messages).
int RunTranslator(int argc, const char* const argv[], std::FILE* out, std::FILE* err);

// Seconds of an elapsed millisecond count as the time line shows them: the product with 0.001
// rounded to single precision, six significant digits, fixed notation, no trailing zeros.
std::string FormatSeconds(uint32_t elapsedMs);
