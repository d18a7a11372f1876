#include "startup/settingsfile.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "engine/descriptor.h"
#include "engine/files.h"
#include "engine/keyshift.h"

namespace lorimand {

namespace {

const QString kSettingsName = QStringLiteral("/Lorimand.ini");
const QString kScratchName = QStringLiteral("/Lorimand.tmp");
// The settings file holds the key in clear: one the program creates is its owner's alone.
const WriteOptions kSettingsWrite{"Lorimand.tmp", NewFileAccess::OwnerOnly};
// Far above any real settings file, so that a wrong file cannot take all memory.
const ReadOptions kSettingsRead{std::size_t{64} * 1024 * 1024, false};
constexpr std::size_t kMiB = std::size_t{1024} * 1024;

std::string toStdPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// The rewrite makes the scratch file beside the settings file and renames it, so
// a folder holds the settings only when both can be created there.
bool canHoldSettings(FileSystem &files, const QString &folder)
{
    if (files.createIfMissing(toStdPath(folder + kSettingsName), NewFileAccess::OwnerOnly)) {
        return false;
    }
    return !files.probeCreate(toStdPath(folder + kScratchName));
}

// An exclusive advisory lock on the folder that holds the settings, held while it
// lives, so that copies of the program closing at once rewrite the file one after
// the other: each reads what the one before wrote, and none removes the other's
// scratch file. The folder, not the file, is locked: the rewrite replaces the file.
class FolderLock
{
public:
    enum class State
    {
        Held,
        Busy,       // another copy held it for the whole wait
        Unsupported // the folder cannot be locked (some network file systems)
    };

    FolderLock(const QString &folder, std::chrono::milliseconds wait)
        : folder_(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (!folder_.isOpen()) {
            state_ = State::Unsupported;
            return;
        }
        const auto giveUp = std::chrono::steady_clock::now() + wait;
        while (::flock(folder_.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                state_ = State::Unsupported;
                return;
            }
            if (std::chrono::steady_clock::now() >= giveUp) {
                state_ = State::Busy;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    [[nodiscard]] State state() const { return state_; }

private:
    // Closing the descriptor releases the lock.
    FileDescriptor folder_;
    State state_ = State::Held;
};

// A message in the user's language, with its parts put in, as the UTF-8 text the
// messages are kept in.
template <typename... Parts> std::string say(const char *message, const Parts &...parts)
{
    return QCoreApplication::translate("lorimand::SettingsFile", message)
        .arg(QString::fromStdString(parts)...)
        .toStdString();
}

} // namespace

SettingsFile::SettingsFile(FileSystem &files, const QString &folder, const QString &fallbackFolder,
                           std::chrono::milliseconds lockWait)
    : files_(files), lockWait_(lockWait)
{
    QString chosen = folder;
    const std::string inFolder = toStdPath(folder + kSettingsName);
    // The file holds the key: one another user may have planted is not touched.
    std::optional<FileError> refused = files_.sharedFolderRefusal(inFolder);
    if (refused) {
        warnings_.push_back(say(
            QT_TRANSLATE_NOOP("lorimand::SettingsFile", "%1. The settings are kept in %2 instead."),
            refused->message(), toStdPath(fallbackFolder + kSettingsName)));
    }
    if (refused || !canHoldSettings(files_, folder)) {
        // A read-only installation, or a shared one. Settings that came with the
        // installation are where a user without settings of their own starts.
        chosen = fallbackFolder;
        QDir().mkpath(chosen);
        const std::string own = toStdPath(chosen + kSettingsName);
        const ReadResult ownSettings = files_.readFile(own, kSettingsRead);
        if (!refused && (ownSettings.error || ownSettings.bytes.empty())) {
            const ReadResult installed = files_.readFile(inFolder, kSettingsRead);
            if (!installed.error && !installed.bytes.empty()) {
                (void)files_.writeFile(own, installed.bytes, kSettingsWrite);
            }
        }
        (void)files_.createIfMissing(own, NewFileAccess::OwnerOnly);
    }
    folder_ = chosen;
    path_ = chosen + kSettingsName;
    scratchPath_ = chosen + kScratchName;
}

StoredSettings SettingsFile::read()
{
    const std::string path = toStdPath(path_);
    if (auto refused = files_.sharedFolderRefusal(path)) {
        unread_ = std::move(refused);
        return {};
    }
    const ReadResult result = files_.readFile(path, kSettingsRead);
    if (result.error) {
        unread_ = result.error;
        return {};
    }
    StoredSettings settings = readSettings(result.bytes);
    if (settings.keyTooLong) {
        warnings_.push_back(say(QT_TRANSLATE_NOOP("lorimand::SettingsFile",
                                                  "%1: its key line is longer than %2 MiB, so "
                                                  "that key is not applied."),
                                path, std::to_string(kLongestKey / kMiB)));
    }
    return settings;
}

std::optional<std::string> SettingsFile::write(const CurrentSettings &current)
{
    if (unread_) {
        return say(QT_TRANSLATE_NOOP("lorimand::SettingsFile",
                                     "%1. The settings could not be read when the program "
                                     "started, so they are kept as they were."),
                   unread_->message());
    }
    const std::string path = toStdPath(path_);
    const std::string scratch = toStdPath(scratchPath_);
    // Held from reading the old file to the rename. A folder that cannot be locked
    // is rewritten as before: one copy at a time is the usual case.
    const FolderLock lock(folder_, lockWait_);
    if (lock.state() == FolderLock::State::Busy) {
        return say(QT_TRANSLATE_NOOP("lorimand::SettingsFile",
                                     "%1: another copy of Lorimand is still saving its settings"),
                   path);
    }
    // A scratch file left by an interrupted run is stale; it is rewritten whole below.
    (void)files_.removeFile(scratch);
    // A missing file is an empty one. A file that exists but cannot be read is not
    // replaced: its foreign lines would be lost. Another user's file, or a link,
    // in a folder anyone may write to is neither created through nor written, also
    // when it appeared since the start.
    if (const auto refused = files_.sharedFolderRefusal(path)) {
        return refused->message();
    }
    (void)files_.createIfMissing(path, NewFileAccess::OwnerOnly);
    if (const auto refused = files_.sharedFolderRefusal(path)) {
        return refused->message();
    }
    const ReadResult old = files_.readFile(path, kSettingsRead);
    if (old.error) {
        return old.error->message();
    }
    // A file the next start could not read would keep the settings from ever
    // applying or being saved again.
    const std::string rewritten = rewriteSettings(old.bytes, current);
    if (rewritten.size() > kSettingsRead.limit) {
        return say(QT_TRANSLATE_NOOP("lorimand::SettingsFile",
                                     "%1: the settings would be larger than the %2 MiB the "
                                     "program reads, so the file is kept as it was"),
                   path, std::to_string(kSettingsRead.limit / kMiB));
    }
    if (const auto error = files_.writeFile(path, rewritten, kSettingsWrite)) {
        return error->message();
    }
    return std::nullopt;
}

} // namespace lorimand
