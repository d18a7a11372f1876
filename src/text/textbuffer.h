// The bytes of a text area and the index that finds its lines, without Qt.
//
// The bytes live in a piece table: the text loaded or set (moved in, never
// copied) and a buffer that only grows with what is typed, and a list of pieces
// naming which stretches of the two make the text. Loading 128 MiB costs one
// scan for the line index; an edit anywhere splits a piece and moves no bytes;
// reading out hands the pieces out as they are.
//
// A line ends at each LF. An LF that a CR comes right before ends its line with
// CR LF, the pair counting as one line break; any other CR (a lone CR) is a
// character of its line. The index keeps where each LF lies and follows every
// edit.
//
// Every change allocates what it needs before it changes anything: running out
// of memory leaves the text and its index as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lorimand::text {

// A change of a text in bytes: bytes [from, from + removed) of the text before
// became [from, from + added) now.
struct ByteChange
{
    std::size_t from = 0;
    std::size_t removed = 0;
    std::size_t added = 0;
};

// How a line ends.
enum class LineBreak : unsigned char
{
    CrLf,
    Lf,
    None, // the last line
};

[[nodiscard]] constexpr std::string_view breakBytes(LineBreak kind)
{
    switch (kind) {
    case LineBreak::CrLf:
        return "\r\n";
    case LineBreak::Lf:
        return "\n";
    case LineBreak::None:
        break;
    }
    return {};
}

class TextBuffer
{
public:
    TextBuffer();
    // Takes the bytes over without copying them.
    explicit TextBuffer(std::string bytes);
    TextBuffer(TextBuffer &&) noexcept;
    TextBuffer &operator=(TextBuffer &&) noexcept;
    TextBuffer(const TextBuffer &) = delete;
    TextBuffer &operator=(const TextBuffer &) = delete;
    ~TextBuffer();

    [[nodiscard]] std::size_t size() const noexcept;
    [[nodiscard]] bool empty() const noexcept { return size() == 0; }
    // The byte at `offset` (< size()).
    [[nodiscard]] char at(std::size_t offset) const;
    // Appends bytes [from, to) to `out`; allocates nothing when `out` has room for them.
    void appendTo(std::size_t from, std::size_t to, std::string &out) const;
    [[nodiscard]] std::string bytes(std::size_t from, std::size_t to) const;
    [[nodiscard]] std::string bytes() const { return bytes(0, size()); }
    // The stretches that make bytes [from, to), in order, as the buffer holds
    // them: valid until the next edit.
    [[nodiscard]] std::vector<std::string_view> pieces(std::size_t from, std::size_t to) const;
    [[nodiscard]] std::vector<std::string_view> pieces() const { return pieces(0, size()); }

    // Lines: at least one; one more than there are LFs.
    [[nodiscard]] std::size_t lineCount() const noexcept;
    // Where line `line` starts.
    [[nodiscard]] std::size_t lineStart(std::size_t line) const;
    // Where its characters end: at its line break (the CR of a CR LF), or at
    // size() for the last line.
    [[nodiscard]] std::size_t lineEnd(std::size_t line) const;
    [[nodiscard]] LineBreak lineBreak(std::size_t line) const;
    // The line that holds byte `offset`; a line break belongs to the line it
    // ends, and size() to the last line.
    [[nodiscard]] std::size_t lineOf(std::size_t offset) const;
    // The kind a line break typed or pasted takes: that of the text's first
    // line break, CR LF when there is none.
    [[nodiscard]] LineBreak firstBreak() const;

    // Replaces bytes [from, to) with `bytes`; linear in the size of the edit and
    // in the number of pieces and index entries after it, never in the text's size.
    // Allocates nothing when reserve() made room for it and `bytes` lie outside
    // this buffer.
    ByteChange replace(std::size_t from, std::size_t to, std::string_view bytes);
    // Room for `edits` replacements that bring `bytes` bytes holding `lineBreaks`
    // LFs in all, so that a series of them can change the text whole or not at all.
    void reserve(std::size_t bytes, std::size_t lineBreaks, std::size_t edits);

private:
    struct State;
    [[nodiscard]] const State &state() const noexcept;
    std::unique_ptr<State> state_;
};

} // namespace lorimand::text
