// Finding the key of an encoded text: every shift (or every code table and
// direction) is scored by how much its decoding looks like text a person wrote,
// best first, and a short key is found that gives the chosen shift. The key-shift
// cipher has only 255 shifts, which is why it hides a text only from a casual reader.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codetable.h"
#include "engine/direction.h"

namespace lorimand {

// The most bytes a text is scored on; a longer text is scored on pieces spread
// over all of it, so that a text of any size ranks in the same time.
inline constexpr std::size_t kRankingSampleBytes = std::size_t{64} * 1024;

struct ShiftCandidate
{
    int shift = 0;
    // Bits per byte of the decoding under the model of written text (0 or less;
    // higher is likelier).
    double score = 0.0;
};

struct TableCandidate
{
    std::size_t table = 0; // index into the tables ranked
    Direction direction = Direction::Decode;
    double score = 0.0;
};

template <typename Candidate> struct Ranking
{
    std::vector<Candidate> candidates; // best first
    std::size_t sampled = 0;           // the bytes scored

    // Whether the best candidate is far likelier than the next: its decoding is
    // at least 2^kClearMargin times as likely as a whole.
    [[nodiscard]] bool clearlyAhead() const noexcept
    {
        if (candidates.empty()) {
            return false;
        }
        if (candidates.size() == 1) {
            return true;
        }
        const double margin =
            (candidates[0].score - candidates[1].score) * static_cast<double>(sampled);
        return margin >= kClearMargin;
    }
    static constexpr double kClearMargin = 24.0;
};

// The score of a text as it stands: bits per byte under the model of written text.
[[nodiscard]] double textScore(std::string_view text);

// A stretch of a text that is scored.
struct SampleRange
{
    std::size_t offset = 0;
    std::size_t length = 0;
};

// The bytes scored of a text of `size` bytes: all of them up to
// kRankingSampleBytes, otherwise pieces spread evenly over the text from its start
// to its end, that many bytes in all. A caller that holds the text elsewhere reads
// only these.
[[nodiscard]] std::vector<SampleRange> rankingSample(std::size_t size);

// All 255 shifts, best first; equal scores in the order of the shift. The text is
// scored on its sample; the second form takes the sample's pieces themselves.
[[nodiscard]] Ranking<ShiftCandidate> rankShifts(std::string_view encoded);
[[nodiscard]] Ranking<ShiftCandidate> rankShifts(std::span<const std::string_view> sample);

// Every table in both directions (once when its two sides are the same), best
// first; equal scores keep the tables' order.
[[nodiscard]] Ranking<TableCandidate> rankTables(std::string_view encoded,
                                                 std::span<const CodeTables> tables);
[[nodiscard]] Ranking<TableCandidate> rankTables(std::span<const std::string_view> sample,
                                                 std::span<const CodeTables> tables);

// A short key of printable characters that gives the shift (1 to 255) through the
// program's generator: letters and digits of ASCII where they can, else starting
// with a letter of the 8-bit set, since a key's shift never exceeds its first code.
// Empty for a shift outside 1..255.
[[nodiscard]] const std::string &keyForShift(int shift);

} // namespace lorimand
