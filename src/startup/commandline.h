// The start-up command line: "-e FILE" encodes a plain-text file, "-d FILE" or a
// file name alone decodes an encoded one.
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace lorimand {

enum class CommandLineMode
{
    Encode,
    Decode
};

struct CommandLineRequest
{
    QString fileName; // used unchanged: blanks and quotation marks are part of it
    CommandLineMode mode = CommandLineMode::Decode;
    friend bool operator==(const CommandLineRequest &, const CommandLineRequest &) = default;
};

// The argument text: the program's arguments (without its own name) joined by single blanks.
[[nodiscard]] QString argumentText(const QStringList &arguments);

// nullopt for an empty argument text.
[[nodiscard]] std::optional<CommandLineRequest> parseCommandLine(const QString &argumentText);

} // namespace lorimand
