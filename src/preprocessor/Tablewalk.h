#pragma once

class TMq71R04CompilerObject;

// The walk over the whole work table after each top-level file: #define substitution in every
// row, then every macro call replaced by its expanded body. Rows inserted by an expansion are
// not examined again in the same walk.
void WalkTable(TMq71R04CompilerObject& job);
