// The piece table and its line index.
#include "text/textbuffer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <span>
#include <stdexcept>
#include <utility>

namespace lorimand::text {

namespace {

struct Piece
{
    bool inAdded = false;
    std::size_t start = 0;
    std::size_t length = 0;
};

// Offsets of every `byte` in `bytes`, each plus `base`, appended to `out`.
void collect(std::string_view bytes, char byte, std::size_t base, std::vector<std::size_t> &out)
{
    const char *const begin = bytes.data();
    const char *const end = begin + bytes.size();
    const char *at = begin;
    while (at < end) {
        const void *found = std::memchr(at, byte, static_cast<std::size_t>(end - at));
        if (found == nullptr) {
            break;
        }
        const char *const hit = static_cast<const char *>(found);
        out.push_back(base + static_cast<std::size_t>(hit - begin));
        at = hit + 1;
    }
}

// Room in `container` for `more` elements, growing it by half at least, so that
// the room made edit by edit costs amortised constant time.
template <typename Container> void makeRoom(Container &container, std::size_t more)
{
    const std::size_t needed = container.size() + more;
    if (needed > container.capacity()) {
        container.reserve(std::max(needed, container.capacity() + container.capacity() / 2));
    }
}

// Sorted offsets into the text (of its LFs) that follow its edits.
// An edit moves every offset after it; rather than moving them all at each
// keystroke, the entries from `pending_` on are kept `delta_` short of their
// value, and only the entries between two edits' places are settled when the
// edits move: typing in one place costs no more at the start of 128 MiB than
// at its end.
class Offsets
{
public:
    Offsets() = default;
    explicit Offsets(std::vector<std::size_t> values) : values_(std::move(values)) {}

    [[nodiscard]] std::size_t size() const noexcept { return values_.size(); }
    [[nodiscard]] std::size_t operator[](std::size_t index) const
    {
        return index < pending_ ? values_[index] : values_[index] + delta_;
    }
    // How many entries lie before `offset`.
    [[nodiscard]] std::size_t countBefore(std::size_t offset) const
    {
        std::size_t low = 0;
        std::size_t high = values_.size();
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if ((*this)[middle] < offset) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        return low;
    }
    // Room for `more` entries, so that splice() allocates nothing.
    void makeRoom(std::size_t more) { lorimand::text::makeRoom(values_, more); }
    // The entries in [from, to) become `fresh` (sorted, within the edit), and
    // those at or after `to` move by `delta`.
    void splice(std::size_t from, std::size_t to, std::ptrdiff_t delta,
                const std::vector<std::size_t> &fresh)
    {
        const std::size_t first = countBefore(from);
        const std::size_t last = countBefore(to);
        // Unsigned wrap-around adds a negative shift correctly.
        for (std::size_t i = pending_; i < last; ++i) {
            values_[i] += delta_;
        }
        for (std::size_t i = last; i < pending_; ++i) {
            values_[i] -= delta_;
        }
        pending_ = last;
        delta_ += static_cast<std::size_t>(delta);
        if (last - first == fresh.size()) {
            std::copy(fresh.begin(), fresh.end(),
                      values_.begin() + static_cast<std::ptrdiff_t>(first));
        } else {
            const auto at = values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(first),
                                          values_.begin() + static_cast<std::ptrdiff_t>(last));
            values_.insert(at, fresh.begin(), fresh.end());
            pending_ = pending_ - (last - first) + fresh.size();
        }
    }

private:
    std::vector<std::size_t> values_;
    std::size_t pending_ = 0;
    std::size_t delta_ = 0;
};

} // namespace

struct TextBuffer::State
{
    std::string original;
    std::string added;
    std::vector<Piece> pieces;
    // Where each piece starts in the text, for the binary search that finds a byte.
    std::vector<std::size_t> starts;
    std::size_t size = 0;
    Offsets lfs;
    // Where an edit collects the LFs it brings, kept for the next edit.
    std::vector<std::size_t> freshLfs;

    [[nodiscard]] std::string_view source(const Piece &piece) const
    {
        const std::string &from = piece.inAdded ? added : original;
        return std::string_view(from).substr(piece.start, piece.length);
    }
    // The piece holding byte `offset` (< size).
    [[nodiscard]] std::size_t pieceAt(std::size_t offset) const
    {
        const auto after = std::upper_bound(starts.begin(), starts.end(), offset);
        return static_cast<std::size_t>(after - starts.begin()) - 1;
    }
    [[nodiscard]] char at(std::size_t offset) const
    {
        const std::size_t index = pieceAt(offset);
        const Piece &piece = pieces[index];
        const std::string &from = piece.inAdded ? added : original;
        return from[piece.start + offset - starts[index]];
    }
    void restartFrom(std::size_t index)
    {
        starts.resize(pieces.size());
        std::size_t offset = index == 0 ? 0 : starts[index - 1] + pieces[index - 1].length;
        for (std::size_t i = index; i < pieces.size(); ++i) {
            starts[i] = offset;
            offset += pieces[i].length;
        }
    }
    // Pieces [first, last) become `fresh`.
    void replacePieces(std::size_t first, std::size_t last, std::span<const Piece> fresh)
    {
        const auto begin = pieces.begin() + static_cast<std::ptrdiff_t>(first);
        const auto at = pieces.erase(begin, pieces.begin() + static_cast<std::ptrdiff_t>(last));
        pieces.insert(at, fresh.begin(), fresh.end());
        restartFrom(first);
    }
};

TextBuffer::TextBuffer() : state_(std::make_unique<State>()) {}

TextBuffer::TextBuffer(std::string bytes) : state_(std::make_unique<State>())
{
    State &s = *state_;
    s.original = std::move(bytes);
    s.size = s.original.size();
    if (s.size > 0) {
        s.pieces.push_back(Piece{false, 0, s.size});
        s.starts.push_back(0);
    }
    std::vector<std::size_t> found;
    collect(s.original, '\n', 0, found);
    s.lfs = Offsets(std::move(found));
}

TextBuffer::TextBuffer(TextBuffer &&) noexcept = default;
TextBuffer &TextBuffer::operator=(TextBuffer &&) noexcept = default;
TextBuffer::~TextBuffer() = default;

const TextBuffer::State &TextBuffer::state() const noexcept
{
    // A buffer moved from holds no state and reads as empty.
    static const State empty;
    return state_ ? *state_ : empty;
}

std::size_t TextBuffer::size() const noexcept
{
    return state().size;
}

char TextBuffer::at(std::size_t offset) const
{
    const State &s = state();
    if (offset >= s.size) {
        throw std::out_of_range("TextBuffer::at: offset past the text");
    }
    return s.at(offset);
}

void TextBuffer::appendTo(std::size_t from, std::size_t to, std::string &out) const
{
    const State &s = state();
    if (from > to || to > s.size) {
        throw std::out_of_range("TextBuffer::appendTo: range outside the text");
    }
    if (from == to) {
        return;
    }
    for (std::size_t i = s.pieceAt(from); i < s.pieces.size() && s.starts[i] < to; ++i) {
        const std::size_t begin = std::max(from, s.starts[i]) - s.starts[i];
        const std::size_t end = std::min(to, s.starts[i] + s.pieces[i].length) - s.starts[i];
        out.append(s.source(s.pieces[i]).substr(begin, end - begin));
    }
}

std::string TextBuffer::bytes(std::size_t from, std::size_t to) const
{
    std::string out;
    out.reserve(to > from ? to - from : 0);
    appendTo(from, to, out);
    return out;
}

std::vector<std::string_view> TextBuffer::pieces(std::size_t from, std::size_t to) const
{
    const State &s = state();
    if (from > to || to > s.size) {
        throw std::out_of_range("TextBuffer::pieces: range outside the text");
    }
    std::vector<std::string_view> out;
    if (from == to) {
        return out;
    }
    for (std::size_t i = s.pieceAt(from); i < s.pieces.size() && s.starts[i] < to; ++i) {
        const std::size_t begin = std::max(from, s.starts[i]) - s.starts[i];
        const std::size_t end = std::min(to, s.starts[i] + s.pieces[i].length) - s.starts[i];
        out.push_back(s.source(s.pieces[i]).substr(begin, end - begin));
    }
    return out;
}

std::size_t TextBuffer::lineCount() const noexcept
{
    return state().lfs.size() + 1;
}

std::size_t TextBuffer::lineStart(std::size_t line) const
{
    const State &s = state();
    if (line > s.lfs.size()) {
        throw std::out_of_range("TextBuffer::lineStart: no such line");
    }
    return line == 0 ? 0 : s.lfs[line - 1] + 1;
}

std::size_t TextBuffer::lineEnd(std::size_t line) const
{
    const State &s = state();
    if (line >= s.lfs.size()) {
        if (line > s.lfs.size()) {
            throw std::out_of_range("TextBuffer::lineEnd: no such line");
        }
        return s.size;
    }
    const std::size_t lf = s.lfs[line];
    return lf > lineStart(line) && s.at(lf - 1) == '\r' ? lf - 1 : lf;
}

LineBreak TextBuffer::lineBreak(std::size_t line) const
{
    const State &s = state();
    if (line >= s.lfs.size()) {
        if (line > s.lfs.size()) {
            throw std::out_of_range("TextBuffer::lineBreak: no such line");
        }
        return LineBreak::None;
    }
    return lineEnd(line) == s.lfs[line] ? LineBreak::Lf : LineBreak::CrLf;
}

std::size_t TextBuffer::lineOf(std::size_t offset) const
{
    // The LFs before `offset` are the lines ended before it: one on `offset` ends its line.
    return state().lfs.countBefore(offset);
}

LineBreak TextBuffer::firstBreak() const
{
    return lineCount() > 1 ? lineBreak(0) : LineBreak::CrLf;
}

ByteChange TextBuffer::replace(std::size_t from, std::size_t to, std::string_view bytes)
{
    if (!state_) {
        state_ = std::make_unique<State>();
    }
    State &s = *state_;
    if (from > to || to > s.size) {
        throw std::out_of_range("TextBuffer::replace: range outside the text");
    }
    ByteChange change;
    change.from = from;
    change.removed = to - from;
    change.added = bytes.size();
    if (from == to && bytes.empty()) {
        return change;
    }
    // Bytes handed back from our own pieces() may sit in `added`, which grows below.
    std::string copy;
    const std::less<const char *> less;
    if (!bytes.empty() && !less(bytes.data(), s.added.data()) &&
        less(bytes.data(), s.added.data() + s.added.size())) {
        copy.assign(bytes);
        bytes = copy;
    }
    const auto delta =
        static_cast<std::ptrdiff_t>(bytes.size()) - static_cast<std::ptrdiff_t>(to - from);

    // Everything the edit needs is allocated before anything changes: running
    // out of memory leaves the text as it was.
    const auto lfs = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    if (s.freshLfs.capacity() < lfs) {
        s.freshLfs.reserve(lfs);
    }
    s.lfs.makeRoom(lfs);
    makeRoom(s.added, bytes.size());
    makeRoom(s.pieces, 3);
    makeRoom(s.starts, 3);

    // The index: LFs only move, and those of the new bytes come in.
    s.freshLfs.clear();
    collect(bytes, '\n', from, s.freshLfs);
    s.lfs.splice(from, to, delta, s.freshLfs);

    // The pieces: the one holding `from` keeps its part before it, the one holding `to`
    // its part after; the new bytes go between, extending the piece before them when
    // that piece ends where `added` does (typing one byte after another).
    std::array<Piece, 3> replacement{};
    std::size_t replacements = 0;
    std::size_t first = s.pieces.size();
    std::size_t last = s.pieces.size();
    if (from < s.size) {
        first = s.pieceAt(from);
        if (s.starts[first] < from) {
            const Piece &piece = s.pieces[first];
            replacement[replacements++] = Piece{piece.inAdded, piece.start, from - s.starts[first]};
        }
    }
    if (!bytes.empty()) {
        Piece *before = nullptr;
        if (replacements > 0) {
            before = &replacement[replacements - 1];
        } else if (first > 0) {
            before = &s.pieces[first - 1];
        }
        if (before != nullptr && before->inAdded &&
            before->start + before->length == s.added.size()) {
            before->length += bytes.size();
        } else {
            replacement[replacements++] = Piece{true, s.added.size(), bytes.size()};
        }
        s.added.append(bytes);
    }
    if (to < s.size) {
        last = s.pieceAt(to);
        const Piece &piece = s.pieces[last];
        const std::size_t cut = to - s.starts[last];
        replacement[replacements++] = Piece{piece.inAdded, piece.start + cut, piece.length - cut};
        ++last;
    }
    s.size = s.size - (to - from) + bytes.size();
    // The piece before may have grown: its start stays, the starts after it follow.
    s.replacePieces(first, last, std::span<const Piece>(replacement.data(), replacements));
    return change;
}

void TextBuffer::reserve(std::size_t bytes, std::size_t lineBreaks, std::size_t edits)
{
    if (!state_) {
        state_ = std::make_unique<State>();
    }
    State &s = *state_;
    // Each edit makes at most two pieces more, and asks for room for three.
    makeRoom(s.pieces, 2 * edits + 1);
    makeRoom(s.starts, 2 * edits + 1);
    makeRoom(s.added, bytes);
    s.lfs.makeRoom(lineBreaks);
    if (s.freshLfs.capacity() < lineBreaks) {
        s.freshLfs.reserve(lineBreaks);
    }
}

} // namespace lorimand::text
