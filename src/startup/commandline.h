// The start-up command line: "-e FILE" encodes a plain-text file, "-d FILE" or a
// file name alone decodes an encoded one.
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "engine/direction.h"

namespace lorimand {

struct CommandLineRequest
{
    QString fileName; // used unchanged: blanks and quotation marks are part of it
    Direction direction = Direction::Decode;
    friend bool operator==(const CommandLineRequest &, const CommandLineRequest &) = default;
};

// The argument text: the program's arguments (without its own name) joined by single blanks.
[[nodiscard]] QString argumentText(const QStringList &arguments);

// nullopt for an empty argument text.
[[nodiscard]] std::optional<CommandLineRequest> parseCommandLine(const QString &argumentText);

} // namespace lorimand
