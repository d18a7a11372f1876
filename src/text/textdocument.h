// A text area's bytes with their undo history, without Qt.
//
// Undo records edits, not copies: an edit keeps the bytes it removed, and a
// replacement of the whole text keeps the text it replaced by moving it aside
// (with its index), so that undoing it is immediate whatever the size. Each
// step remembers the selection before it, for undo to bring back.
//
// Every change, undo and redo included, allocates what it needs before it
// changes anything: when memory runs out (std::bad_alloc), the text and its
// history are as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/textbuffer.h"

namespace lorimand::text {

// A selection in bytes; anchor == position is a caret.
struct Selection
{
    std::size_t anchor = 0;
    std::size_t position = 0;
    friend bool operator==(const Selection &, const Selection &) = default;
};

class TextDocument
{
public:
    // How an edit joins the undo history.
    enum class EditKind
    {
        Typing, // joins the step before when that was typing that ended where this begins
        Step,   // a step of its own
    };
    // How a replacement of the whole text joins the undo history.
    enum class History
    {
        Step,      // one undo step
        Automatic, // one step together with the automatic replacements right before it
        Fresh,     // the history starts again from this text
    };
    // The replaced texts kept for undo: the latest step always; older ones
    // while there are no more than `steps` whole texts kept and all the steps
    // hold no more than `bytes` together; the oldest go first.
    struct UndoLimits
    {
        std::size_t steps = 20;
        std::size_t bytes = std::size_t{64} << 20;
    };
    // What undo or redo changed, and the selection to show after it.
    struct Restored
    {
        ByteChange change;
        Selection selection;
    };

    TextDocument();
    TextDocument(TextDocument &&) noexcept;
    TextDocument &operator=(TextDocument &&) noexcept;
    ~TextDocument();

    [[nodiscard]] const TextBuffer &text() const noexcept;
    // How many times the bytes have changed, by any means.
    [[nodiscard]] std::uint64_t changeCount() const noexcept;

    // An edit by the user: bytes [from, to) become `bytes`; `before` is the
    // selection shown before it, which undo brings back. Clears redo.
    ByteChange edit(std::size_t from, std::size_t to, std::string_view bytes, EditKind kind,
                    Selection before);
    // The program's replacement of the whole text, moved in. Clears redo.
    // Automatic joins the automatic step shown when joinsAutomatic(): the text
    // it replaced goes, and undo brings back what was there before the step.
    ByteChange replaceAll(std::string bytes, History history, Selection before = {});
    // Whether the text shown is an automatic replacement that nothing has edited since.
    [[nodiscard]] bool joinsAutomatic() const noexcept;
    // Bytes [from, to) become `bytes` as part of the automatic step shown; where
    // nothing joins, they begin an automatic step of their own, which the
    // splices and automatic replacements after it join.
    ByteChange spliceAutomatic(std::size_t from, std::size_t to, std::string_view bytes);

    [[nodiscard]] bool canUndo() const noexcept;
    [[nodiscard]] bool canRedo() const noexcept;
    // How many bytes undo (redo) would bring into the text at most, so that
    // what follows the text can make room for them first; 0 when there is nothing.
    [[nodiscard]] std::size_t undoBrings() const;
    [[nodiscard]] std::size_t redoBrings() const;
    // Nothing when there is nothing to undo (redo).
    std::optional<Restored> undo();
    std::optional<Restored> redo();
    void setUndoLimits(UndoLimits limits);
    // Forgets every step (for a text shown anew in another way).
    void clearHistory();

private:
    struct State;
    [[nodiscard]] const State &state() const noexcept;
    State &ownState();
    std::unique_ptr<State> state_;
};

} // namespace lorimand::text
