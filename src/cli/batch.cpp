#include "cli/batch.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <variant>

#include "engine/charset.h"
#include "engine/codetable.h"
#include "engine/codetablefile.h"
#include "engine/files.h"
#include "engine/generator.h"
#include "engine/keyshift.h"

#ifndef LORIMAND_VERSION
#error "LORIMAND_VERSION must be defined by the build"
#endif

namespace lorimand {
namespace {

constexpr std::string_view kProgram = "lorimand-cli";
constexpr std::string_view kStandardInput = "standard input";
constexpr std::string_view kStandardOutput = "standard output";

int exitCode(BatchExit status)
{
    return static_cast<int>(status);
}

void complain(std::string_view message)
{
    std::cerr << kProgram << ": " << message << '\n' << std::flush;
}

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

[[nodiscard]] std::string describe(const FileError &error, std::string_view standardName)
{
    const std::string_view name =
        isStandardStream(error.path) ? standardName : std::string_view(error.path);
    return std::string(name) + ": " + error.reason;
}

// ---- The command line ----------------------------------------------------------------

struct Options
{
    Direction direction = Direction::Encode;
    std::optional<std::string> key;
    std::optional<std::string> keyFile;
    std::optional<std::string> tableFile;
    std::string input;  // empty or "-": standard input
    std::string output; // empty or "-": standard output
};

// Why a --key text cannot be taken: the first character the 8-bit set cannot hold,
// or the first bytes that are not UTF-8.
[[nodiscard]] std::string describeBadKey(std::string_view utf8)
{
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 1;
        char32_t minimum = 0;
        char32_t code = lead;
        if (lead >= 0xF8) {
            // No UTF-8 sequence starts so: taken alone, below.
        } else if (lead >= 0xF0) {
            length = 4;
            minimum = 0x10000;
            code = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            minimum = 0x800;
            code = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            minimum = 0x80;
            code = lead & 0x1F;
        }
        const std::string_view piece = utf8.substr(i, length);
        if (!charset::fromUtf8(piece)) {
            bool wellFormed = piece.size() == length && (length > 1 || lead < 0x80);
            for (std::size_t k = 1; wellFormed && k < piece.size(); ++k) {
                const auto next = static_cast<unsigned char>(piece[k]);
                wellFormed = (next & 0xC0) == 0x80;
                code = (code << 6) | (next & 0x3F);
            }
            wellFormed = wellFormed && code >= minimum && code <= 0x10FFFF &&
                         !(code >= 0xD800 && code <= 0xDFFF);
            if (!wellFormed) {
                return "--key: the key is not valid UTF-8";
            }
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
            return "--key: the character \"" + std::string(piece) + "\" (" + hex +
                   ") is not in the 8-bit character set";
        }
        i += piece.size();
    }
    return "--key: the key cannot be converted to the 8-bit character set";
}

// The options, or the exit status when the run ends here (help, version, a usage error).
[[nodiscard]] std::variant<Options, Exit> parseCommandLine(int argc, const char *const *argv)
{
    CLI::App app{"Encodes or decodes a file with the key-shift cipher or a code table.\n"
                 "  lorimand-cli encode|decode (--key TEXT | --key-file FILE | --table FILE.sbt) "
                 "[INPUT|-] [-o OUTPUT]",
                 std::string(kProgram)};
    app.set_version_flag("--version", LORIMAND_VERSION, "Print the version and exit");
    app.footer("INPUT and OUTPUT are read and written as raw bytes. With -o, OUTPUT is "
               "replaced only once every byte is written.\n"
               "Exit status: 0 success, 1 a file that cannot be read or written (or a NUL "
               "byte met while encoding with a key), 2 a usage error or a code-table file "
               "that does not load.");

    std::string action;
    app.add_option("ACTION", action, "encode or decode")
        ->required()
        ->check(CLI::IsMember({"encode", "decode"}));

    Options options;
    std::string key;
    std::string keyFile;
    std::string tableFile;
    CLI::App *source = app.add_option_group("Key or code table", "Exactly one of these");
    CLI::Option *keyOption =
        source->add_option("--key", key, "The key, as text (seen in the process list)");
    CLI::Option *keyFileOption =
        source
            ->add_option("--key-file", keyFile,
                         "A file whose first line (up to a CR or LF) is the key")
            ->type_name("FILE");
    CLI::Option *tableOption =
        source->add_option("--table", tableFile, "A code-table file (.sbt), one n=m a line")
            ->type_name("FILE.sbt");
    source->require_option(1);

    app.add_option("INPUT", options.input, "The file to read; standard input when absent or -")
        ->type_name("FILE");
    app.add_option("-o,--output", options.output,
                   "The file to write; standard output when absent or -")
        ->type_name("FILE");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForVersion &) {
        std::cout << kProgram << ' ' << LORIMAND_VERSION << '\n' << std::flush;
        return Exit{exitCode(BatchExit::Success)};
    } catch (const CLI::ParseError &error) {
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            // --help: CLI11 prints it to standard output.
            return Exit{app.exit(error)};
        }
        return fail(BatchExit::UsageError, std::string(error.what()) + " (run " +
                                               std::string(kProgram) + " --help for the usage)");
    }

    options.direction = action == "decode" ? Direction::Decode : Direction::Encode;
    if (keyOption->count() > 0) {
        const std::optional<std::string> converted = charset::fromUtf8(key);
        if (!converted) {
            return fail(BatchExit::UsageError, describeBadKey(key));
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

// ---- What is done to each block ------------------------------------------------------

struct CopyUnchanged
{
};

struct Shift
{
    int shift = 0;
    Direction direction = Direction::Encode;
};

using Translation = std::variant<CopyUnchanged, Shift, CodeTable>;

[[nodiscard]] std::variant<Translation, Exit> keyTranslation(std::string_view key,
                                                             Direction direction)
{
    if (key.empty()) {
        complain("warning: the key is empty, so the text is copied unchanged");
        return Translation{CopyUnchanged{}};
    }
    RuntimeGenerator generator;
    if (!checkGenerator(generator)) {
        return fail(BatchExit::FileError,
                    "the random generator fails its self-test, so no key can be used");
    }
    return Translation{Shift{shiftForKey(key, generator), direction}};
}

[[nodiscard]] std::variant<Translation, Exit> loadTranslation(const Options &options)
{
    if (options.key) {
        return keyTranslation(*options.key, options.direction);
    }
    if (options.keyFile) {
        ReadResult file = realFileSystem().readFile(*options.keyFile);
        if (file.error) {
            return fail(BatchExit::FileError, describe(*file.error, kStandardInput));
        }
        const std::string_view bytes = file.bytes;
        return keyTranslation(bytes.substr(0, bytes.find_first_of("\r\n")), options.direction);
    }
    ReadResult file = realFileSystem().readFile(*options.tableFile);
    if (file.error) {
        return fail(BatchExit::FileError, describe(*file.error, kStandardInput));
    }
    const CodeTableParse parsed = parseCodeTable(file.bytes);
    if (parsed.error) {
        return fail(BatchExit::UsageError, *options.tableFile + ": line " +
                                               std::to_string(parsed.error->line) + ": " +
                                               parsed.error->reason);
    }
    return Translation{options.direction == Direction::Encode ? parsed.tables.encodeTable
                                                              : parsed.tables.decodeTable};
}

// ---- Where the translation goes ------------------------------------------------------

// Writes all of bytes to a file descriptor; returns 0 or the error number.
[[nodiscard]] int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// The output file, written atomically, or standard output.
class Output
{
public:
    explicit Output(const std::string &path)
    {
        if (!isStandardStream(path)) {
            file_ = std::make_unique<AtomicOutputFile>(path);
        }
    }

    [[nodiscard]] bool ok() const { return file_ ? !file_->error() : stdoutError_ == 0; }

    bool write(std::string_view bytes)
    {
        if (file_) {
            return file_->write(bytes);
        }
        stdoutError_ = writeAll(STDOUT_FILENO, bytes);
        return stdoutError_ == 0;
    }

    bool finish() { return file_ ? file_->commit() : ok(); }

    [[nodiscard]] std::string errorMessage() const
    {
        if (file_) {
            return file_->error() ? describe(*file_->error(), kStandardOutput)
                                  : std::string("the output could not be written");
        }
        return std::string(kStandardOutput) + ": " + std::generic_category().message(stdoutError_);
    }

private:
    std::unique_ptr<AtomicOutputFile> file_; // null: standard output
    int stdoutError_ = 0;
};

// ---- The run -------------------------------------------------------------------------

// The block buffer, page-aligned: the kernel copies to and from an aligned buffer at
// about twice the speed of one that malloc's header leaves 16 bytes off. It holds a
// block and a page more, room for a translated block (a block and one byte at most).
class BlockBuffer
{
public:
    static constexpr std::size_t kPage = 4096;
    static constexpr std::size_t kCapacity = kBatchBlockSize + kPage;

    BlockBuffer() : data_(static_cast<char *>(std::aligned_alloc(kPage, kCapacity)))
    {
        if (!data_) {
            throw std::bad_alloc();
        }
    }
    ~BlockBuffer() { std::free(data_); }
    BlockBuffer(const BlockBuffer &) = delete;
    BlockBuffer &operator=(const BlockBuffer &) = delete;

    [[nodiscard]] char *get() const noexcept { return data_; }

private:
    char *data_;
};

[[nodiscard]] int translateStream(const Translation &translation, const Options &options)
{
    InputFile input(options.input);
    if (input.error()) {
        return fail(BatchExit::FileError, describe(*input.error(), kStandardInput)).status;
    }
    Output output(options.output);
    if (!output.ok()) {
        return fail(BatchExit::FileError, output.errorMessage()).status;
    }

    const BlockBuffer buffer;
    std::optional<TableTranslator> translator;
    std::string translated;
    if (const auto *table = std::get_if<CodeTable>(&translation)) {
        translator.emplace(*table);
        // One entry is one byte and a held-back CR adds one: the block's size plus one.
        translated.reserve(kBatchBlockSize + 1);
    }
    const auto *shift = std::get_if<Shift>(&translation);
    const std::string_view inputName =
        isStandardStream(options.input) ? kStandardInput : std::string_view(options.input);

    std::uint64_t offset = 0; // of the block in the input
    for (;;) {
        const std::size_t size = input.read(buffer.get(), kBatchBlockSize);
        if (size == 0) {
            break;
        }
        std::string_view block(buffer.get(), size);
        if (shift) {
            // Encoding turns both 0 and 255 into the shift itself, so a NUL byte would
            // come back from decoding as 255: refuse it rather than corrupt the file.
            if (shift->direction == Direction::Encode) {
                if (const void *nul = std::memchr(buffer.get(), 0, size)) {
                    const auto at = offset + static_cast<std::uint64_t>(
                                                 static_cast<const char *>(nul) - buffer.get());
                    return fail(BatchExit::FileError,
                                std::string(inputName) + ": holds a NUL byte (code 0) at offset " +
                                    std::to_string(at) +
                                    ", which the key-shift cipher cannot encode so that it "
                                    "decodes back (it would come back as code 255)")
                        .status;
                }
            }
            applyShiftInPlace(std::span<char>(buffer.get(), size), shift->shift, shift->direction);
        } else if (translator) {
            translated.clear();
            translator->translate(block, translated);
            // Written from the aligned buffer, which is free again (see BlockBuffer);
            // it always has the room, the plain string is only the fallback.
            block = translated;
            if (translated.size() <= BlockBuffer::kCapacity) {
                std::memcpy(buffer.get(), translated.data(), translated.size());
                block = std::string_view(buffer.get(), translated.size());
            }
        }
        if (!output.write(block)) {
            return fail(BatchExit::FileError, output.errorMessage()).status;
        }
        offset += size;
    }
    if (input.error()) {
        return fail(BatchExit::FileError, describe(*input.error(), kStandardInput)).status;
    }
    if (translator) {
        translator->finish();
    }
    if (!output.finish()) {
        return fail(BatchExit::FileError, output.errorMessage()).status;
    }
    return exitCode(BatchExit::Success);
}

} // namespace

int runBatch(int argc, const char *const *argv)
{
    const std::variant<Options, Exit> parsed = parseCommandLine(argc, argv);
    if (const Exit *end = std::get_if<Exit>(&parsed)) {
        return end->status;
    }
    const Options &options = std::get<Options>(parsed);

    const std::variant<Translation, Exit> translation = loadTranslation(options);
    if (const Exit *end = std::get_if<Exit>(&translation)) {
        return end->status;
    }
    return translateStream(std::get<Translation>(translation), options);
}

} // namespace lorimand
