#pragma once
// The modes that run without the window system: tavrel --check, --lsp and --simulate.
#include <optional>

// Runs the mode when --check, --lsp or --simulate is among the arguments and returns its exit
// status; nothing when the window is to start.
std::optional<int> RunToolIfAsked(int argc, char *argv[]);
