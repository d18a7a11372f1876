// Translation in both modes on any text: decoding what a key encoded gives the
// text back, for every key; so does a code table that gives every code its own
// entry, and any table keeps the text's length. Any table, one-to-one or not, translates a stream
// of blocks of any sizes exactly as it translates the whole text at once.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/codetable.h"
#include "engine/generator.h"
#include "engine/translation.h"
#include "fuzzinput.h"

using lorimand::Direction;
using lorimand::Translation;
using lorimand::fuzz::FuzzInput;
using lorimand::fuzz::require;

namespace {

// The text in blocks of the given length (the last one shorter), through the
// stream form of a fresh translation.
std::string inBlocks(Translation translation, std::string_view text, std::size_t blockLength)
{
    std::string result;
    std::vector<char> block;
    for (std::size_t at = 0; at < text.size(); at += blockLength) {
        const std::string_view piece = text.substr(at, blockLength);
        block.assign(piece.begin(), piece.end());
        translation.applyToBlock(block);
        result.append(block.begin(), block.end());
    }
    translation.finish();
    return result;
}

void checkBlocks(const Translation &translation, std::string_view text, std::size_t blockLength)
{
    Translation whole = translation;
    require(inBlocks(translation, text, blockLength) == whole.apply(text),
            "a stream of blocks translates as the whole text does");
}

void checkKey(FuzzInput &input)
{
    const std::string_view key = input.shortText();
    const std::size_t blockLength = 1 + input.byte();
    const std::string_view text = input.rest();
    lorimand::RuntimeGenerator generator;
    std::optional<Translation> encode = Translation::forKey(key, Direction::Encode, generator);
    std::optional<Translation> decode = Translation::forKey(key, Direction::Decode, generator);
    require(encode && decode, "the generator passes its self-test");
    checkBlocks(*encode, text, blockLength);
    const std::string encoded = encode->apply(text);
    require(encoded.size() == text.size(), "a key keeps the length");
    require(decode->apply(encoded) == text, "decoding with the key gives the text back");
}

void checkTable(FuzzInput &input)
{
    lorimand::CodeTables tables;
    const bool oneToOne = (input.byte() & 1) != 0;
    if (oneToOne) {
        // Every code gets its own entry: a shuffle of all 256 codes.
        std::vector<std::int16_t> codes(256);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            codes[i] = static_cast<std::int16_t>(i);
        }
        for (std::size_t i = codes.size() - 1; i > 0; --i) {
            std::swap(codes[i], codes[input.byte() % (i + 1)]);
        }
        for (std::size_t n = 0; n < codes.size(); ++n) {
            tables.encodeTable[n] = codes[n];
            tables.decodeTable[static_cast<std::size_t>(codes[n])] = static_cast<std::int16_t>(n);
        }
    } else {
        // Entries as a file gives them, in order: any codes, a later entry winning.
        const unsigned char entries = input.byte();
        for (unsigned i = 0; i < entries; ++i) {
            const unsigned char n = input.byte();
            const unsigned char m = input.byte();
            tables.encodeTable[n] = m;
            tables.decodeTable[m] = n;
        }
    }
    const std::size_t blockLength = 1 + input.byte();
    const std::string_view text = input.rest();
    const Translation encode = Translation::forTables(tables, Direction::Encode);
    const Translation decode = Translation::forTables(tables, Direction::Decode);
    checkBlocks(encode, text, blockLength);
    checkBlocks(decode, text, blockLength);
    Translation encodeLength = encode;
    require(encodeLength.apply(text).size() == text.size(), "a table keeps the length");
    if (oneToOne) {
        Translation encodeWhole = encode;
        Translation decodeWhole = decode;
        require(decodeWhole.apply(encodeWhole.apply(text)) == text,
                "decoding through a one-to-one table gives the text back");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    if ((input.byte() & 1) == 0) {
        checkKey(input);
    } else {
        checkTable(input);
    }
    return 0;
}
