#include "engine/journal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>
#include <type_traits>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include "engine/paths.h"

namespace lorimand {

namespace {

constexpr std::size_t kBlock = std::size_t{128} * 1024;
// The new text's hashes cover blocks of this size: an interrupted write stops at
// a page boundary, and pages are whole multiples of it.
constexpr off_t kHashed = 4096;
constexpr std::string_view kSuffix = ".lorimand-journal";
constexpr std::string_view kOldSuffix = ".lorimand-old";
// Written last: a journal without it was still being made, and its file untouched.
constexpr std::string_view kMark = "lorimand-jrnl-2\n";
// The mark of the journals of earlier versions, which hold no hashes.
constexpr std::string_view kFirstMark = "lorimand-jrnl-1\n";
// How long a read or write waits for an in-place write of the file going on.
constexpr auto kWriterWait = std::chrono::seconds(2);

struct Header
{
    char mark[16];
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t length;     // of the old file, whose bytes follow the hashes
    std::uint64_t pathLength; // of the file's real path, which follows the header
    std::uint64_t newLength;  // of the new text, whose hashes follow the path
};
static_assert(std::is_trivially_copyable_v<Header> && sizeof(Header) == 56);
static_assert(kMark.size() == sizeof(Header::mark) && kFirstMark.size() == kMark.size());

// The earlier journals' header: the path and the old bytes follow it.
struct FirstHeader
{
    char mark[16];
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t length;
    std::uint64_t pathLength;
};
static_assert(std::is_trivially_copyable_v<FirstHeader> && sizeof(FirstHeader) == 48);

[[nodiscard]] std::uint64_t hashedBlocks(std::uint64_t length)
{
    return (length + kHashed - 1) / kHashed;
}

// A 64-bit hash of a block, to tell the new text's blocks from any other bytes
// (a check against chance, not against an adversary: whoever can write the file
// can put any text into it anyway).
[[nodiscard]] std::uint64_t blockHash(const char *data, std::size_t size)
{
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    const auto mix = [](std::uint64_t x) {
        x ^= x >> 30;
        x *= 0xBF58476D1CE4E5B9ull;
        x ^= x >> 27;
        x *= 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    };
    std::uint64_t hash = mix(size + kMultiplier);
    std::size_t at = 0;
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, data + at, 8);
        hash = (hash ^ (word * kMultiplier)) * 0xC2B2AE3D27D4EB4Full;
        hash = (hash << 31) | (hash >> 33);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, data + at, size - at);
    return mix(hash ^ (tail * kMultiplier) ^ (size - at));
}

// The name with suffix added, cut so that the whole stays a legal name.
[[nodiscard]] std::string cutName(const std::string &name, std::size_t suffixLength)
{
    return name.substr(0, NAME_MAX - suffixLength);
}

[[nodiscard]] std::string besideJournal(const std::string &realPath)
{
    // Cut so that the whole stays a legal name; the header tells two cut names apart.
    return folderOf(realPath) + "." + cutName(nameOf(realPath), kSuffix.size() + 1) +
           std::string(kSuffix);
}

[[nodiscard]] std::string stateFolder()
{
    if (const char *state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
        return std::string(state) + "/lorimand";
    }
    std::string home;
    if (const char *variable = std::getenv("HOME"); variable != nullptr && *variable == '/') {
        home = variable;
    } else if (const passwd *user = ::getpwuid(::geteuid()); user != nullptr) {
        home = user->pw_dir;
    }
    return home + "/.local/state/lorimand";
}

[[nodiscard]] std::string stateJournalName(const struct stat &info)
{
    char name[64];
    std::snprintf(name, sizeof name, "%llx-%llx", static_cast<unsigned long long>(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    return name + std::string(kSuffix);
}

[[nodiscard]] int syncData(SystemCalls &calls, int fd)
{
    // A file system that cannot sync still takes the bytes.
    return calls.fsync(fd) != 0 && errno != EINVAL ? errno : 0;
}

// Reads size bytes at offset, going on after short reads; 0, errno, or EIO when
// the file is shorter.
[[nodiscard]] int readFully(SystemCalls &calls, int fd, char *buffer, std::size_t size,
                            off_t offset)
{
    for (std::size_t done = 0; done < size;) {
        const ssize_t got =
            calls.pread(fd, buffer + done, size - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : EIO;
        }
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

// Copies length bytes from `from` at fromAt to `to` at toAt. 0 or errno.
[[nodiscard]] int copyBytes(SystemCalls &calls, int from, off_t fromAt, int to, off_t toAt,
                            off_t length)
{
    std::vector<char> block(kBlock);
    for (off_t done = 0; done < length;) {
        const auto want = static_cast<std::size_t>(std::min<off_t>(length - done, kBlock));
        const ssize_t got = calls.pread(from, block.data(), want, fromAt + done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : EIO; // shorter than recorded
        }
        for (ssize_t put = 0; put < got;) {
            const ssize_t wrote = calls.pwrite(
                to, block.data() + put, static_cast<std::size_t>(got - put), toAt + done + put);
            if (wrote < 0 && errno == EINTR) {
                continue;
            }
            if (wrote <= 0) {
                return wrote < 0 ? errno : EIO;
            }
            put += wrote;
        }
        done += got;
    }
    return 0;
}

// The old bytes from the journal back into target, cut to their length, on disk.
[[nodiscard]] int putBack(SystemCalls &calls, int journal, off_t dataAt, off_t length, int target)
{
    if (const int error = copyBytes(calls, journal, dataAt, target, 0, length); error != 0) {
        return error;
    }
    if (calls.ftruncate(target, length) != 0) {
        return errno;
    }
    return syncData(calls, target);
}

// What a journal in force records.
struct Record
{
    bool hashed = false; // false for an earlier version's journal
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    off_t oldLength = 0;
    off_t newLength = 0;
    std::string path;
    off_t hashesAt = 0;
    off_t dataAt = 0;
};

// Reads a journal's record; nullopt for one not in force (no mark, or not the
// size its header gives).
[[nodiscard]] std::optional<Record> readRecord(SystemCalls &calls, int fd, off_t size)
{
    Header header = {};
    if (calls.pread(fd, &header, sizeof header, 0) < static_cast<ssize_t>(sizeof(FirstHeader))) {
        return std::nullopt;
    }
    const std::string_view mark(header.mark, sizeof header.mark);
    Record record;
    record.hashed = mark == kMark;
    if (!record.hashed && mark != kFirstMark) {
        return std::nullopt;
    }
    const std::uint64_t pathAt = record.hashed ? sizeof(Header) : sizeof(FirstHeader);
    const std::uint64_t newLength = record.hashed ? header.newLength : 0;
    const auto limit = static_cast<std::uint64_t>(size);
    if (header.pathLength > PATH_MAX || header.length > limit ||
        newLength / kHashed > limit / sizeof(std::uint64_t)) {
        return std::nullopt;
    }
    const std::uint64_t hashesAt = pathAt + header.pathLength;
    const std::uint64_t dataAt = hashesAt + hashedBlocks(newLength) * sizeof(std::uint64_t);
    if (limit != dataAt + header.length) {
        return std::nullopt;
    }
    record.device = header.device;
    record.inode = header.inode;
    record.oldLength = static_cast<off_t>(header.length);
    record.newLength = static_cast<off_t>(newLength);
    record.hashesAt = static_cast<off_t>(hashesAt);
    record.dataAt = static_cast<off_t>(dataAt);
    record.path.resize(header.pathLength);
    if (readFully(calls, fd, record.path.data(), record.path.size(), static_cast<off_t>(pathAt)) !=
        0) {
        return std::nullopt;
    }
    return record;
}

// Whether the file holds what an interrupted write of it, or of its rollback, can
// have left: block by block the old text or the new one, in a length between
// theirs. An earlier version's journal holds no hashes of the new text, so then
// only the old text itself passes. 1 when it does, 0 when not, else -errno.
[[nodiscard]] int holdsOldOrNew(SystemCalls &calls, int journal, const Record &record, int target)
{
    struct stat info = {};
    if (calls.fstat(target, &info) != 0) {
        return -errno;
    }
    const off_t length = info.st_size;
    const off_t newLength = record.hashed ? record.newLength : record.oldLength;
    if (length < std::min(record.oldLength, newLength) ||
        length > std::max(record.oldLength, newLength)) {
        return 0;
    }
    std::vector<char> mine(kBlock);
    std::vector<char> old(kBlock);
    std::vector<std::uint64_t> hashes(kBlock / kHashed);
    for (off_t from = 0; from < length; from += static_cast<off_t>(kBlock)) {
        const off_t to = std::min(length, from + static_cast<off_t>(kBlock));
        if (const int error =
                readFully(calls, target, mine.data(), static_cast<std::size_t>(to - from), from);
            error != 0) {
            return error == EIO ? 0 : -error; // shorter: changed meanwhile
        }
        if (const off_t oldTo = std::min(to, record.oldLength); oldTo > from) {
            if (const int error =
                    readFully(calls, journal, old.data(), static_cast<std::size_t>(oldTo - from),
                              record.dataAt + from);
                error != 0) {
                return -error;
            }
        }
        if (const off_t newTo = std::min(to, record.newLength); record.hashed && newTo > from) {
            const auto count = hashedBlocks(static_cast<std::uint64_t>(newTo - from));
            if (const int error = readFully(
                    calls, journal, reinterpret_cast<char *>(hashes.data()),
                    count * sizeof(std::uint64_t),
                    record.hashesAt + from / kHashed * static_cast<off_t>(sizeof(std::uint64_t)));
                error != 0) {
                return -error;
            }
        }
        // Each hashed block, the last new one cut at the new text's end; past that
        // end only old bytes can be.
        for (off_t at = from; at < to;) {
            off_t end = std::min(to, (at / kHashed + 1) * kHashed);
            if (at < record.newLength && end > record.newLength) {
                end = record.newLength;
            }
            const char *piece = mine.data() + (at - from);
            const auto size = static_cast<std::size_t>(end - at);
            const bool isOld =
                end <= record.oldLength && std::memcmp(piece, old.data() + (at - from), size) == 0;
            const bool isNew =
                record.hashed && at % kHashed == 0 &&
                end == std::min(at + kHashed, record.newLength) &&
                blockHash(piece, size) == hashes[static_cast<std::size_t>((at - from) / kHashed)];
            if (!isOld && !isNew) {
                return 0;
            }
            at = end;
        }
    }
    return 1;
}

// Creates a file for the old text in folder, named after name, taking no name
// that is there already. The descriptor, or -1 and errno.
[[nodiscard]] int createOldTextFile(SystemCalls &calls, const std::string &folder,
                                    const std::string &name, std::string &created)
{
    const std::string base =
        folder + cutName(name, kOldSuffix.size() + 5) + std::string(kOldSuffix);
    for (int number = 0; number < 1000; ++number) {
        created = number == 0 ? base : base + "." + std::to_string(number);
        const int fd =
            calls.open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Puts the journal's old text into a new file beside the file at realPath or,
// where that cannot be, in the state folder; its path, or the reason it cannot be.
struct KeptOld
{
    std::string path;
    std::string reason;
};
[[nodiscard]] KeptOld keepOldText(SystemCalls &calls, int journal, const Record &record,
                                  const std::string &realPath)
{
    std::string created;
    FileDescriptor kept(createOldTextFile(calls, folderOf(realPath), nameOf(realPath), created));
    if (!kept.isOpen()) {
        const std::string beside = "beside it: " + systemReason(errno) + "; in the state folder: ";
        const PrivateFolder state = makePrivateFolder(stateFolder());
        if (state.refusal) {
            return {{}, beside + *state.refusal};
        }
        kept.reset(createOldTextFile(calls, state.path + "/", nameOf(realPath), created));
        if (!kept.isOpen()) {
            return {{}, beside + systemReason(errno)};
        }
    }
    int error = copyBytes(calls, journal, record.dataAt, kept.get(), 0, record.oldLength);
    if (error == 0) {
        error = syncData(calls, kept.get());
    }
    if (error == 0) {
        error = kept.close(calls);
    }
    if (error != 0) {
        (void)calls.unlink(created.c_str());
        return {{}, systemReason(error)};
    }
    syncFolderOf(created);
    return {created, {}};
}

struct Outcome
{
    bool restored = false;
    std::string oldTextKeptIn;
    std::string error; // why the journal could not be dealt with; names it
};

// Takes the lock on a journal, waiting a while for a writer that holds it. false
// when the writer still holds it.
[[nodiscard]] bool waitForLock(int fd)
{
    const auto giveUp = std::chrono::steady_clock::now() + kWriterWait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // A file system without locks: no writer can be told from a leftover there.
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Removes a journal dealt with; should that fail, the next read deals with it
// again, which loses nothing.
void removeJournal(SystemCalls &calls, const std::string &journalPath)
{
    if (calls.unlink(journalPath.c_str()) == 0) {
        syncFolderOf(journalPath);
    }
}

// Deals with the journal at journalPath if it is one in force for the file at path.
[[nodiscard]] Outcome rollBackOne(SystemCalls &calls, const std::string &path,
                                  const struct stat &info, const std::string &journalPath)
{
    struct stat seen = {};
    if (calls.lstat(journalPath.c_str(), &seen) != 0 || !S_ISREG(seen.st_mode) ||
        seen.st_uid != ::geteuid()) {
        return {};
    }
    // Not following a link, and never waiting on a pipe put in its place.
    const FileDescriptor journal(calls.open(
        journalPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0));
    if (!journal.isOpen()) {
        return {};
    }
    // What was opened is what counts: the name may have been swapped since it was
    // looked at. Only a file the user made as a journal is one: theirs, ordinary,
    // with no other name, closed to others, and the very file looked at.
    struct stat opened = {};
    if (calls.fstat(journal.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_uid != ::geteuid() || opened.st_nlink != 1 || (opened.st_mode & 077) != 0 ||
        opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
        return {};
    }
    // A writer holds its journal locked until it is gone: a write going on, whose
    // file is not to be read or written halfway.
    if (!waitForLock(journal.get())) {
        return {false,
                {},
                "Another run of Lorimand is writing it in place and has not finished after " +
                    std::to_string(kWriterWait.count()) + " seconds"};
    }
    if (calls.fstat(journal.get(), &opened) != 0 || opened.st_nlink == 0) {
        return {}; // removed meanwhile: that write is done
    }
    const std::optional<Record> record = readRecord(calls, journal.get(), opened.st_size);
    if (!record) {
        removeJournal(calls, journalPath);
        return {};
    }
    const std::string realPath = realPathOf(path);
    const auto keepOld = [&]() -> Outcome {
        const KeptOld kept = keepOldText(calls, journal.get(), *record, realPath);
        if (!kept.reason.empty()) {
            return {false,
                    {},
                    "A write of it in place was interrupted, and its text from before that write "
                    "cannot be kept from its journal " +
                        journalPath + ": " + kept.reason};
        }
        removeJournal(calls, journalPath);
        return {false, kept.path, {}};
    };
    if (info.st_dev != record->device || info.st_ino != record->inode) {
        // Another file's, at a cut name; or this one's, and the file at its path
        // was replaced whole since: its old text is not thrown away.
        return record->path == realPath ? keepOld() : Outcome{};
    }
    const FileDescriptor target(calls.open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC, 0));
    const auto failed = [&](int error) {
        return Outcome{false,
                       {},
                       "It was being written in place when that write was interrupted, and it "
                       "cannot be restored from its journal " +
                           journalPath + ": " + systemReason(error)};
    };
    if (!target.isOpen()) {
        return failed(errno);
    }
    // Only what the interrupted write can have left is rolled back; anything else
    // is a later write by another program, which is not undone.
    const int found = holdsOldOrNew(calls, journal.get(), *record, target.get());
    if (found < 0) {
        return failed(-found);
    }
    if (found == 0) {
        return keepOld();
    }
    if (const int error =
            putBack(calls, journal.get(), record->dataAt, record->oldLength, target.get());
        error != 0) {
        return failed(error);
    }
    removeJournal(calls, journalPath);
    return {true, {}, {}};
}

} // namespace

Journal::Journal(SystemCalls &calls, const std::string &path, int target, const struct stat &info,
                 int newText, off_t newLength)
    : calls_(calls)
{
    // Beside the file, where it travels with it; otherwise where it is found
    // through any of the file's names, or where the user may write at all.
    if (info.st_nlink == 1 && calls_.access(folderOrDot(path).c_str(), W_OK | X_OK) == 0) {
        path_ = besideJournal(path);
    } else {
        const PrivateFolder folder = makePrivateFolder(stateFolder());
        path_ = folder.path + "/" + stateJournalName(info);
        if (folder.refusal) {
            reason_ = *folder.refusal;
            return;
        }
    }
    int error = create();
    if (error == 0) {
        error = fill(target, info, path, newText, newLength);
    }
    if (error != 0) {
        reason_ = systemReason(error);
    }
}

Journal::~Journal()
{
    if (!inForce_ && fd_.isOpen()) {
        (void)calls_.unlink(path_.c_str());
    }
}

int Journal::create()
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        fd_.reset(
            calls_.open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd_.isOpen()) {
            return errno;
        }
        // Held until the journal is gone, so that no one takes it for a leftover.
        while (::flock(fd_.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
        // Someone who came between making it and locking it took it for a leftover.
        struct stat made = {};
        if (calls_.fstat(fd_.get(), &made) != 0 || made.st_nlink != 0) {
            return 0;
        }
        fd_.reset();
    }
    return EEXIST;
}

int Journal::fill(int target, const struct stat &info, const std::string &filePath, int newText,
                  off_t newLength)
{
    Header header = {};
    header.device = static_cast<std::uint64_t>(info.st_dev);
    header.inode = static_cast<std::uint64_t>(info.st_ino);
    header.length = static_cast<std::uint64_t>(info.st_size);
    header.pathLength = filePath.size();
    header.newLength = static_cast<std::uint64_t>(newLength);
    length_ = info.st_size;
    dataAt_ = static_cast<off_t>(sizeof header + filePath.size() +
                                 hashedBlocks(header.newLength) * sizeof(std::uint64_t));
    if (int error =
            writeAll(calls_, fd_.get(), reinterpret_cast<const char *>(&header), sizeof header);
        error != 0) {
        return error;
    }
    if (int error = writeAll(calls_, fd_.get(), filePath.data(), filePath.size()); error != 0) {
        return error;
    }
    // The hashes of the new text's blocks, for telling at recovery what this
    // write can have left from what another program wrote since.
    std::vector<char> block(kBlock);
    std::vector<std::uint64_t> hashes;
    for (off_t at = 0; at < newLength;) {
        const auto size = static_cast<std::size_t>(std::min<off_t>(newLength - at, kBlock));
        if (int error = readFully(calls_, newText, block.data(), size, at); error != 0) {
            return error;
        }
        hashes.clear();
        for (std::size_t from = 0; from < size; from += kHashed) {
            hashes.push_back(
                blockHash(block.data() + from, std::min<std::size_t>(kHashed, size - from)));
        }
        if (int error = writeAll(calls_, fd_.get(), reinterpret_cast<const char *>(hashes.data()),
                                 hashes.size() * sizeof(std::uint64_t));
            error != 0) {
            return error;
        }
        at += static_cast<off_t>(size);
    }
    if (int error = copyBytes(calls_, target, 0, fd_.get(), dataAt_, length_); error != 0) {
        return error;
    }
    // Every byte on disk before the mark, and the mark before the file is touched.
    if (int error = syncData(calls_, fd_.get()); error != 0) {
        return error;
    }
    const ssize_t marked = calls_.pwrite(fd_.get(), kMark.data(), kMark.size(), 0);
    if (marked != static_cast<ssize_t>(kMark.size())) {
        return marked < 0 ? errno : EIO;
    }
    if (int error = syncData(calls_, fd_.get()); error != 0) {
        return error;
    }
    syncFolderOf(path_);
    inForce_ = true;
    return 0;
}

int Journal::remove()
{
    if (calls_.unlink(path_.c_str()) != 0) {
        return errno;
    }
    inForce_ = false;
    fd_.reset();
    syncFolderOf(path_);
    return 0;
}

int Journal::rollBack(int target)
{
    if (const int error = putBack(calls_, fd_.get(), dataAt_, length_, target); error != 0) {
        return error;
    }
    return remove();
}

Recovery rollBackJournalOf(SystemCalls &calls, const std::string &path, const struct stat &info)
{
    Recovery recovery;
    for (const std::string &journal :
         {besideJournal(realPathOf(path)), stateFolder() + "/" + stateJournalName(info)}) {
        Outcome outcome = rollBackOne(calls, path, info, journal);
        recovery.restored = recovery.restored || outcome.restored;
        if (!outcome.oldTextKeptIn.empty() && recovery.oldTextKeptIn.empty()) {
            recovery.oldTextKeptIn = std::move(outcome.oldTextKeptIn);
        }
        if (!outcome.error.empty() && !recovery.error) {
            recovery.error = FileError{path, std::move(outcome.error)};
        }
    }
    return recovery;
}

} // namespace lorimand
