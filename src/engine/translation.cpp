#include "engine/translation.h"

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
