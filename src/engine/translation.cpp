#include "engine/translation.h"

#include <algorithm>

#include "engine/keyshift.h"

namespace lorimand {

Translation::Translation(Kind kind, Direction direction, int shift, const CodeTable *table)
    : kind_(kind), direction_(direction), shift_(shift)
{
    if (table != nullptr) {
        table_.emplace(*table);
    }
}

std::optional<Translation> Translation::forKey(std::string_view key, Direction direction,
                                               RandomGenerator &generator)
{
    if (key.empty()) {
        return Translation(Kind::Copy, direction, 0, nullptr);
    }
    if (!checkGenerator(generator)) {
        return std::nullopt;
    }
    return Translation(Kind::Shift, direction, shiftForKey(key, generator), nullptr);
}

Translation Translation::forTables(const CodeTables &tables, Direction direction)
{
    return Translation(Kind::Table, direction, 0,
                       direction == Direction::Encode ? &tables.encodeTable : &tables.decodeTable);
}

std::string Translation::apply(std::string_view text)
{
    std::string result;
    if (kind_ == Kind::Table) {
        table_->translate(text, result);
        table_->finish();
        return result;
    }
    result = text;
    if (kind_ == Kind::Shift) {
        applyShiftInPlace(std::span<char>(result.data(), result.size()), shift_, direction_);
    }
    return result;
}

TranslationSplice Translation::applyToChange(const TextChange &change) const
{
    const std::string_view around = change.around;
    // The bytes either side of the change translate anew too: a CR before it may
    // have lost or gained its LF, and an LF after it its CR.
    const std::size_t first = change.begin > 0 ? change.begin - 1 : 0;
    const std::size_t last = std::min(change.end + 1, around.size());
    TranslationSplice splice;
    if (kind_ == Kind::Table) {
        table_->translateWithin(around, first, last, splice.bytes);
    } else {
        splice.bytes.assign(around.substr(first, last - first));
        if (kind_ == Kind::Shift) {
            applyShiftInPlace(std::span<char>(splice.bytes.data(), splice.bytes.size()), shift_,
                              direction_);
        }
    }
    const bool dropsLoneCr = kind_ == Kind::Table && table_->dropsLoneCr();
    std::size_t dropped = 0;
    std::ptrdiff_t droppedAdded = 0;
    if (dropsLoneCr) {
        dropped = change.loneCrsBefore;
        if (first < change.begin && around[first] == '\r' &&
            (first + 1 == around.size() || around[first + 1] != '\n')) {
            --dropped; // the byte before the change is one of them
        }
        droppedAdded = change.loneCrsAdded;
    }
    splice.from = change.offset + first - dropped;
    // What follows the changed stretch is the same in both translations, so the
    // stretch replaced is as much longer or shorter as the whole translation.
    const auto added = static_cast<std::ptrdiff_t>(change.end - change.begin);
    const std::ptrdiff_t grown = added - static_cast<std::ptrdiff_t>(change.removed) - droppedAdded;
    splice.removed =
        static_cast<std::size_t>(static_cast<std::ptrdiff_t>(splice.bytes.size()) - grown);
    return splice;
}

std::string_view Translation::applyToBlock(std::span<char> block, char *out) noexcept
{
    switch (kind_) {
    case Kind::Copy:
        break;
    case Kind::Shift:
        applyShiftInPlace(block, shift_, direction_);
        break;
    case Kind::Table:
        return {out, table_->translate(std::string_view(block.data(), block.size()), out)};
    }
    return {block.data(), block.size()};
}

void Translation::finish() noexcept
{
    if (table_) {
        table_->finish();
    }
}

} // namespace lorimand
