#include "engine/keyfinder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <utility>

#include "engine/charset.h"
#include "engine/generator.h"
#include "engine/keyshift.h"

namespace lorimand {
namespace {

// ---- The model of written text ---------------------------------------------------------
//
// A byte's score is log2 of its probability in text a person wrote in a Latin-script
// language, in Windows-1252 or UTF-8, plus log2 of how much likelier (or less likely)
// it is after the byte before than alone. Code 0 is left out: every shift keeps it.

// Letter frequencies in percent of the letters of running text, as published in
// the Wikipedia article "Letter frequency" (rounded; accented letters as Windows-1252
// codes). The model takes their mean, so that no language is preferred.
struct LanguageLetters
{
    std::array<double, 26> az;
    std::vector<std::pair<unsigned char, double>> accented;
};

const std::array<LanguageLetters, 7> &languages()
{
    static const std::array<LanguageLetters, 7> table{{
        // English
        {{8.167, 1.492, 2.782, 4.253, 12.702, 2.228, 2.015, 6.094, 6.966,
          0.153, 0.772, 4.025, 2.406, 6.749,  7.507, 1.929, 0.095, 5.987,
          6.327, 9.056, 2.758, 0.978, 2.360,  0.150, 1.974, 0.074},
         {}},
        // German
        {{6.516, 1.886, 2.732, 5.076, 16.396, 1.656, 3.009, 4.577, 6.550,
          0.268, 1.417, 3.437, 2.534, 9.776,  2.594, 0.670, 0.018, 7.003,
          7.270, 6.154, 4.166, 0.846, 1.921,  0.034, 0.039, 1.134},
         {{0xE4, 0.578}, {0xF6, 0.443}, {0xFC, 0.995}, {0xDF, 0.307}}},
        // French
        {{7.636, 0.901, 3.260, 3.669, 14.715, 1.066, 0.866, 0.737, 7.529,
          0.613, 0.074, 5.456, 2.968, 7.095,  5.796, 2.521, 1.362, 6.693,
          7.948, 7.244, 6.311, 1.838, 0.049,  0.427, 0.128, 0.326},
         {{0xE0, 0.486},
          {0xE2, 0.051},
          {0xE7, 0.085},
          {0xE8, 0.271},
          {0xE9, 1.504},
          {0xEA, 0.218},
          {0xEB, 0.008},
          {0xEE, 0.045},
          {0xEF, 0.005},
          {0xF4, 0.023},
          {0xF9, 0.058},
          {0xFB, 0.060},
          {0x9C, 0.018}}},
        // Spanish
        {{11.525, 2.215, 4.019, 5.010, 12.181, 0.692, 1.768, 0.703, 6.247,
          0.493,  0.011, 4.967, 3.157, 6.712,  8.683, 2.510, 0.877, 6.871,
          7.977,  4.632, 2.927, 1.138, 0.017,  0.215, 1.008, 0.467},
         {{0xE1, 0.502},
          {0xE9, 0.433},
          {0xED, 0.725},
          {0xF1, 0.311},
          {0xF3, 0.827},
          {0xFA, 0.168},
          {0xFC, 0.012}}},
        // Italian
        {{11.745, 0.927, 4.501, 3.736, 11.792, 1.153, 1.644, 0.636, 10.143,
          0.011,  0.009, 6.510, 2.512, 6.883,  9.832, 3.056, 0.505, 6.367,
          4.981,  5.623, 3.011, 2.097, 0.033,  0.003, 0.020, 1.181},
         {{0xE0, 0.635}, {0xE8, 0.263}, {0xEC, 0.030}, {0xF2, 0.002}, {0xF9, 0.166}}},
        // Dutch
        {{7.486, 1.584, 1.242, 5.933, 18.910, 0.805, 3.403, 2.380, 6.499,
          1.460, 2.248, 3.568, 2.213, 10.032, 6.063, 1.570, 0.009, 6.411,
          3.730, 6.790, 1.990, 2.850, 1.520,  0.036, 0.035, 1.390},
         {}},
        // Portuguese
        {{14.634, 1.043, 3.882, 4.992, 12.570, 1.023, 1.303, 0.781, 6.186,
          0.397,  0.015, 2.779, 4.738, 4.446,  9.735, 2.523, 1.204, 6.530,
          6.805,  4.336, 3.639, 1.575, 0.037,  0.253, 0.006, 0.470},
         {{0xE0, 0.072},
          {0xE2, 0.562},
          {0xE1, 0.118},
          {0xE3, 0.733},
          {0xE7, 0.530},
          {0xE9, 0.337},
          {0xEA, 0.450},
          {0xED, 0.132},
          {0xF3, 0.296},
          {0xF4, 0.635},
          {0xF5, 0.040},
          {0xFA, 0.207}}},
    }};
    return table;
}

// The most frequent letter pairs of each language, as published: for English,
// Norvig, "English Letter Frequency Counts: Mayzner Revisited" (2013); for the
// others, the digram counts of classical cryptanalysis (the tables reprinted in
// Wikipedia's "Bigram" and "Letter frequency" articles and their sources).
constexpr std::array<std::string_view, 7> kCommonPairs{
    // English
    "th he in er an re on at en nd ti es or te of ed is it al ar st to nt ng se ha as ou io le ve "
    "co me de hi ri ro ic ne ea ra ce li ch ll be ma si om ur",
    // German
    "er en ch de ei nd te in ie ge un es st ne be re he an au ng se it di ic sc le da ns is hr ht "
    "ar ra",
    // French
    "es le de en re nt on er te el an se et la ai it me ou em ie ur qu ce ne co ns ta ti ue is",
    // Spanish
    "de es en el la os ue ar ra re er as on st ad al or ta co se ci nt do an ca",
    // Italian
    "er re on di ra el to en la te an co ar in ta ti at ri al ne no ch zi io ll",
    // Dutch
    "en de er an ee te in ge aa et nd oo ij ie ar st ch el ve be he ng ed",
    // Portuguese
    "de os es ra do ar te co qu ue en re nt er ad as da ao ta se ma",
};

// How much likelier a common letter pair is than its letters alone, in bits.
constexpr double kCommonPairBonus = 1.5;
// What a control code (other than tab, LF and CR) scores: plain text hardly holds one.
constexpr double kControlBits = -20.0;

[[nodiscard]] bool isControl(unsigned c) noexcept
{
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F || c == 0x81 ||
           c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

// A letter of the 8-bit set other than ASCII: À..ÿ less × and ÷, and the few in 0x80..0x9F.
[[nodiscard]] bool isHighLetter(unsigned c) noexcept
{
    return (c >= 0xC0 && c != 0xD7 && c != 0xF7) || c == 0x8A || c == 0x8C || c == 0x8E ||
           c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}

enum class Kind : unsigned char
{
    Lower,
    Upper,
    Space,
    Digit,
    EndMark, // . , ; : ! ?
    LineEnd,
    Other
};

[[nodiscard]] Kind kindOf(unsigned c) noexcept
{
    if (c >= 'a' && c <= 'z') {
        return Kind::Lower;
    }
    if (c >= 'A' && c <= 'Z') {
        return Kind::Upper;
    }
    if (isHighLetter(c)) {
        return charset::toLower(static_cast<unsigned char>(c)) == c ? Kind::Lower : Kind::Upper;
    }
    switch (c) {
    case ' ':
        return Kind::Space;
    case '.':
    case ',':
    case ';':
    case ':':
    case '!':
    case '?':
        return Kind::EndMark;
    case '\n':
    case '\r':
        return Kind::LineEnd;
    default:
        return c >= '0' && c <= '9' ? Kind::Digit : Kind::Other;
    }
}

struct Model
{
    std::array<float, 256> single{};                 // log2 probability of each byte
    std::array<std::array<float, 256>, 256> after{}; // [previous][byte]: bits added
};

// The probabilities of single bytes, before they are made to sum to 1.
std::array<double, 256> byteWeights()
{
    std::array<double, 256> weight{};
    // Mean letter frequencies over the languages, each language's letters summing to 1.
    std::array<double, 256> letter{};
    for (const LanguageLetters &language : languages()) {
        double sum = std::accumulate(language.az.begin(), language.az.end(), 0.0);
        for (const auto &entry : language.accented) {
            sum += entry.second;
        }
        for (std::size_t i = 0; i < 26; ++i) {
            letter['a' + i] += language.az[i] / sum / static_cast<double>(languages().size());
        }
        for (const auto &[code, share] : language.accented) {
            letter[code] += share / sum / static_cast<double>(languages().size());
        }
    }
    constexpr double kLetters = 0.78;  // of all bytes
    constexpr double kCapitals = 0.04; // of the letters
    constexpr double kUtf8Share = 0.5; // accented letters written as UTF-8
    for (unsigned c = 0; c < 256; ++c) {
        if (letter[c] == 0.0) {
            continue;
        }
        const double lower = letter[c] * kLetters * (1.0 - kCapitals);
        const double upper = letter[c] * kLetters * kCapitals;
        const unsigned capital = charset::toUpper(static_cast<unsigned char>(c));
        if (c < 0x80) {
            weight[c] += lower;
            weight[capital] += upper;
            continue;
        }
        // As one Windows-1252 byte, or as UTF-8: the lead byte and a continuation byte.
        weight[c] += lower * (1.0 - kUtf8Share);
        weight[capital] += upper * (1.0 - kUtf8Share);
        if (c >= 0xC0) {
            weight[0xC3] += (lower + upper) * kUtf8Share;
            weight[c - 0x40] += lower * kUtf8Share;
            weight[capital - 0x40] += upper * kUtf8Share;
        }
    }
    weight[' '] += 0.16;
    const std::array<std::pair<unsigned char, double>, 22> marks{{
        {'.', 0.009},
        {',', 0.009},
        {'\'', 0.002},
        {'"', 0.001},
        {'-', 0.002},
        {'?', 0.0007},
        {'!', 0.0005},
        {':', 0.0005},
        {';', 0.0003},
        {'(', 0.0003},
        {')', 0.0003},
        {'\n', 0.008},
        {'\r', 0.004},
        {'\t', 0.0005},
        // Typographic quotes and dashes: Windows-1252 codes, and the UTF-8 bytes
        // E2 80 xx of the same characters (0x80 is also the euro sign).
        {0x92, 0.0005},
        {0x93, 0.0002},
        {0x94, 0.0002},
        {0x96, 0.0002},
        {0xAB, 0.0002},
        {0xBB, 0.0002},
        {0xE2, 0.0005},
        {0x80, 0.0005},
    }};
    for (const auto &[code, share] : marks) {
        weight[code] += share;
    }
    for (unsigned c = 0; c < 256; ++c) {
        if (c >= '0' && c <= '9') {
            weight[c] += 0.0008;
        } else if (isControl(c)) {
            weight[c] = 0.0;
        } else {
            // Every other character a text may hold: rare, never impossible.
            weight[c] += c < 0x80 ? 0.00005 : 0.00002;
        }
    }
    return weight;
}

[[nodiscard]] double pairBits(unsigned previous, unsigned c,
                              const std::array<bool, 26 * 26> &common)
{
    // UTF-8: a lead byte wants a continuation byte, and nothing else.
    const bool continuation = c >= 0x80 && c < 0xC0;
    if (previous >= 0xC2 && previous < 0xF0) {
        if (continuation) {
            return 3.0;
        }
        if (previous <= 0xC3) {
            return -3.0;
        }
    }
    const Kind a = kindOf(previous);
    const Kind b = kindOf(c);
    if (a == Kind::Lower && b == Kind::Lower) {
        if (previous < 0x80 && c < 0x80 && common[(previous - 'a') * 26 + (c - 'a')]) {
            return kCommonPairBonus;
        }
        return 0.0;
    }
    if (a == Kind::Lower && b == Kind::Upper) {
        return -4.0;
    }
    if ((a == Kind::Lower || a == Kind::Upper) && b == Kind::Digit) {
        return -3.0;
    }
    if (a == Kind::Digit && (b == Kind::Lower || b == Kind::Upper)) {
        return -3.0;
    }
    if (a == Kind::Upper && b == Kind::Lower) {
        return 1.0;
    }
    if (a == Kind::Space) {
        if (b == Kind::Space) {
            return -3.0;
        }
        if (b == Kind::EndMark) {
            return -3.0;
        }
        if (b == Kind::Lower || b == Kind::Upper) {
            return 0.5;
        }
    }
    if ((a == Kind::Lower || a == Kind::Upper) && b == Kind::Space) {
        return 0.5;
    }
    if (a == Kind::EndMark) {
        if (b == Kind::Space || b == Kind::LineEnd) {
            return 1.0;
        }
        if (b == Kind::Lower || b == Kind::Upper) {
            return -2.0;
        }
    }
    if (previous == '\r') {
        return c == '\n' ? 3.0 : -2.0;
    }
    return 0.0;
}

Model buildModel()
{
    Model model;
    const std::array<double, 256> weight = byteWeights();
    const double total = std::accumulate(weight.begin(), weight.end(), 0.0);
    for (unsigned c = 0; c < 256; ++c) {
        model.single[c] = weight[c] > 0.0 ? static_cast<float>(std::log2(weight[c] / total))
                                          : float{kControlBits};
    }
    std::array<bool, 26 * 26> common{};
    for (const std::string_view pairs : kCommonPairs) {
        for (std::size_t i = 0; i + 1 < pairs.size(); i += 3) {
            common[static_cast<std::size_t>(pairs[i] - 'a') * 26 +
                   static_cast<std::size_t>(pairs[i + 1] - 'a')] = true;
        }
    }
    for (unsigned a = 0; a < 256; ++a) {
        for (unsigned b = 0; b < 256; ++b) {
            model.after[a][b] = static_cast<float>(pairBits(a, b, common));
        }
    }
    return model;
}

const Model &model()
{
    static const Model built = buildModel();
    return built;
}

// The bytes and byte pairs of a sample, counted once for every candidate.
struct Counts
{
    std::array<std::uint64_t, 256> bytes{};
    std::vector<std::pair<std::uint16_t, std::uint32_t>> pairs; // (previous << 8 | byte, count)
    std::size_t total = 0;
};

Counts countSample(std::span<const std::string_view> pieces)
{
    Counts counts;
    std::vector<std::uint32_t> pairCounts(std::size_t{1} << 16);
    for (const std::string_view piece : pieces) {
        unsigned previous = 0;
        for (const char ch : piece) {
            const auto c = static_cast<unsigned char>(ch);
            ++counts.bytes[c];
            // A pair with code 0 in it says nothing: code 0 decodes to itself.
            if (previous != 0 && c != 0) {
                ++pairCounts[previous << 8 | c];
            }
            previous = c;
        }
        counts.total += piece.size();
    }
    counts.total -= counts.bytes[0];
    for (std::size_t i = 0; i < pairCounts.size(); ++i) {
        if (pairCounts[i] != 0) {
            counts.pairs.emplace_back(static_cast<std::uint16_t>(i), pairCounts[i]);
        }
    }
    return counts;
}

// The bits of the whole sample decoded through `decode`, a byte for every byte.
[[nodiscard]] double countsBits(const Counts &counts, const std::array<unsigned char, 256> &decode)
{
    const Model &m = model();
    double bits = 0.0;
    for (unsigned c = 1; c < 256; ++c) {
        if (counts.bytes[c] != 0) {
            bits += static_cast<double>(counts.bytes[c]) * m.single[decode[c]];
        }
    }
    for (const auto &[pair, count] : counts.pairs) {
        bits += static_cast<double>(count) * m.after[decode[pair >> 8]][decode[pair & 0xFF]];
    }
    return bits;
}

[[nodiscard]] double perByte(double bits, std::size_t bytes)
{
    return bytes == 0 ? 0.0 : bits / static_cast<double>(bytes);
}

} // namespace

std::vector<SampleRange> rankingSample(std::size_t size)
{
    if (size <= kRankingSampleBytes) {
        return {SampleRange{0, size}};
    }
    constexpr std::size_t kPieces = 16;
    constexpr std::size_t kPiece = kRankingSampleBytes / kPieces;
    std::vector<SampleRange> pieces;
    pieces.reserve(kPieces);
    // The first piece at the start, the last at the end.
    const std::size_t room = size - kPiece;
    for (std::size_t i = 0; i < kPieces; ++i) {
        pieces.push_back({room * i / (kPieces - 1), kPiece});
    }
    return pieces;
}

double textScore(std::string_view text)
{
    std::array<unsigned char, 256> same{};
    std::iota(same.begin(), same.end(), static_cast<unsigned char>(0));
    const Counts counts = countSample(std::span<const std::string_view>(&text, 1));
    return perByte(countsBits(counts, same), counts.total);
}

// The pieces of a text that its sample names.
std::vector<std::string_view> samplePieces(std::string_view text)
{
    std::vector<std::string_view> pieces;
    for (const SampleRange &range : rankingSample(text.size())) {
        pieces.push_back(text.substr(range.offset, range.length));
    }
    return pieces;
}

Ranking<ShiftCandidate> rankShifts(std::string_view encoded)
{
    return rankShifts(samplePieces(encoded));
}

Ranking<TableCandidate> rankTables(std::string_view encoded, std::span<const CodeTables> tables)
{
    return rankTables(samplePieces(encoded), tables);
}

Ranking<ShiftCandidate> rankShifts(std::span<const std::string_view> sample)
{
    const Counts counts = countSample(sample);
    Ranking<ShiftCandidate> ranking;
    ranking.sampled = counts.total;
    ranking.candidates.reserve(255);
    std::array<unsigned char, 256> decode{};
    for (int shift = 1; shift <= 255; ++shift) {
        for (unsigned c = 1; c < 256; ++c) {
            // The decode rule of the cipher: c - shift, plus 255 below 1.
            const int plain = static_cast<int>(c) - shift;
            decode[c] = static_cast<unsigned char>(plain >= 1 ? plain : plain + 255);
        }
        ranking.candidates.push_back({shift, perByte(countsBits(counts, decode), counts.total)});
    }
    std::stable_sort(
        ranking.candidates.begin(), ranking.candidates.end(),
        [](const ShiftCandidate &a, const ShiftCandidate &b) { return a.score > b.score; });
    return ranking;
}

Ranking<TableCandidate> rankTables(std::span<const std::string_view> sample,
                                   std::span<const CodeTables> tables)
{
    Ranking<TableCandidate> ranking;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        for (const Direction direction : {Direction::Decode, Direction::Encode}) {
            // A table whose two sides are the same decodes alike either way: listed once.
            if (direction == Direction::Encode && tables[i].encodeTable == tables[i].decodeTable) {
                continue;
            }
            const CodeTable &table =
                direction == Direction::Decode ? tables[i].decodeTable : tables[i].encodeTable;
            std::vector<std::string> decoded;
            decoded.reserve(sample.size());
            for (const std::string_view piece : sample) {
                decoded.push_back(translateThroughTable(piece, table));
            }
            const std::vector<std::string_view> pieces(decoded.begin(), decoded.end());
            const Counts counts = countSample(pieces);
            std::array<unsigned char, 256> same{};
            std::iota(same.begin(), same.end(), static_cast<unsigned char>(0));
            ranking.sampled = std::max(ranking.sampled, counts.total);
            ranking.candidates.push_back(
                {i, direction, perByte(countsBits(counts, same), counts.total)});
        }
    }
    std::stable_sort(
        ranking.candidates.begin(), ranking.candidates.end(),
        [](const TableCandidate &a, const TableCandidate &b) { return a.score > b.score; });
    return ranking;
}

namespace {

// The characters keys are made of, in the order they are preferred.
std::string asciiKeyCharacters()
{
    std::string characters;
    for (char c = 'a'; c <= 'z'; ++c) {
        characters += c;
    }
    for (char c = 'A'; c <= 'Z'; ++c) {
        characters += c;
    }
    for (char c = '0'; c <= '9'; ++c) {
        characters += c;
    }
    return characters;
}

std::array<std::string, 256> buildKeyTable()
{
    // A key's shift depends only on its first code and its seed, the sum of what
    // each character adds (exact in single precision for keys this short), so the
    // rest of a key is looked for by its sum: the first string of each sum. The
    // highest shifts need a seed of several thousand, so a key of a dozen characters.
    const std::string ascii = asciiKeyCharacters();
    // rests[length][sum]: the first string of that length and sum, or empty.
    std::vector<std::vector<std::string>> rests{{std::string()}};
    int largest = 0;
    for (const char c : ascii) {
        largest = std::max(largest, keyContribution(static_cast<unsigned char>(c)));
    }
    const auto restsOf = [&](std::size_t length) -> const std::vector<std::string> & {
        while (rests.size() <= length) {
            const std::vector<std::string> &shorter = rests.back();
            std::vector<std::string> longer(shorter.size() + static_cast<std::size_t>(largest));
            for (std::size_t sum = 0; sum < shorter.size(); ++sum) {
                if (shorter[sum].empty() && rests.size() > 1) {
                    continue;
                }
                for (const char c : ascii) {
                    std::string &slot = longer[sum + static_cast<std::size_t>(keyContribution(
                                                         static_cast<unsigned char>(c)))];
                    if (slot.empty()) {
                        slot = shorter[sum] + c;
                    }
                }
            }
            rests.push_back(std::move(longer));
        }
        return rests[length];
    };
    // A shift above 'z' needs a first code at least as high: a letter of the 8-bit set.
    std::string highLetters;
    for (unsigned c = 0xC0; c <= 0xFF; ++c) {
        if (isHighLetter(c)) {
            highLetters += static_cast<char>(c);
        }
    }
    // ASCII keys reach shifts up to the highest first code, 'z'; the letters of
    // the 8-bit set all the rest.
    struct Pass
    {
        const std::string &firsts;
        std::size_t longestRest;
        std::size_t highestShift;
    };
    std::array<std::string, 256> keys;
    const auto allFound = [&keys](std::size_t highest) {
        return std::all_of(keys.begin() + 1,
                           keys.begin() + static_cast<std::ptrdiff_t>(highest) + 1,
                           [](const std::string &key) { return !key.empty(); });
    };
    RuntimeGenerator generator;
    std::string key; // reused: a million keys are tried
    for (const Pass &pass : {Pass{ascii, 8, 'z'}, Pass{highLetters, 12, 255}}) {
        for (std::size_t length = 0; length <= pass.longestRest && !allFound(pass.highestShift);
             ++length) {
            for (const char first : pass.firsts) {
                for (const std::string &rest : restsOf(length)) {
                    if (rest.empty() && length > 0) {
                        continue;
                    }
                    key.assign(1, first);
                    key += rest;
                    const int shift = shiftForKey(key, generator);
                    if (shift >= 1 && shift <= 255 &&
                        keys[static_cast<std::size_t>(shift)].empty()) {
                        keys[static_cast<std::size_t>(shift)] = key;
                    }
                }
            }
        }
    }
    return keys;
}

} // namespace

const std::string &keyForShift(int shift)
{
    static const std::array<std::string, 256> keys = buildKeyTable();
    return keys[shift >= 1 && shift <= 255 ? static_cast<std::size_t>(shift) : 0];
}

} // namespace lorimand
