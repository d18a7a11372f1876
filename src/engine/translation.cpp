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
    // The byte after the change translates anew too: an LF there may have
    // gained or lost the CR before it. Every byte gives one, so the places match.
    const std::size_t last = std::min(change.end + 1, around.size());
    TranslationSplice splice;
    if (kind_ == Kind::Table) {
        table_->translateWithin(around, change.begin, last, splice.bytes);
    } else {
        splice.bytes.assign(around.substr(change.begin, last - change.begin));
        if (kind_ == Kind::Shift) {
            applyShiftInPlace(std::span<char>(splice.bytes.data(), splice.bytes.size()), shift_,
                              direction_);
        }
    }
    splice.from = change.offset + change.begin;
    splice.removed = change.removed + (last - change.end);
    return splice;
}

void Translation::applyToBlock(std::span<char> block) noexcept
{
    switch (kind_) {
    case Kind::Copy:
        break;
    case Kind::Shift:
        applyShiftInPlace(block, shift_, direction_);
        break;
    case Kind::Table:
        table_->translate(block);
        break;
    }
}

void Translation::finish() noexcept
{
    if (table_) {
        table_->finish();
    }
}

} // namespace lorimand
