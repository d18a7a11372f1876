#include "cli/tables.h"

#include <iostream>
#include <memory>
#include <optional>
#include <system_error>

#include "cli/batch.h"
#include "cli/messages.h"
#include "engine/codetablefile.h"
#include "engine/streams.h"
#include "engine/tablecheck.h"

namespace lorimand {

int runNewTable(const TableRecipe &recipe, const std::string &output, SystemCalls &calls)
{
    std::string text;
    try {
        SystemRandomSource random;
        text = codeTableText(makeTable(recipe, random));
    } catch (const std::system_error &error) {
        complain(std::string(error.what()) + ", so no table is made");
        return exitCode(BatchExit::FileError);
    }
    std::optional<FileError> error;
    if (output.empty() || output == "-") {
        error = writeStandardOutput(text);
    } else {
        error = fileSystemOver(calls)->writeFile(output, text);
    }
    if (error) {
        complain((error->written ? "warning: " : "") + describe(*error));
        // The table is in the file all the same.
        return exitCode(error->written ? BatchExit::Success : BatchExit::FileError);
    }
    return exitCode(BatchExit::Success);
}

int runCheckTable(const std::string &path, FileSystem &files)
{
    const CodeTableLoad load = loadCodeTableFile(files, path);
    if (load.error) {
        complain(describe(*load.error));
        // A file that cannot be read is a file error; one that does not load, a usage error.
        return exitCode(load.tables ? BatchExit::UsageError : BatchExit::FileError);
    }
    const TableCheck check = checkTable(*load.tables);
    if (check.decodable()) {
        return exitCode(BatchExit::Success);
    }
    for (const std::string &line : describeProblems(check)) {
        std::cout << line << '\n';
    }
    std::cout << std::flush;
    if (!std::cout) {
        complain("standard output: the text could not be written");
        return exitCode(BatchExit::FileError);
    }
    return exitCode(BatchExit::Undecodable);
}

} // namespace lorimand
