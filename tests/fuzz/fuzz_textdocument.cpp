// The text areas' model on any sequence of edits, automatic splices, whole
// replacements, undos and redos: the bytes always equal those of a plain string
// that undergoes the same, the line index and the lone CRs agree with the bytes,
// the blocks cover each line in order, and undo and redo go back and forth
// between the texts each step joined.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzzinput.h"
#include "text/textblocks.h"
#include "text/textdocument.h"

using lorimand::fuzz::require;
using namespace lorimand::text;

namespace {

void checkIndex(const TextBuffer &text, const std::string &bytes)
{
    require(text.bytes() == bytes, "the bytes are those of the plain string");
    std::size_t lines = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            require(text.lineOf(i) == lines - 1, "an LF belongs to the line it ends");
            require(text.lineStart(lines) == i + 1, "a line starts after an LF");
            ++lines;
        }
    }
    require(text.lineCount() == lines, "one line more than there are LFs");
}

void checkBlocks(const TextBuffer &text, const TextBlocks &blocks)
{
    std::size_t number = 0;
    for (std::size_t line = 0; line < text.lineCount(); ++line) {
        require(blocks.firstBlockOf(line) == number, "the blocks of a line follow the line before");
        std::size_t at = text.lineStart(line);
        for (;;) {
            const TextBlocks::Block block = blocks.block(number++);
            require(block.line == line && block.start == at, "a block starts where the last ended");
            require(block.end - block.start <= TextBlocks::kBlockBytes, "no block is too long");
            at = block.end;
            if (block.lastOfLine) {
                require(at == text.lineEnd(line), "the last block ends with its line");
                break;
            }
        }
    }
    require(blocks.count() == number, "the count covers every block");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    lorimand::fuzz::FuzzInput input(data, size);
    TextDocument document;
    // Every step is kept, as the plain strings keep them.
    document.setUndoLimits({1000, std::size_t{1} << 30});
    TextBlocks blocks(document.text());
    std::string model;
    // The texts undo brings back, the latest last, and those redo brings back.
    std::vector<std::string> undone;
    std::vector<std::string> redone;
    bool joinable = false; // the latest step is automatic and joins what follows
    for (int action = 0; action < 64; ++action) {
        const unsigned char what = input.byte();
        if (what == 0 && action > 0) {
            break;
        }
        const std::size_t linesBefore = document.text().lineCount();
        const auto place = [&] {
            return model.empty() ? 0 : input.byte() * 7 % (model.size() + 1);
        };
        std::size_t from = place();
        std::size_t to = place();
        if (from > to) {
            std::swap(from, to);
        }
        const std::string bytes(input.shortText());
        ByteChange change;
        switch (what % 6) {
        case 0:
        case 1: {
            if (from == to && bytes.empty()) {
                continue;
            }
            // Typing that joins the step before is the history tests' to check.
            change = document.edit(from, to, bytes, TextDocument::EditKind::Step, {});
            undone.push_back(model);
            redone.clear();
            model.replace(from, to - from, bytes);
            joinable = false;
            break;
        }
        case 2: {
            const bool automatic = what & 0x40;
            change = document.replaceAll(bytes, automatic ? TextDocument::History::Automatic
                                                          : TextDocument::History::Step);
            if (!(automatic && joinable)) {
                undone.push_back(model);
            }
            redone.clear();
            model = bytes;
            joinable = automatic;
            break;
        }
        case 3: {
            if (from == to && bytes.empty()) {
                continue;
            }
            require(document.joinsAutomatic() == joinable, "an automatic step joins what follows");
            change = document.spliceAutomatic(from, to, bytes);
            if (!joinable) {
                undone.push_back(model);
            }
            redone.clear();
            model.replace(from, to - from, bytes);
            joinable = true;
            break;
        }
        case 4: {
            const auto restored = document.undo();
            require(restored.has_value() == !undone.empty(), "undo is there when a step is");
            if (!restored) {
                continue;
            }
            redone.push_back(model);
            model = undone.back();
            undone.pop_back();
            change = restored->change;
            joinable = false;
            break;
        }
        default: {
            const auto restored = document.redo();
            require(restored.has_value() == !redone.empty(), "redo is there when a step is");
            if (!restored) {
                continue;
            }
            undone.push_back(model);
            model = redone.back();
            redone.pop_back();
            change = restored->change;
            joinable = false;
            break;
        }
        }
        blocks.update(change, linesBefore);
        checkIndex(document.text(), model);
        checkBlocks(document.text(), blocks);
    }
    return 0;
}
