#include "startup/commandline.h"

namespace lorimand {

QString argumentText(const QStringList &arguments)
{
    return arguments.join(QLatin1Char(' '));
}

std::optional<CommandLineRequest> parseCommandLine(const QString &argumentText)
{
    if (argumentText.isEmpty()) {
        return std::nullopt;
    }
    // The blank belongs to the switch: "-e" alone or "-enotes.txt" is a file name.
    const QString head = argumentText.left(3);
    if (head.compare(QLatin1String("-e "), Qt::CaseInsensitive) == 0) {
        return CommandLineRequest{argumentText.mid(3), Direction::Encode};
    }
    if (head.compare(QLatin1String("-d "), Qt::CaseInsensitive) == 0) {
        return CommandLineRequest{argumentText.mid(3), Direction::Decode};
    }
    return CommandLineRequest{argumentText, Direction::Decode};
}

} // namespace lorimand
