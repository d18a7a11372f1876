// What the fuzz targets share: the input taken apart piece by piece, and the way a
// target reports a property that does not hold (an abort, which libFuzzer records
// as a crash and saves the input for).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace lorimand::fuzz {

inline void require(bool holds, const char *property)
{
    if (!holds) {
        std::fprintf(stderr, "property does not hold: %s\n", property);
        std::abort();
    }
}

// The fuzzer's bytes, consumed from the front; an exhausted input gives zeros and
// empty texts, so every input is a valid case.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size)
        : bytes_(reinterpret_cast<const char *>(data), size)
    {
    }

    [[nodiscard]] unsigned char byte()
    {
        if (bytes_.empty()) {
            return 0;
        }
        const auto value = static_cast<unsigned char>(bytes_.front());
        bytes_.remove_prefix(1);
        return value;
    }

    [[nodiscard]] std::string_view text(std::size_t length)
    {
        const std::string_view taken = bytes_.substr(0, std::min(length, bytes_.size()));
        bytes_.remove_prefix(taken.size());
        return taken;
    }

    // A text whose length is the next byte.
    [[nodiscard]] std::string_view shortText() { return text(byte()); }

    [[nodiscard]] std::string_view rest()
    {
        const std::string_view taken = bytes_;
        bytes_ = {};
        return taken;
    }

private:
    std::string_view bytes_;
};

} // namespace lorimand::fuzz
