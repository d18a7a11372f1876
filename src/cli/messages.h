// How lorimand-cli speaks: its messages on standard error, and a user's argument or
// a file's name as a message shows it.
#pragma once

#include <string>
#include <string_view>

#include "cli/batch.h"
#include "engine/files.h"

namespace lorimand {

inline constexpr std::string_view kProgram = "lorimand-cli";

[[nodiscard]] int exitCode(BatchExit status);

// Writes "lorimand-cli: message" as a line of standard error.
void complain(std::string_view message);

// A user's argument as a message shows it: a control character, which would break
// the message's line or drive the terminal, as a C escape, and a backslash doubled
// so that an escape cannot be mistaken for the name's own characters.
[[nodiscard]] std::string shown(std::string_view argument);

// The file layer names standard input and output itself; a file is named as given,
// an empty name in quotes so that the message still shows it.
[[nodiscard]] std::string describe(const FileError &error);

// Says what putting right an interrupted in-place write of the file at path did
// before it was read or written, if anything: rolled back, or kept as it is with
// its old text put into oldTextKeptIn.
void tellRecovery(const std::string &path, bool restored, const std::string &oldTextKeptIn);

} // namespace lorimand
