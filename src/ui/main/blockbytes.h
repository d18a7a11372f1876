// Where the bytes of a text area lie: how many bytes each block of its document
// stands for (the line break or nothing before it, and its characters), and how
// many lone CRs (CRs that no LF follows) among them. With it the area names a
// change of its text in bytes, and finds the blocks that hold given bytes,
// without reading the whole text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace lorimand {

// A change of a text in bytes: bytes [from, from + removed) of the text before
// became [from, from + added) now. The lone CRs are those of the whole text
// now before `from`, and how many more it holds than before (fewer when
// negative): the table's line-break rule drops them.
struct ByteChange
{
    std::size_t from = 0;
    std::size_t removed = 0;
    std::size_t added = 0;
    std::size_t loneCrsBefore = 0;
    std::ptrdiff_t loneCrsAdded = 0;
};

class BlockBytes
{
public:
    struct Block
    {
        std::uint32_t bytes = 0;
        std::uint32_t ownLoneCrs = 0; // a CR at the block's end counted, whatever follows
        bool endsWithCr = false;
        bool startsWithLf = false;
        bool crMeetsLf = false; // the CR at its end is followed by an LF after all
    };

    // The count of one block from the bytes it stands for.
    [[nodiscard]] static Block measure(std::string_view bytes) noexcept;

    // One empty block.
    BlockBytes();
    explicit BlockBytes(std::vector<Block> blocks);

    [[nodiscard]] std::size_t blockCount() const noexcept { return blocks_.size(); }
    [[nodiscard]] std::size_t size() const noexcept { return bytes_; }
    [[nodiscard]] std::size_t loneCrs() const noexcept { return loneCrs_; }
    [[nodiscard]] const Block &block(std::size_t number) const { return blocks_[number]; }
    // Where block `number` starts in the bytes.
    [[nodiscard]] std::size_t start(std::size_t number) const noexcept;
    // The block that holds byte `offset` (the last block for the end) and where it starts.
    [[nodiscard]] std::pair<std::size_t, std::size_t> locate(std::size_t offset) const noexcept;

    // Blocks [first, lastBefore] were replaced by `now`, which the document
    // holds as blocks first on.
    [[nodiscard]] ByteChange replace(std::size_t first, std::size_t lastBefore,
                                     std::vector<Block> now);

private:
    [[nodiscard]] std::uint32_t loneCrs(std::size_t number) const noexcept;
    // Settles whether the CR that ends block `number` meets an LF.
    void settle(std::size_t number) noexcept;

    std::vector<Block> blocks_;
    std::size_t bytes_ = 0;
    std::size_t loneCrs_ = 0;
};

} // namespace lorimand
