#include "support/Namemap.h"

// Both kinds of name index are instantiated here in full, so that every member is compiled for
// both, whether or not a caller uses it yet.
template class NameIndex<LetterCase::Exact>;
template class NameIndex<LetterCase::Ignored>;
