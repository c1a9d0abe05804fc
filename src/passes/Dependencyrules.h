#pragma once

#include <string>
#include <string_view>
#include <vector>

// Make rules for an output and the files it was made from: "target: source include...", then
// an empty rule for each include, so that make goes on when an include is deleted rather than
// stopping at a file it cannot make. Blanks, "#" and "$" in names are escaped as make reads them.
std::string DependencyRules(std::string_view target, const std::vector<std::string>& sources,
                            const std::vector<std::string>& includes);
