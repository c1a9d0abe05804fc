#pragma once

#include <functional>
#include <string>
#include <string_view>

// The edges of a subcommand: the input file, the output file or standard output, and the one
// line that reports a failure.

// The bytes of the file at `path`; throws ImageError when it cannot be read.
std::string ReadInputFile(const std::string& path);

// `bytes` to standard output when `path` is "-", else into the file, which appears whole or not
// at all.
void WriteOutput(const std::string& path, std::string_view bytes);

// Runs `body` for `command` on `image`; a failure becomes one line on standard error,
// "mq71 COMMAND: IMAGE: what", and the failure status.
int RunReportingFailure(std::string_view command, const std::string& image,
                        const std::function<void()>& body);

// "mq71 COMMAND: message" on standard error.
void PrintDiagnostic(std::string_view command, std::string_view message);
