#pragma once

#include <vector>

#include "passes/Labeltable.h"

class TMq71R04CompilerObject;

// Reports every label declared again by a row after the first row that declares it and removes
// that declaration from the later row's ColLabels ("x:dup:y:" becomes "x:y:"). `declarations`
// are those of the table, in order; each gave one label table entry. Returns true when anything
// was reported. See Note [multiple declarations].
bool RemoveMultipleDeclarations(TMq71R04CompilerObject& job,
                                const std::vector<LabelDeclaration>& declarations);
