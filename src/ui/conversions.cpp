#include "ui/conversions.h"

#include <QFile>

#include "engine/charset.h"

namespace lorimand {

std::string nativePath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromNativePath(std::string_view path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

QString fromCharset(std::string_view text)
{
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    // Every character of the 8-bit set lies in the basic plane.
    for (const char c : text) {
        result.append(
            QChar(static_cast<char16_t>(charset::toUnicode(static_cast<unsigned char>(c)))));
    }
    return result;
}

std::string toCharset(QStringView text)
{
    std::string result;
    for (const char32_t c : text.toUcs4()) {
        result.push_back(
            static_cast<char>(charset::fromUnicode(c).value_or(charset::kReplacement)));
    }
    return result;
}

} // namespace lorimand
