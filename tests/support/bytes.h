// Bytes for tests: Qt's byte arrays as the engine's strings, files on disk
// written and read whole, and reproducible random contents.
#pragma once

#include <string>

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lorimand::test {

[[nodiscard]] std::string bytesOf(const QByteArray &array);

// The path as the engine takes it: the file system's own encoding of the name.
[[nodiscard]] std::string pathOf(const QString &path);

// Writes the whole file or ends the program: a test whose fixture is missing
// would only fail later, for a reason that is harder to see.
void writeBytes(const QString &path, const QByteArray &bytes);

// A file of size bytes that takes no disk space (it reads as NUL bytes), or
// ends the program.
void writeSparse(const QString &path, qint64 size);

// The whole file, or "<unreadable>" when it cannot be opened (missing included).
[[nodiscard]] QByteArray contentsOf(const QString &path);

// Every entry of the folder, hidden ones included, sorted by name.
[[nodiscard]] QStringList entriesOf(const QString &folder);

// The kind of entry path names itself, a link not followed (S_IFREG, S_IFLNK,
// ...); 0 when there is none.
[[nodiscard]] mode_t kindOf(const QString &path);

// The same bytes for the same seed on every run.
[[nodiscard]] QByteArray randomBytes(qsizetype size, quint32 seed = 99);

} // namespace lorimand::test
