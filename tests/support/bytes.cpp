#include "bytes.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace lorimand::test {

std::string bytesOf(const QByteArray &array)
{
    return array.toStdString();
}

std::string pathOf(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        qFatal("cannot write the test file %s", qPrintable(path));
    }
}

void writeSparse(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !file.resize(size)) {
        qFatal("cannot make the sparse test file %s", qPrintable(path));
    }
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "<unreadable>";
    }
    return file.readAll();
}

QStringList entriesOf(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

mode_t kindOf(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return 0;
    }
    return info.st_mode & S_IFMT;
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &ch : bytes) {
        ch = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

} // namespace lorimand::test
