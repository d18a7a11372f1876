// lorimand-cli new-table and check-table: making a code table of one's own, and
// checking that a table can be decoded.
#pragma once

#include <string>

#include "engine/files.h"
#include "engine/systemcalls.h"
#include "engine/tablemaker.h"

namespace lorimand {

// Writes a new table of the recipe (which recipeProblem accepts) to output (empty
// or "-": standard output) and returns the exit status.
[[nodiscard]] int runNewTable(const TableRecipe &recipe, const std::string &output,
                              SystemCalls &calls);

// Prints each code that the table at path cannot decode, one a line, and returns
// the exit status: BatchExit::Undecodable when there is one.
[[nodiscard]] int runCheckTable(const std::string &path, FileSystem &files);

} // namespace lorimand
