#pragma once

#include <string>
#include <vector>

#include "worktable/Worktableobject.h"

// One macro: its name, its parameter names and its body as work-table rows.
class TMacrosObject : public TWorkTableObject {
 public:
  std::string Name;
  std::vector<std::string> Parameters;
};
