// Where the caret goes: the moves of a text area's keys and clicks, worked out
// over the text's laid-out blocks (LayoutCache) and nothing else. Offsets are
// bytes, always at the start of a character as shown.
//
// A line longer than a block is laid out in several blocks, which these moves
// join again: the caret steps over a block's edge as over any other boundary,
// and a word may go on across it.
#pragma once

#include <cstddef>
#include <optional>

#include <QtGlobal>

#include "text/textdocument.h"
#include "ui/text/layoutcache.h"

namespace lorimand::caretmoves {

// The next or the previous character boundary; a CR LF is one character.
[[nodiscard]] std::size_t nextCharacter(const LayoutCache &layouts, std::size_t offset);
[[nodiscard]] std::size_t previousCharacter(const LayoutCache &layouts, std::size_t offset);
// The start of the next word, or of the word before (Ctrl+Right, Ctrl+Left).
[[nodiscard]] std::size_t nextWord(const LayoutCache &layouts, std::size_t offset);
[[nodiscard]] std::size_t previousWord(const LayoutCache &layouts, std::size_t offset);
// The word around `offset`, as a double click selects it; a character that is
// no part of a word alone.
[[nodiscard]] text::Selection wordAt(const LayoutCache &layouts, std::size_t offset);
// Where the row on screen that holds `offset` begins and ends (Home, End); a
// row that wraps at a blank ends before it, one cut in a word after its last
// character.
[[nodiscard]] std::size_t rowStart(const LayoutCache &layouts, std::size_t offset);
[[nodiscard]] std::size_t rowEnd(const LayoutCache &layouts, std::size_t offset);
// `rows` rows up (negative) or down on screen, at the x the caret keeps while
// it moves up and down: `stickyX`, set from the caret's x when it has none.
[[nodiscard]] std::size_t movedByRows(const LayoutCache &layouts, std::size_t offset, int rows,
                                      std::optional<qreal> &stickyX);

} // namespace lorimand::caretmoves
