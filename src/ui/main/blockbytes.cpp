#include "ui/main/blockbytes.h"

#include <algorithm>

#include "engine/codetable.h"

namespace lorimand {

BlockBytes::Block BlockBytes::measure(std::string_view bytes) noexcept
{
    Block block;
    block.bytes = static_cast<std::uint32_t>(bytes.size());
    block.ownLoneCrs = static_cast<std::uint32_t>(countLoneCrs(bytes));
    block.endsWithCr = !bytes.empty() && bytes.back() == '\r';
    block.startsWithLf = !bytes.empty() && bytes.front() == '\n';
    return block;
}

BlockBytes::BlockBytes() : blocks_(1) {}

BlockBytes::BlockBytes(std::vector<Block> blocks) : blocks_(std::move(blocks))
{
    if (blocks_.empty()) {
        blocks_.emplace_back();
    }
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        settle(i);
        bytes_ += blocks_[i].bytes;
        loneCrs_ += loneCrs(i);
    }
}

std::uint32_t BlockBytes::loneCrs(std::size_t number) const noexcept
{
    const Block &block = blocks_[number];
    return block.ownLoneCrs - (block.crMeetsLf ? 1U : 0U);
}

void BlockBytes::settle(std::size_t number) noexcept
{
    Block &block = blocks_[number];
    block.crMeetsLf = false;
    if (!block.endsWithCr) {
        return;
    }
    // Blocks that stand for no bytes (empty parts of a long line) lie between.
    for (std::size_t next = number + 1; next < blocks_.size(); ++next) {
        if (blocks_[next].bytes > 0) {
            block.crMeetsLf = blocks_[next].startsWithLf;
            return;
        }
    }
}

std::size_t BlockBytes::start(std::size_t number) const noexcept
{
    // Summed from the nearer end: typing near either end stays cheap.
    if (number <= blocks_.size() / 2) {
        std::size_t sum = 0;
        for (std::size_t i = 0; i < number; ++i) {
            sum += blocks_[i].bytes;
        }
        return sum;
    }
    std::size_t sum = 0;
    for (std::size_t i = number; i < blocks_.size(); ++i) {
        sum += blocks_[i].bytes;
    }
    return bytes_ - sum;
}

std::pair<std::size_t, std::size_t> BlockBytes::locate(std::size_t offset) const noexcept
{
    // The first block that ends after the offset, or the last one.
    if (offset <= bytes_ / 2) {
        std::size_t number = 0;
        std::size_t begin = 0;
        while (number + 1 < blocks_.size() && begin + blocks_[number].bytes <= offset) {
            begin += blocks_[number].bytes;
            ++number;
        }
        return {number, begin};
    }
    std::size_t number = blocks_.size() - 1;
    std::size_t begin = bytes_ - blocks_[number].bytes;
    while (number > 0 && begin > offset) {
        --number;
        begin -= blocks_[number].bytes;
    }
    return {number, begin};
}

ByteChange BlockBytes::replace(std::size_t first, std::size_t lastBefore, std::vector<Block> now)
{
    ByteChange change;
    std::size_t loneBefore = 0;
    for (std::size_t i = first; i <= lastBefore; ++i) {
        change.removed += blocks_[i].bytes;
        loneBefore += loneCrs(i);
    }
    // The CR that ends the text before the change may meet an LF now, or no longer.
    std::size_t settleFrom = first;
    for (std::size_t i = first; i > 0; --i) {
        if (blocks_[i - 1].bytes > 0) {
            if (blocks_[i - 1].endsWithCr) {
                settleFrom = i - 1;
                loneBefore += loneCrs(i - 1);
            }
            break;
        }
    }
    const std::size_t count = now.size();
    const auto at = blocks_.begin() + static_cast<std::ptrdiff_t>(first);
    if (count == lastBefore - first + 1) {
        std::copy(now.begin(), now.end(), at);
    } else {
        blocks_.erase(at, blocks_.begin() + static_cast<std::ptrdiff_t>(lastBefore + 1));
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(first), now.begin(),
                       now.end());
    }
    std::size_t loneNow = 0;
    for (std::size_t i = settleFrom; i < first + count; ++i) {
        settle(i);
        loneNow += loneCrs(i);
        if (i >= first) {
            change.added += blocks_[i].bytes;
        }
    }
    bytes_ = bytes_ - change.removed + change.added;
    change.loneCrsAdded =
        static_cast<std::ptrdiff_t>(loneNow) - static_cast<std::ptrdiff_t>(loneBefore);
    loneCrs_ =
        static_cast<std::size_t>(static_cast<std::ptrdiff_t>(loneCrs_) + change.loneCrsAdded);
    change.from = start(first);
    if (first <= blocks_.size() / 2) {
        for (std::size_t i = 0; i < first; ++i) {
            change.loneCrsBefore += loneCrs(i);
        }
    } else {
        std::size_t after = 0;
        for (std::size_t i = first; i < blocks_.size(); ++i) {
            after += loneCrs(i);
        }
        change.loneCrsBefore = loneCrs_ - after;
    }
    return change;
}

} // namespace lorimand
