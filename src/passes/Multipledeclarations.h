#pragma once

#include <vector>

#include "support/Outputsink.h"
#include "passes/Labeltable.h"
#include "worktable/Worktableobject.h"

// Reports every label declared again by a row after the first row that declares it and removes
// that declaration from the later row's ColLabels ("x:dup:y:" becomes "x:y:"). Returns true when
// anything was reported. `labels` holds the entries appended for `declarations`, in order (more
// may follow). See Note [multiple declarations].
bool RemoveMultipleDeclarations(TWorkTableObject& table,
                                const std::vector<LabelDeclaration>& declarations,
                                const TLabelTable& labels, OutputSink& out);
