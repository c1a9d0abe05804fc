#pragma once

#include <functional>

namespace CLI {
class App;
}

// Exit statuses of mq71: a usage error is one the command line parser finds.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsageError = 2;

// A subcommand registered on the application: its parser, and what runs when it was given.
struct Subcommand {
  CLI::App* Parser = nullptr;
  std::function<int()> Run;
};
