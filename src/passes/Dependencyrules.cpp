#include "passes/Dependencyrules.h"

namespace {

std::string MakeName(std::string_view name) {
  std::string escaped;
  for (const char c : name) {
    if (c == ' ' || c == '\t' || c == '#') escaped += '\\';
    if (c == '$') escaped += '$';
    escaped += c;
  }
  return escaped;
}

}  // namespace

std::string DependencyRules(std::string_view target, const std::vector<std::string>& sources,
                            const std::vector<std::string>& includes) {
  std::string rules = MakeName(target);
  rules += ':';
  for (const std::vector<std::string>* names : {&sources, &includes}) {
    for (const std::string& name : *names) rules.append(" ").append(MakeName(name));
  }
  rules += '\n';
  for (const std::string& name : includes) rules.append("\n").append(MakeName(name)).append(":\n");
  return rules;
}
