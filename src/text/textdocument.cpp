// The undo history of a text: steps of records that each swap what they keep with
// what the text holds, so that undoing and redoing are one operation. Every
// operation allocates what it needs before it changes the text or the history:
// running out of memory leaves both as they were.
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

// A step holds one whole record, or any number of edit records.
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

// Applies `records` to `text`, from the first (forward) or from the last: each
// swaps what it keeps with what the text holds. All the room it needs is made
// first, so that the text changes whole or not at all.
ByteChange apply(std::vector<Record> &records, bool forward, TextBuffer &text)
{
    const std::size_t count = records.size();
    if (count == 1 && records.front().whole) {
        ByteChange change;
        change.removed = text.size();
        change.added = records.front().whole->size();
        std::swap(text, *records.front().whole);
        return change;
    }
    std::vector<std::string> current(count);
    std::size_t bytes = 0;
    std::size_t lineBreaks = 0;
    for (std::size_t i = 0; i < count; ++i) {
        current[i].reserve(records[i].length);
        bytes += records[i].other.size();
        lineBreaks += static_cast<std::size_t>(
            std::count(records[i].other.begin(), records[i].other.end(), '\n'));
    }
    text.reserve(bytes, lineBreaks, count);
    ByteChange change;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = forward ? k : count - 1 - k;
        Record &record = records[i];
        text.appendTo(record.offset, record.offset + record.length, current[i]);
        const ByteChange next =
            text.replace(record.offset, record.offset + record.length, record.other);
        record.length = record.other.size();
        record.other.swap(current[i]);
        change = k == 0 ? next : combine(change, next);
    }
    return change;
}

// A place at the end of the undo steps, taken before the text changes, so that
// the step can go there afterwards without allocating; it goes again unless a
// step was put in it.
class UndoPlace
{
public:
    explicit UndoPlace(std::deque<Step> &undo) : undo_(undo) { undo_.emplace_back(); }
    ~UndoPlace()
    {
        if (!filled_) {
            undo_.pop_back();
        }
    }
    UndoPlace(const UndoPlace &) = delete;
    UndoPlace &operator=(const UndoPlace &) = delete;

    void fill(Step step) noexcept
    {
        undo_.back() = std::move(step);
        filled_ = true;
    }

private:
    std::deque<Step> &undo_;
    bool filled_ = false;
};

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

    void pushUndo(UndoPlace &place, Step step) noexcept
    {
        undoWholes += step.wholes();
        undoBytes += step.keptBytes();
        place.fill(std::move(step));
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
        const ByteChange change = apply(step.records, forward, text);
        ++changes;
        latestOpen = false;
        automaticShown = false;
        return change;
    }
    // A new step whose one record keeps the whole text before it, the new text shown.
    ByteChange replaceWith(std::string bytes, Selection before, bool automatic)
    {
        // The new text and the step are whole before the old text moves.
        TextBuffer next(std::move(bytes));
        Step step;
        step.before = before;
        step.automatic = automatic;
        step.records.emplace_back();
        UndoPlace place(undo);
        step.records.back().whole.emplace(std::move(text));
        text = std::move(next);
        ByteChange change;
        change.removed = step.records.back().whole->size();
        change.added = text.size();
        redo.clear();
        pushUndo(place, std::move(step));
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
    const bool typing = kind == EditKind::Typing;
    if (typing && s.latestOpen && from == to && !s.undo.empty()) {
        Step &latest = s.undo.back();
        if (latest.typing && latest.records.size() == 1 && !latest.records.front().whole &&
            latest.records.front().offset + latest.records.front().length == from) {
            // The record keeps what was there before the first byte typed; its range grows.
            const ByteChange change = s.text.replace(from, to, bytes);
            latest.records.front().length += bytes.size();
            ++s.changes;
            s.redo.clear();
            s.automaticShown = false;
            return change;
        }
    }
    // The step, and its place, are made before the text changes.
    Step step;
    step.before = before;
    step.typing = typing;
    step.records.push_back(Record{from, bytes.size(), s.text.bytes(from, to), std::nullopt});
    UndoPlace place(s.undo);
    const ByteChange change = s.text.replace(from, to, bytes);
    ++s.changes;
    s.redo.clear();
    s.automaticShown = false;
    s.pushUndo(place, std::move(step));
    s.bound();
    s.latestOpen = true;
    return change;
}

ByteChange TextDocument::replaceAll(std::string bytes, History history, Selection before)
{
    State &s = ownState();
    if (history == History::Fresh) {
        TextBuffer next(std::move(bytes));
        s.clear();
        ByteChange change;
        change.removed = s.text.size();
        s.text = std::move(next);
        change.added = s.text.size();
        ++s.changes;
        return change;
    }
    if (history == History::Automatic && joinsAutomatic()) {
        TextBuffer next(std::move(bytes));
        ByteChange change;
        change.removed = s.text.size();
        Step &latest = s.undo.back();
        if (!latest.records.front().whole) {
            // A step of splices becomes one that keeps the whole text from before
            // it: the splices are taken back, and that text moved aside.
            const std::size_t keptBefore = latest.keptBytes();
            (void)apply(latest.records, false, s.text);
            latest.records.clear();
            latest.records.emplace_back(); // in the room the splices had
            latest.records.back().whole.emplace(std::move(s.text));
            s.undoBytes = s.undoBytes - keptBefore + latest.keptBytes();
            s.undoWholes += 1;
        }
        // The step's record keeps the text from before the step: the one shown just goes.
        s.text = std::move(next);
        change.added = s.text.size();
        ++s.changes;
        s.bound();
        return change;
    }
    const bool automatic = history == History::Automatic;
    const ByteChange change = s.replaceWith(std::move(bytes), before, automatic);
    ++s.changes;
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
    // What the splice replaces is kept, and there is room for it in its step,
    // before the text changes.
    Record record{from, bytes.size(), s.text.bytes(from, to), std::nullopt};
    if (joinsAutomatic()) {
        std::vector<Record> &records = s.undo.back().records;
        if (records.size() == records.capacity()) {
            records.reserve(records.size() * 2);
        }
        const ByteChange change = s.text.replace(from, to, bytes);
        ++s.changes;
        // A step of splices keeps what each one replaced.
        s.undoBytes += record.keptBytes();
        records.push_back(std::move(record));
        s.bound();
        return change;
    }
    // The first splice after anything else begins an automatic step of its own,
    // which the splices after it join, as whole replacements would.
    Step step;
    step.before = Selection{from, from};
    step.automatic = true;
    step.records.push_back(std::move(record));
    UndoPlace place(s.undo);
    const ByteChange change = s.text.replace(from, to, bytes);
    ++s.changes;
    s.redo.clear();
    s.pushUndo(place, std::move(step));
    s.latestOpen = false;
    s.automaticShown = true;
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
    if (s.redo.size() == s.redo.capacity()) {
        s.redo.reserve(std::max<std::size_t>(4, s.redo.size() * 2));
    }
    Step &step = s.undo.back();
    const std::size_t wholes = step.wholes();
    const std::size_t kept = step.keptBytes();
    const ByteChange change = s.applyStep(step, false);
    const Selection selection = step.before;
    s.redo.push_back(std::move(step));
    s.undo.pop_back();
    s.undoWholes -= wholes;
    s.undoBytes -= kept;
    return Restored{change, selection};
}

std::optional<TextDocument::Restored> TextDocument::redo()
{
    if (!canRedo()) {
        return std::nullopt;
    }
    State &s = ownState();
    Step &step = s.redo.back();
    UndoPlace place(s.undo);
    const ByteChange change = s.applyStep(step, true);
    const Record &last = step.records.back();
    const std::size_t caret = last.whole ? s.text.size() : last.offset + last.length;
    s.pushUndo(place, std::move(step));
    s.redo.pop_back();
    s.bound();
    return Restored{change, Selection{caret, caret}};
}

std::size_t TextDocument::undoBrings() const
{
    const State &s = state();
    return s.undo.empty() ? 0 : s.undo.back().keptBytes();
}

std::size_t TextDocument::redoBrings() const
{
    const State &s = state();
    return s.redo.empty() ? 0 : s.redo.back().keptBytes();
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
