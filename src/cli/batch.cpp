#include "cli/batch.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <CLI/CLI.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include "about/about.h"
#include "cli/findkey.h"
#include "cli/messages.h"
#include "cli/tables.h"
#include "engine/charset.h"
#include "engine/codetablefile.h"
#include "engine/endingsignals.h"
#include "engine/files.h"
#include "engine/generator.h"
#include "engine/keyshift.h"
#include "engine/outputfile.h"
#include "engine/paths.h"
#include "engine/programdata.h"
#include "engine/streams.h"
#include "engine/tablemaker.h"
#include "engine/translation.h"

namespace lorimand {
namespace {

// The end of a run before its translation, with its exit status.
struct Exit
{
    int status = 0;
};

Exit fail(BatchExit status, std::string_view message)
{
    complain(message);
    return Exit{exitCode(status)};
}

[[nodiscard]] bool isStandardStream(const std::string &path)
{
    return path.empty() || path == "-";
}

// ---- The command line ----------------------------------------------------------------

enum class Action : unsigned char
{
    Translate, // encode or decode
    FindKey,
    NewTable,
    CheckTable,
};

struct Options
{
    Action action = Action::Translate;
    Direction direction = Direction::Encode;
    std::optional<std::string> key;
    std::optional<std::string> keyFile;
    std::optional<std::string> tableFile;
    std::string input;  // empty or "-": standard input
    std::string output; // empty or "-": standard output
    FindKeyOptions find;
    TableRecipe recipe; // new-table: the kind comes where INPUT goes
};

// Why a --key text cannot be taken: the first character the 8-bit set cannot hold,
// or bytes that are not UTF-8.
[[nodiscard]] std::string describeBadKey(std::string_view utf8)
{
    const std::optional<charset::Utf8Error> error = charset::findUtf8Error(utf8);
    if (!error || !error->character) {
        return "--key: the key is not valid UTF-8";
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(*error->character));
    return "--key: the character \"" + shown(utf8.substr(error->offset, error->length)) + "\" (" +
           hex + ") is not in the 8-bit character set";
}

// The command line split at "--": what the parser reads, and the words after it,
// which are ACTION or INPUT whatever they start with.
struct Arguments
{
    std::vector<std::string> parsed; // the program's name first
    std::vector<std::string> positional;
    std::optional<std::string> tablesFolder; // the FOLDER of --tables
};

[[nodiscard]] bool isFolder(const std::string &path, SystemCalls &calls)
{
    struct stat info = {};
    return calls.stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The arguments in the one form the parser reads safely, or the usage error they
// hold. The parser loops for ever on an empty argument where ACTION or INPUT goes
// when an option follows it, so no empty argument reaches it there: an empty
// ACTION, INPUT or OUTPUT is a usage error of its own. "--name=value" becomes
// "--name" "value", so that "--key=" is the empty key, as "--key \"\"" is. The
// words after "--" never reach the parser, which would take "-name" for options.
// The FOLDER of --tables may be left out, so the word after --tables is its FOLDER
// only when it names a folder (or is given as --tables=FOLDER); the parser sees
// --tables alone.
[[nodiscard]] std::variant<Arguments, Exit> normaliseArguments(int argc, const char *const *argv,
                                                               SystemCalls &calls)
{
    static constexpr std::array<std::string_view, 6> kWithValue{"--key", "--key-file", "--table",
                                                                "-o",    "--output",   "--top"};
    const auto takesValue = [](std::string_view name) {
        return std::find(kWithValue.begin(), kWithValue.end(), name) != kWithValue.end();
    };
    const auto emptyOutput = [] {
        return fail(BatchExit::UsageError, "OUTPUT (-o) is empty: name a file, or - for standard "
                                           "output (run " +
                                               std::string(kProgram) + " --help for the usage)");
    };
    const auto emptyPositional = [] {
        return fail(BatchExit::UsageError,
                    "an empty argument where ACTION or INPUT goes: name a file, or - for "
                    "standard input (run " +
                        std::string(kProgram) + " --help for the usage)");
    };
    Arguments split;
    std::vector<std::string> &arguments = split.parsed;
    if (argc > 0) {
        arguments.emplace_back(argv[0]);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            for (++i; i < argc; ++i) {
                if (*argv[i] == '\0') {
                    return emptyPositional();
                }
                split.positional.emplace_back(argv[i]);
            }
            break;
        }
        if (argument == "--tables" || argument.starts_with("--tables=")) {
            arguments.emplace_back("--tables");
            if (argument.size() > std::string_view("--tables").size()) {
                split.tablesFolder = argument.substr(std::string_view("--tables=").size());
                if (split.tablesFolder->empty()) {
                    return fail(BatchExit::UsageError,
                                "FOLDER (--tables=) is empty: name a folder, or leave out \"=\" "
                                "for the program's code tables (run " +
                                    std::string(kProgram) + " --help for the usage)");
                }
            } else if (i + 1 < argc && *argv[i + 1] != '-' && isFolder(argv[i + 1], calls)) {
                split.tablesFolder = argv[++i];
            }
            continue;
        }
        if (argument.starts_with("--")) {
            const std::size_t equals = argument.find('=');
            const std::string_view name = argument.substr(0, equals);
            if (equals != std::string_view::npos && takesValue(name)) {
                const std::string_view value = argument.substr(equals + 1);
                if (value.empty() && name == "--output") {
                    return emptyOutput();
                }
                arguments.emplace_back(name);
                arguments.emplace_back(value);
                continue;
            }
        }
        if (takesValue(argument) && i + 1 < argc) {
            const std::string_view value = argv[i + 1];
            if (value.empty() && (argument == "-o" || argument == "--output")) {
                return emptyOutput();
            }
            arguments.emplace_back(argument);
            arguments.emplace_back(value);
            ++i;
            continue;
        }
        if (argument.empty()) {
            return emptyPositional();
        }
        arguments.emplace_back(argument);
    }
    return split;
}

constexpr std::string_view kUsage =
    "Usage: lorimand-cli encode|decode (--key TEXT | --key-file FILE | --table TABLE)\n"
    "                    [INPUT|-] [-o OUTPUT]\n"
    "       lorimand-cli find-key [--top N] [--tables [FOLDER]] [INPUT|-]\n"
    "       lorimand-cli new-table KIND [--shift N | --keyword WORD] [-o FILE.sbt]\n"
    "       lorimand-cli check-table TABLE\n"
    "Encodes or decodes a file with the key-shift cipher or a code table, finds the\n"
    "key of an encoded file, or makes and checks code tables.\n"
    "\n"
    "  encode, decode       turn plain text into encoded text, or back again\n"
    "  find-key             print the likeliest keys of an encoded INPUT, best first:\n"
    "                       shift, key, score and the start of the decoding, split\n"
    "                       by tabs\n"
    "  new-table            write a new code table of KIND: shuffle-letters (a to z\n"
    "                       at random), shuffle-all (every printable character at\n"
    "                       random), shift (ROT-N), reverse (z to a) or keyword\n"
    "  check-table          print each pair of codes that TABLE cannot tell apart\n"
    "                       when decoding, one a line\n"
    "  --shift N            shift moves each letter N places, 1 to 25 (13 when\n"
    "                       absent)\n"
    "  --keyword WORD       keyword puts the letters of WORD first, then the rest\n"
    "  --top N              how many candidates find-key prints (5 when absent)\n"
    "  --tables [FOLDER]    find-key ranks the code tables of FOLDER (the program's\n"
    "                       and your own when absent) and their directions instead:\n"
    "                       table, direction, score and the start of the decoding\n"
    "  --key TEXT           the key, as text (it shows in the process list)\n"
    "  --key-file FILE      the key: the first line of FILE, up to a CR or LF\n"
    "  --table TABLE        a code-table file, one n=m entry a line, or the name of\n"
    "                       one of yours or the program's (ROT13 or ROT13.sbt)\n"
    "  INPUT                the file to read; standard input when absent or -\n"
    "  -o, --output OUTPUT  the file to write; standard output when absent or -\n"
    "  --help               show this help and exit\n"
    "  --version            show the version and the licence and exit\n"
    "\n"
    "Exactly one of --key, --key-file and --table is given. Files are read and\n"
    "written as raw bytes. With -o, OUTPUT is replaced only once every byte is\n"
    "written (a device or a pipe is written into directly). The key-shift cipher\n"
    "leaves code 0 (NUL) as it is, so every input comes back from decoding.\n"
    "find-key scores the first 64 KiB of INPUT; the key-shift cipher has only 255\n"
    "shifts, which is why it hides a text only from a casual reader.\n"
    "\n"
    "A code table is a simple substitution: counting letters breaks it.\n"
    "\n"
    "Exit status: 0 success, 1 a file that cannot be read or written, 2 a usage\n"
    "error or a code-table file that does not load, 3 find-key printed candidates\n"
    "but none is clearly ahead, or check-table found a table that cannot be decoded.\n";

// A count of decimal digits alone; nullopt for anything else or one beyond size_t.
[[nodiscard]] std::optional<std::size_t> wholeNumber(std::string_view text)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (const char c : text) {
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return value;
}

[[nodiscard]] Exit usageError(const std::string &message)
{
    return fail(BatchExit::UsageError,
                message + " (run " + std::string(kProgram) + " --help for the usage)");
}

// Prints to standard output; a failed write is the run's failure.
[[nodiscard]] Exit print(std::string_view text)
{
    std::cout << text << std::flush;
    if (!std::cout) {
        return fail(BatchExit::FileError, "standard output: the text could not be written");
    }
    return Exit{exitCode(BatchExit::Success)};
}

// An option with one value; given more than once, it is counted, not refused,
// so that the message can say so in plain words.
CLI::Option *addValueOption(CLI::App &app, const std::string &names, std::string &value)
{
    return app.add_option(names, value)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

// The options of new-table and check-table. INPUT holds new-table's KIND and
// check-table's TABLE; options of the other actions are refused by name.
[[nodiscard]] std::variant<Options, Exit>
tableOptions(const std::string &action, Options options, bool hasInput, const std::string &shift,
             const CLI::Option *shiftOption, const CLI::Option *keywordOption,
             std::initializer_list<const CLI::Option *> others)
{
    for (const CLI::Option *option : others) {
        if (option->count() > 0) {
            return usageError(action + " takes no " + option->get_name());
        }
    }
    if (action == "check-table") {
        for (const CLI::Option *option : {shiftOption, keywordOption}) {
            if (option->count() > 0) {
                return usageError("check-table takes no " + option->get_name());
            }
        }
        if (!options.output.empty()) {
            return usageError("check-table takes no -o: it prints what it finds");
        }
        if (!hasInput || isStandardStream(options.input)) {
            return usageError("check-table needs the TABLE to check");
        }
        options.action = Action::CheckTable;
        return options;
    }
    if (!hasInput) {
        return usageError("new-table needs a KIND: shuffle-letters, shuffle-all, shift, "
                          "reverse or keyword");
    }
    const std::optional<TableKind> kind = tableKindNamed(options.input);
    if (!kind) {
        return usageError("unknown KIND \"" + shown(options.input) +
                          "\": give shuffle-letters, shuffle-all, shift, reverse or keyword");
    }
    options.recipe.kind = *kind;
    options.input.clear();
    if (shiftOption->count() > 0) {
        if (*kind != TableKind::ShiftLetters) {
            return usageError("--shift goes with the kind shift only");
        }
        const std::optional<std::size_t> places = wholeNumber(shift);
        options.recipe.shift = places && *places <= static_cast<std::size_t>(kLastShift)
                                   ? static_cast<int>(*places)
                                   : 0;
        if (options.recipe.shift < kFirstShift) {
            return usageError("--shift \"" + shown(shift) + "\": give a whole number from 1 to 25");
        }
    }
    if (keywordOption->count() > 0 && *kind != TableKind::KeywordAlphabet) {
        return usageError("--keyword goes with the kind keyword only");
    }
    if (*kind == TableKind::KeywordAlphabet && keywordOption->count() == 0) {
        return usageError("the kind keyword needs --keyword WORD");
    }
    if (const std::optional<std::string> problem = recipeProblem(options.recipe)) {
        return usageError("--keyword \"" + shown(options.recipe.keyword) + "\": " + *problem);
    }
    options.action = Action::NewTable;
    return options;
}

// The options, or the exit status when the run ends here (help, version, a usage
// error). The parser only splits the command line; every rule and every message
// is this program's own.
[[nodiscard]] std::variant<Options, Exit> parseCommandLine(int argc, const char *const *argv,
                                                           SystemCalls &calls)
{
    std::variant<Arguments, Exit> normalised = normaliseArguments(argc, argv, calls);
    if (const Exit *end = std::get_if<Exit>(&normalised)) {
        return *end;
    }
    const Arguments &arguments = std::get<Arguments>(normalised);

    CLI::App app{"", std::string(kProgram)};
    app.set_help_flag();
    app.allow_extras();
    bool help = false;
    bool version = false;
    app.add_flag("--help", help);
    app.add_flag("--version", version);
    std::string action;
    std::string key;
    std::string keyFile;
    std::string tableFile;
    Options options;
    CLI::Option *actionOption = app.add_option("ACTION", action);
    CLI::Option *inputOption = app.add_option("INPUT", options.input);
    CLI::Option *keyOption = addValueOption(app, "--key", key);
    CLI::Option *keyFileOption = addValueOption(app, "--key-file", keyFile);
    CLI::Option *tableOption = addValueOption(app, "--table", tableFile);
    CLI::Option *outputOption = addValueOption(app, "-o,--output", options.output);
    std::string top;
    CLI::Option *topOption = addValueOption(app, "--top", top);
    CLI::Option *tablesOption = app.add_flag("--tables");
    std::string shift;
    CLI::Option *shiftOption = addValueOption(app, "--shift", shift);
    CLI::Option *keywordOption = addValueOption(app, "--keyword", options.recipe.keyword);

    try {
        // The parser takes the arguments after the program's name, last first.
        std::vector<std::string> reversed(arguments.parsed.rbegin(), arguments.parsed.rend() - 1);
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch &error) {
        // The parser names the option before a colon.
        const std::string what = error.what();
        return usageError(what.substr(0, what.find(':')) + " needs a value");
    } catch (const CLI::ParseError &error) {
        return usageError("the command line cannot be read: " + shown(error.what()));
    }

    if (help) {
        return print(kUsage);
    }
    if (version) {
        return print(about::versionText(kProgram));
    }
    const auto unexpected = [](const std::string &word) {
        return usageError("unexpected argument \"" + shown(word) + "\": only one INPUT is read");
    };
    if (const std::vector<std::string> extras = app.remaining(); !extras.empty()) {
        const std::string &extra = extras.front();
        if (extra.size() > 1 && extra.front() == '-') {
            return usageError("unknown option \"" + shown(extra) + "\"");
        }
        return unexpected(extra);
    }
    // The words after "--" fill what the parser left open, in order.
    bool hasAction = actionOption->count() > 0;
    bool hasInput = inputOption->count() > 0;
    for (const std::string &word : arguments.positional) {
        if (!hasAction) {
            action = word;
            hasAction = true;
        } else if (!hasInput) {
            options.input = word;
            hasInput = true;
        } else {
            return unexpected(word);
        }
    }
    constexpr std::string_view kActions = "give encode, decode, find-key, new-table or check-table";
    if (!hasAction) {
        return usageError("no action: " + std::string(kActions));
    }
    if (action != "encode" && action != "decode" && action != "find-key" && action != "new-table" &&
        action != "check-table") {
        return usageError("unknown action \"" + shown(action) + "\": " + std::string(kActions));
    }
    for (const CLI::Option *option : {keyOption, keyFileOption, tableOption, outputOption,
                                      topOption, tablesOption, shiftOption, keywordOption}) {
        if (option->count() > 1) {
            return usageError(option->get_name() + " is given more than once");
        }
    }
    if (action == "new-table" || action == "check-table") {
        return tableOptions(action, options, hasInput, shift, shiftOption, keywordOption,
                            {keyOption, keyFileOption, tableOption, topOption, tablesOption});
    }
    for (const CLI::Option *option : {shiftOption, keywordOption}) {
        if (option->count() > 0) {
            return usageError(option->get_name() + " goes with new-table only");
        }
    }
    if (action == "find-key") {
        for (const CLI::Option *option : {keyOption, keyFileOption, tableOption, outputOption}) {
            if (option->count() > 0) {
                return usageError("find-key takes no " + option->get_name() +
                                  ": it prints the keys it finds for INPUT");
            }
        }
        options.action = Action::FindKey;
        if (topOption->count() > 0) {
            const std::optional<std::size_t> count = wholeNumber(top);
            if (!count || *count == 0) {
                return usageError("--top \"" + shown(top) + "\": give a whole number from 1");
            }
            options.find.top = *count;
        }
        options.find.tables = tablesOption->count() > 0;
        options.find.tablesFolder = arguments.tablesFolder;
        return options;
    }
    for (const CLI::Option *option : {topOption, tablesOption}) {
        if (option->count() > 0) {
            return usageError(option->get_name() + " goes with find-key only");
        }
    }
    const std::size_t sources = keyOption->count() + keyFileOption->count() + tableOption->count();
    if (sources == 0) {
        return usageError("no key or code table: give one of --key, --key-file and --table");
    }
    if (sources > 1) {
        return usageError("give only one of --key, --key-file and --table");
    }

    options.direction = action == "decode" ? Direction::Decode : Direction::Encode;
    if (keyOption->count() > 0) {
        const std::optional<std::string> converted = charset::fromUtf8(key);
        if (!converted) {
            return usageError(describeBadKey(key));
        }
        options.key = *converted;
    }
    if (keyFileOption->count() > 0) {
        options.keyFile = keyFile;
    }
    if (tableOption->count() > 0) {
        options.tableFile = tableFile;
    }
    return options;
}

// ---- The translation ----------------------------------------------------------------

[[nodiscard]] std::variant<Translation, Exit> keyTranslation(std::string_view key,
                                                             Direction direction)
{
    RuntimeGenerator generator;
    std::optional<Translation> translation = Translation::forKey(key, direction, generator);
    if (!translation) {
        return fail(BatchExit::FileError,
                    "the random generator fails its self-test, so no key can be used");
    }
    if (translation->copiesUnchanged()) {
        complain("warning: the key is empty, so the text is copied unchanged");
    }
    return *translation;
}

// What --table names: a path with a folder, or a file in the working folder, as
// it stands; otherwise a table's name, found as the window finds it (the
// user's tables first, then the program's). A name found nowhere stays as given,
// so the message names what the user typed.
[[nodiscard]] std::string tableFileFor(FileSystem &files, const std::string &argument)
{
    if (argument.find('/') != std::string::npos) {
        return argument;
    }
    if (findFileIn(files, argument, {"."})) {
        return argument;
    }
    const std::string programFolder = folderOf(realPathOf("/proc/self/exe"));
    return findFileIn(files, codeTableFileName(argument),
                      {userTableFolderFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
                       programFolder.empty() ? std::string() : dataFolderOf(files, programFolder)})
        .value_or(argument);
}

[[nodiscard]] std::variant<Translation, Exit> loadTranslation(const Options &options,
                                                              FileSystem &files)
{
    if (options.key) {
        return keyTranslation(*options.key, options.direction);
    }
    if (options.keyFile) {
        const ReadResult file = files.readFile(*options.keyFile, ReadOptions{kLongestKey, true});
        if (file.error) {
            return fail(BatchExit::FileError, describe(*file.error));
        }
        tellRecovery(*options.keyFile, file.restored, file.oldTextKeptIn);
        return keyTranslation(file.bytes, options.direction);
    }
    const CodeTableLoad table = loadCodeTableFile(files, tableFileFor(files, *options.tableFile));
    if (table.error) {
        // A file that cannot be read is a file error; one that does not load, a usage error.
        return fail(table.tables ? BatchExit::UsageError : BatchExit::FileError,
                    describe(*table.error));
    }
    return Translation::forTables(*table.tables, options.direction);
}

// ---- Where the translation goes ------------------------------------------------------

// The temporary output file while it exists, kept where a signal handler may read it.
char gTemporaryPath[PATH_MAX];
volatile std::sig_atomic_t gTemporaryPathKnown = 0;

void removeTemporaryFileAndEnd(int signal)
{
    // A name already renamed or removed is no harm: unlink finds nothing.
    if (gTemporaryPathKnown != 0) {
        ::unlink(gTemporaryPath);
    }
    // The handler was reset to the default on entry (SA_RESETHAND), so the signal,
    // delivered once the handler returns, ends the process as it would have.
    std::raise(signal);
}

// While it lives, a signal that ends the run (Ctrl-C, kill, a closed terminal)
// first removes the temporary output file. A signal the run was started to ignore
// stays ignored.
class TemporaryFileGuard
{
public:
    TemporaryFileGuard()
    {
        struct sigaction action = {};
        action.sa_handler = removeTemporaryFileAndEnd;
        action.sa_mask = endingSignals();
        action.sa_flags = static_cast<int>(SA_RESETHAND);
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            ::sigaction(kEndingSignals[i], nullptr, &previous_[i]);
            if (previous_[i].sa_handler != SIG_IGN) {
                ::sigaction(kEndingSignals[i], &action, nullptr);
            }
        }
    }
    ~TemporaryFileGuard()
    {
        gTemporaryPathKnown = 0;
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            ::sigaction(kEndingSignals[i], &previous_[i], nullptr);
        }
    }
    TemporaryFileGuard(const TemporaryFileGuard &) = delete;
    TemporaryFileGuard &operator=(const TemporaryFileGuard &) = delete;

    // Records the temporary file for the handler. Signals are not held back while
    // the file is opened, since opening a pipe waits for its reader; a signal in
    // the moment between making the temporary file and this call leaves it behind.
    static void remember(const std::string &temporary)
    {
        if (!temporary.empty() && temporary.size() < sizeof gTemporaryPath) {
            std::memcpy(gTemporaryPath, temporary.c_str(), temporary.size() + 1);
            // The handler sees the whole name before it sees that there is one.
            std::atomic_signal_fence(std::memory_order_seq_cst);
            gTemporaryPathKnown = 1;
        }
    }

private:
    [[nodiscard]] static sigset_t endingSignals()
    {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : kEndingSignals) {
            sigaddset(&set, signal);
        }
        return set;
    }

    std::array<struct sigaction, kEndingSignals.size()> previous_{};
};

// The output file, written atomically, or standard output.
class Output
{
public:
    Output(const std::string &path, SystemCalls &calls)
    {
        if (!isStandardStream(path)) {
            guard_.emplace();
            file_.emplace(path, WriteOptions{}, calls);
            TemporaryFileGuard::remember(file_->temporaryPath());
        }
    }

    [[nodiscard]] const std::optional<FileError> &error() const
    {
        return file_ ? file_->error() : stdoutError_;
    }

    bool write(std::string_view bytes)
    {
        if (file_) {
            return file_->write(bytes);
        }
        stdoutError_ = writeStandardOutput(bytes);
        return !stdoutError_;
    }

    bool finish() { return !file_ || file_->commit(); }

    [[nodiscard]] bool restored() const { return file_ && file_->restored(); }
    [[nodiscard]] std::string oldTextKeptIn() const
    {
        return file_ ? file_->oldTextKeptIn() : std::string();
    }
    // What failed after the new text was in the file and on disk.
    [[nodiscard]] std::optional<FileError> warning() const
    {
        return file_ ? file_->warning() : std::nullopt;
    }

private:
    std::optional<TemporaryFileGuard> guard_; // outlives file_, which removes its file
    std::optional<OutputFile> file_;          // none: standard output
    std::optional<FileError> stdoutError_;
};

// ---- The run -------------------------------------------------------------------------

// The block buffer, page-aligned: the kernel copies to and from an aligned buffer at
// about twice the speed of one that malloc's header leaves 16 bytes off. Each block
// is translated in place.
class BlockBuffer
{
public:
    static constexpr std::size_t kPage = 4096;

    BlockBuffer() : data_(static_cast<char *>(std::aligned_alloc(kPage, kBatchBlockSize)))
    {
        if (!data_) {
            throw std::bad_alloc();
        }
    }
    ~BlockBuffer() { std::free(data_); }
    BlockBuffer(const BlockBuffer &) = delete;
    BlockBuffer &operator=(const BlockBuffer &) = delete;

    [[nodiscard]] char *data() const noexcept { return data_; }

private:
    char *data_;
};

[[nodiscard]] int translateStream(Translation &translation, const Options &options,
                                  SystemCalls &calls)
{
    InputFile input(options.input, calls);
    if (input.error()) {
        return fail(BatchExit::FileError, describe(*input.error())).status;
    }
    tellRecovery(options.input, input.restored(), input.oldTextKeptIn());
    Output output(options.output, calls);
    if (output.error()) {
        return fail(BatchExit::FileError, describe(*output.error())).status;
    }
    tellRecovery(options.output, output.restored(), output.oldTextKeptIn());

    const BlockBuffer buffer;
    for (;;) {
        const std::span<char> block(buffer.data(), input.read(buffer.data(), kBatchBlockSize));
        if (block.empty()) {
            break;
        }
        translation.applyToBlock(block);
        if (!output.write(std::string_view(block.data(), block.size()))) {
            return fail(BatchExit::FileError, describe(*output.error())).status;
        }
    }
    if (input.error()) {
        return fail(BatchExit::FileError, describe(*input.error())).status;
    }
    translation.finish();
    if (!output.finish()) {
        return fail(BatchExit::FileError, describe(*output.error())).status;
    }
    // The translation is in the file: said, but not a failure.
    if (const std::optional<FileError> warning = output.warning()) {
        complain("warning: " + describe(*warning));
    }
    return exitCode(BatchExit::Success);
}

} // namespace

int runBatch(int argc, const char *const *argv, SystemCalls &calls)
{
    const std::variant<Options, Exit> parsed = parseCommandLine(argc, argv, calls);
    if (const Exit *end = std::get_if<Exit>(&parsed)) {
        return end->status;
    }
    const Options &options = std::get<Options>(parsed);
    if (options.action == Action::FindKey) {
        return runFindKey(options.find, options.input, calls);
    }
    if (options.action == Action::NewTable) {
        return runNewTable(options.recipe, options.output, calls);
    }

    const std::unique_ptr<FileSystem> files = fileSystemOver(calls);
    if (options.action == Action::CheckTable) {
        return runCheckTable(tableFileFor(*files, options.input), *files);
    }
    std::variant<Translation, Exit> translation = loadTranslation(options, *files);
    if (const Exit *end = std::get_if<Exit>(&translation)) {
        return end->status;
    }
    return translateStream(std::get<Translation>(translation), options, calls);
}

} // namespace lorimand
