// The undo history of a text: steps of records that each swap what they keep with
// what the text holds, so that undoing and redoing are one operation.
#include "text/textdocument.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace lorimand::text {

namespace {

// One change a step made. An edit keeps the bytes that were at [offset, offset +
// length) before it, while that range holds what it put there; applying it swaps the
// two. A whole record keeps a whole text moved aside; applying it swaps the texts.
struct Record
{
    std::size_t offset = 0;
    std::size_t length = 0;
    std::string other;
    std::optional<TextBuffer> whole;

    [[nodiscard]] std::size_t keptBytes() const { return whole ? whole->size() : other.size(); }
};

struct Step
{
    std::vector<Record> records;
    Selection before;
    bool automatic = false;
    bool typing = false;

    [[nodiscard]] std::size_t wholes() const
    {
        return static_cast<std::size_t>(std::count_if(
            records.begin(), records.end(), [](const Record &r) { return r.whole.has_value(); }));
    }
    [[nodiscard]] std::size_t keptBytes() const
    {
        std::size_t sum = 0;
        for (const Record &record : records) {
            sum += record.keptBytes();
        }
        return sum;
    }
};

// Applies `record` to `text`: swaps what the record keeps with what the text holds.
ByteChange apply(Record &record, TextBuffer &text)
{
    if (record.whole) {
        ByteChange change;
        change.removed = text.size();
        change.added = record.whole->size();
        const auto lone = static_cast<std::ptrdiff_t>(text.loneCrs());
        std::swap(text, *record.whole);
        change.loneCrsAdded = static_cast<std::ptrdiff_t>(text.loneCrs()) - lone;
        return change;
    }
    std::string current = text.bytes(record.offset, record.offset + record.length);
    ByteChange change = text.replace(record.offset, record.offset + record.length, record.other);
    record.length = record.other.size();
    record.other = std::move(current);
    return change;
}

// The change that `next` (a change of the text that `sum` made) and `sum` make
// together: the range that covers both, in the text before and after.
ByteChange combine(const ByteChange &sum, const ByteChange &next)
{
    const std::size_t low = std::min(sum.from, next.from);
    const std::size_t high = std::max(sum.from + sum.added, next.from + next.removed);
    ByteChange both;
    both.from = low;
    both.removed = high - sum.added + sum.removed - low;
    both.added = high - next.removed + next.added - low;
    return both;
}

} // namespace

struct TextDocument::State
{
    TextBuffer text;
    std::uint64_t changes = 0;
    // Oldest first, so that the bounds drop from the front.
    std::deque<Step> undo;
    std::vector<Step> redo;
    UndoLimits limits;
    // What the undo stack keeps, for the bounds.
    std::size_t undoWholes = 0;
    std::size_t undoBytes = 0;
    // The latest undo step may grow: nothing was undone, redone or replaced since it.
    bool latestOpen = false;
    // The text is an automatic replacement that nothing has edited since.
    bool automaticShown = false;

    void pushUndo(Step step)
    {
        undoWholes += step.wholes();
        undoBytes += step.keptBytes();
        undo.push_back(std::move(step));
    }
    Step popUndo()
    {
        Step step = std::move(undo.back());
        undo.pop_back();
        undoWholes -= step.wholes();
        undoBytes -= step.keptBytes();
        return step;
    }
    void bound()
    {
        while (undo.size() > 1 && (undoWholes > limits.steps || undoBytes > limits.bytes)) {
            undoWholes -= undo.front().wholes();
            undoBytes -= undo.front().keptBytes();
            undo.pop_front();
        }
    }
    void clear()
    {
        undo.clear();
        redo.clear();
        undoWholes = 0;
        undoBytes = 0;
        latestOpen = false;
        automaticShown = false;
    }
    // Undoes a step (its records from the last to the first) or redoes it (from
    // the first): either way each record swaps what it keeps with the text.
    ByteChange applyStep(Step &step, bool forward)
    {
        const std::size_t lone = text.loneCrs();
        ByteChange change;
        const std::size_t count = step.records.size();
        for (std::size_t i = 0; i < count; ++i) {
            Record &record = step.records[forward ? i : count - 1 - i];
            const ByteChange next = apply(record, text);
            change = i == 0 ? next : combine(change, next);
        }
        change.loneCrsBefore = text.loneCrsBefore(change.from);
        change.loneCrsAdded =
            static_cast<std::ptrdiff_t>(text.loneCrs()) - static_cast<std::ptrdiff_t>(lone);
        ++changes;
        latestOpen = false;
        automaticShown = false;
        return change;
    }
    // A new step whose one record keeps the whole text before it, the new text shown.
    ByteChange replaceWith(std::string bytes, Selection before, bool automatic)
    {
        const auto lone = static_cast<std::ptrdiff_t>(text.loneCrs());
        // The new text is whole before the old one moves: running out of memory
        // on the way leaves the text as it was.
        TextBuffer next(std::move(bytes));
        Step step;
        step.before = before;
        step.automatic = automatic;
        step.records.emplace_back();
        step.records.back().whole.emplace(std::move(text));
        text = std::move(next);
        ByteChange change;
        change.removed = step.records.back().whole->size();
        change.added = text.size();
        change.loneCrsAdded = static_cast<std::ptrdiff_t>(text.loneCrs()) - lone;
        redo.clear();
        pushUndo(std::move(step));
        bound();
        return change;
    }
};

TextDocument::TextDocument() : state_(std::make_unique<State>()) {}
TextDocument::TextDocument(TextDocument &&) noexcept = default;
TextDocument &TextDocument::operator=(TextDocument &&) noexcept = default;
TextDocument::~TextDocument() = default;

const TextDocument::State &TextDocument::state() const noexcept
{
    // A document moved from holds no state and reads as empty, with no history.
    static const State empty;
    return state_ ? *state_ : empty;
}

TextDocument::State &TextDocument::ownState()
{
    if (!state_) {
        state_ = std::make_unique<State>();
    }
    return *state_;
}

const TextBuffer &TextDocument::text() const noexcept
{
    return state().text;
}

std::uint64_t TextDocument::changeCount() const noexcept
{
    return state().changes;
}

ByteChange TextDocument::edit(std::size_t from, std::size_t to, std::string_view bytes,
                              EditKind kind, Selection before)
{
    State &s = ownState();
    if (from == to && bytes.empty()) {
        return s.text.replace(from, to, bytes);
    }
    // The step is made before the text changes, so that running out of memory
    // leaves both as they were.
    const bool typing = kind == EditKind::Typing;
    Step step;
    step.before = before;
    step.typing = typing;
    step.records.push_back(Record{from, bytes.size(), s.text.bytes(from, to), std::nullopt});
    const ByteChange change = s.text.replace(from, to, bytes);
    ++s.changes;
    s.redo.clear();
    s.automaticShown = false;
    if (typing && s.latestOpen && from == to && !s.undo.empty()) {
        Step &latest = s.undo.back();
        if (latest.typing && latest.records.size() == 1 && !latest.records.front().whole &&
            latest.records.front().offset + latest.records.front().length == from) {
            // The record keeps what was there before the first byte typed; its range grows.
            latest.records.front().length += bytes.size();
            return change;
        }
    }
    s.pushUndo(std::move(step));
    s.bound();
    s.latestOpen = true;
    return change;
}

ByteChange TextDocument::replaceAll(std::string bytes, History history, Selection before)
{
    State &s = ownState();
    ++s.changes;
    if (history == History::Fresh) {
        s.clear();
        const auto lone = static_cast<std::ptrdiff_t>(s.text.loneCrs());
        ByteChange change;
        change.removed = s.text.size();
        s.text = TextBuffer(std::move(bytes));
        change.added = s.text.size();
        change.loneCrsAdded = static_cast<std::ptrdiff_t>(s.text.loneCrs()) - lone;
        return change;
    }
    if (history == History::Automatic && joinsAutomatic()) {
        const auto lone = static_cast<std::ptrdiff_t>(s.text.loneCrs());
        ByteChange change;
        change.removed = s.text.size();
        TextBuffer next(std::move(bytes));
        Step &latest = s.undo.back();
        if (!latest.records.front().whole) {
            // A step of splices becomes one that keeps the whole text from before
            // it: the splices are taken back, and that text moved aside.
            s.undoBytes -= latest.keptBytes();
            for (auto record = latest.records.rbegin(); record != latest.records.rend(); ++record) {
                (void)apply(*record, s.text);
            }
            latest.records.clear();
            latest.records.emplace_back();
            latest.records.back().whole.emplace(std::move(s.text));
            s.undoWholes += 1;
            s.undoBytes += latest.keptBytes();
        }
        // The step's record keeps the text from before the step: the one shown just goes.
        s.text = std::move(next);
        change.added = s.text.size();
        change.loneCrsAdded = static_cast<std::ptrdiff_t>(s.text.loneCrs()) - lone;
        s.bound();
        return change;
    }
    const bool automatic = history == History::Automatic;
    const ByteChange change = s.replaceWith(std::move(bytes), before, automatic);
    s.latestOpen = false;
    s.automaticShown = automatic;
    return change;
}

bool TextDocument::joinsAutomatic() const noexcept
{
    const State &s = state();
    return s.automaticShown && !s.undo.empty() && s.undo.back().automatic && s.redo.empty();
}

ByteChange TextDocument::spliceAutomatic(std::size_t from, std::size_t to, std::string_view bytes)
{
    State &s = ownState();
    if (from == to && bytes.empty()) {
        return s.text.replace(from, to, bytes);
    }
    if (joinsAutomatic() && s.undo.back().records.front().whole) {
        // The step's record keeps the whole text from before it: nothing more to keep.
        const ByteChange change = s.text.replace(from, to, bytes);
        ++s.changes;
        return change;
    }
    // What the splice replaces is kept before the text changes, with room for it
    // in its step, so that running out of memory leaves both as they were.
    Record record{from, bytes.size(), s.text.bytes(from, to), std::nullopt};
    const bool joins = joinsAutomatic();
    if (joins) {
        std::vector<Record> &records = s.undo.back().records;
        if (records.size() == records.capacity()) {
            records.reserve(records.size() * 2);
        }
    }
    const ByteChange change = s.text.replace(from, to, bytes);
    ++s.changes;
    s.redo.clear();
    if (joins) {
        // A step of splices keeps what each one replaced.
        s.undoBytes += record.keptBytes();
        s.undo.back().records.push_back(std::move(record));
    } else {
        // The first splice after anything else begins an automatic step of its own,
        // which the splices after it join, as whole replacements would.
        Step step;
        step.before = Selection{from, from};
        step.automatic = true;
        step.records.push_back(std::move(record));
        s.pushUndo(std::move(step));
        s.latestOpen = false;
        s.automaticShown = true;
    }
    s.bound();
    return change;
}

bool TextDocument::canUndo() const noexcept
{
    return !state().undo.empty();
}

bool TextDocument::canRedo() const noexcept
{
    return !state().redo.empty();
}

std::optional<TextDocument::Restored> TextDocument::undo()
{
    if (!canUndo()) {
        return std::nullopt;
    }
    State &s = ownState();
    Step step = s.popUndo();
    const ByteChange change = s.applyStep(step, false);
    const Selection selection = step.before;
    s.redo.push_back(std::move(step));
    return Restored{change, selection};
}

std::optional<TextDocument::Restored> TextDocument::redo()
{
    if (!canRedo()) {
        return std::nullopt;
    }
    State &s = ownState();
    Step step = std::move(s.redo.back());
    s.redo.pop_back();
    const ByteChange change = s.applyStep(step, true);
    const Record &last = step.records.back();
    const std::size_t caret = last.whole ? s.text.size() : last.offset + last.length;
    s.pushUndo(std::move(step));
    s.bound();
    return Restored{change, Selection{caret, caret}};
}

void TextDocument::setUndoLimits(UndoLimits limits)
{
    State &s = ownState();
    s.limits = limits;
    s.bound();
}

void TextDocument::clearHistory()
{
    ownState().clear();
}

} // namespace lorimand::text
