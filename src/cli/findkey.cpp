#include "cli/findkey.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "cli/batch.h"
#include "cli/messages.h"
#include "engine/charset.h"
#include "engine/codetablefile.h"
#include "engine/files.h"
#include "engine/keyfinder.h"
#include "engine/keyshift.h"
#include "engine/paths.h"
#include "engine/programdata.h"
#include "engine/streams.h"

namespace lorimand {
namespace {

// What the preview of each candidate shows.
constexpr std::size_t kPreviewCharacters = 40;
// Enough bytes of the decoding for that many characters of up to four bytes.
constexpr std::size_t kPreviewBytes = 4 * kPreviewCharacters;

[[nodiscard]] std::string scoreText(double score)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", score);
    return text;
}

// A key of the 8-bit set as the terminal shows it.
[[nodiscard]] std::string keyText(std::string_view key)
{
    std::string text;
    for (const char c : key) {
        charset::appendUtf8(charset::toUnicode(static_cast<unsigned char>(c)), text);
    }
    return text;
}

// The start of the input, as much as the ranking scores.
struct Sample
{
    std::string bytes;
    std::optional<FileError> error;
};

Sample readSample(const std::string &input, SystemCalls &calls)
{
    Sample sample;
    InputFile file(input, calls);
    if (file.error()) {
        sample.error = file.error();
        return sample;
    }
    tellRecovery(input, file.restored(), file.oldTextKeptIn());
    sample.bytes.resize(kRankingSampleBytes);
    std::size_t filled = 0;
    while (filled < sample.bytes.size()) {
        const std::size_t size =
            file.read(sample.bytes.data() + filled, sample.bytes.size() - filled);
        if (size == 0) {
            break;
        }
        filled += size;
    }
    sample.bytes.resize(filled);
    sample.error = file.error();
    return sample;
}

// The tables to rank by name, each with its file: those of the folder given, or
// those of the program's data folder and of the user's table folder, a user's
// table taking the place of the program's of the same name.
std::map<std::string, std::string> tableFiles(const FindKeyOptions &options, FileSystem &files)
{
    std::vector<std::string> folders;
    if (options.tablesFolder) {
        folders.push_back(*options.tablesFolder);
    } else {
        folders.push_back(dataFolderOf(files, folderOf(realPathOf("/proc/self/exe"))));
        folders.push_back(userTableFolderFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    }
    std::map<std::string, std::string> tables;
    for (const std::string &folder : folders) {
        for (const std::string &name : tableNamesIn(files, folder)) {
            tables[name] = fileIn(folder, name + std::string(kCodeTableSuffix));
        }
    }
    return tables;
}

[[nodiscard]] int printed(const std::string &lines, bool clearlyAhead)
{
    if (const std::optional<FileError> error = writeStandardOutput(lines)) {
        complain(describe(*error));
        return exitCode(BatchExit::FileError);
    }
    if (!clearlyAhead) {
        complain("no candidate is clearly ahead: the text may be too short, or not encoded "
                 "this way");
        return exitCode(BatchExit::NotClear);
    }
    return exitCode(BatchExit::Success);
}

int rankShiftsOf(const std::string &sample, std::size_t top)
{
    const Ranking<ShiftCandidate> ranking = rankShifts(sample);
    const std::string_view start = std::string_view(sample).substr(0, kPreviewBytes);
    std::string lines;
    for (std::size_t i = 0; i < std::min(top, ranking.candidates.size()); ++i) {
        const ShiftCandidate &candidate = ranking.candidates[i];
        lines +=
            std::to_string(candidate.shift) + '\t' + keyText(keyForShift(candidate.shift)) + '\t' +
            scoreText(candidate.score) + '\t' +
            previewLine(applyShift(start, candidate.shift, Direction::Decode), kPreviewCharacters) +
            '\n';
    }
    return printed(lines, ranking.clearlyAhead());
}

int rankTablesOf(const std::string &sample, const FindKeyOptions &options, SystemCalls &calls)
{
    const std::unique_ptr<FileSystem> files = fileSystemOver(calls);
    std::vector<std::string> names;
    std::vector<CodeTables> tables;
    for (const auto &[name, path] : tableFiles(options, *files)) {
        const CodeTableLoad load = loadCodeTableFile(*files, path);
        if (load.error) {
            complain("warning: " + describe(*load.error) + "; the table is left out");
            continue;
        }
        names.push_back(name);
        tables.push_back(*load.tables);
    }
    if (tables.empty()) {
        complain(options.tablesFolder
                     ? shown(*options.tablesFolder) + ": no code tables (.sbt files) to rank"
                     : std::string("no code tables (.sbt files) to rank beside the program or "
                                   "in your own table folder"));
        return exitCode(BatchExit::FileError);
    }
    const Ranking<TableCandidate> ranking = rankTables(sample, tables);
    const std::string_view start = std::string_view(sample).substr(0, kPreviewBytes);
    std::string lines;
    for (std::size_t i = 0; i < std::min(options.top, ranking.candidates.size()); ++i) {
        const TableCandidate &candidate = ranking.candidates[i];
        const CodeTables &table = tables[candidate.table];
        const bool decode = candidate.direction == Direction::Decode;
        // A file's name may hold any byte but "/": escaped as an argument echoed
        // is, it cannot drive the terminal or break the line into more fields.
        lines += shown(names[candidate.table]) + '\t' + (decode ? "decode" : "encode") + '\t' +
                 scoreText(candidate.score) + '\t' +
                 previewLine(
                     translateThroughTable(start, decode ? table.decodeTable : table.encodeTable),
                     kPreviewCharacters) +
                 '\n';
    }
    return printed(lines, ranking.clearlyAhead());
}

} // namespace

std::string previewLine(std::string_view decoded, std::size_t characters)
{
    std::string line;
    std::size_t at = 0;
    for (std::size_t count = 0; count < characters && at < decoded.size(); ++count) {
        const auto code = static_cast<unsigned char>(decoded[at]);
        if (code >= 0x80) {
            const std::optional<charset::Utf8Char> ch = charset::utf8CharAt(decoded, at);
            if (ch) {
                line.append(decoded.substr(at, ch->length));
                at += ch->length;
                continue;
            }
        }
        ++at;
        if (code < 0x20) {
            charset::appendUtf8(U'\u2400' + code, line);
        } else if (code == 0x7F) {
            charset::appendUtf8(U'\u2421', line);
        } else {
            const char32_t ch = charset::toUnicode(code);
            charset::appendUtf8(ch >= 0x80 && ch < 0xA0 ? U'\uFFFD' : ch, line);
        }
    }
    return line;
}

int runFindKey(const FindKeyOptions &options, const std::string &input, SystemCalls &calls)
{
    const Sample sample = readSample(input, calls);
    if (sample.error) {
        complain(describe(*sample.error));
        return exitCode(BatchExit::FileError);
    }
    return options.tables ? rankTablesOf(sample.bytes, options, calls)
                          : rankShiftsOf(sample.bytes, options.top);
}

} // namespace lorimand
