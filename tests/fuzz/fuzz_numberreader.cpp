// The number reader on any text: a text holding one number alone reads as that
// number; the number before an "=" (a code-table entry's left side) ends there;
// rounding to 32 bits gives the nearest whole number, halves to the even one, or
// nothing when that does not fit.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "engine/numberreader.h"
#include "fuzzinput.h"

using lorimand::fuzz::require;

namespace {

bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

void checkRounding(double value)
{
    const std::optional<std::int32_t> rounded = lorimand::roundToInt32(value);
    // The default floating-point environment rounds to nearest, ties to even.
    const double nearest = std::nearbyint(value);
    const bool fits = std::isfinite(value) && nearest >= -2147483648.0 && nearest <= 2147483647.0;
    require(rounded.has_value() == fits, "a rounded value is given exactly when it fits");
    if (rounded) {
        require(static_cast<double>(*rounded) == nearest, "rounding gives the nearest, ties even");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    lorimand::fuzz::FuzzInput input(data, size);
    // Any double at all, NaNs and infinities included, for the rounding alone.
    double bits = 0;
    const std::string_view raw = input.text(sizeof bits);
    std::memcpy(&bits, raw.data(), raw.size());
    checkRounding(bits);

    const std::string_view text = input.rest();
    const double value = lorimand::readNumber(text);
    checkRounding(value);
    if (const std::optional<double> whole = lorimand::readWholeText(text)) {
        require(same(*whole, value), "a text holding one number reads as that number");
    }
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos) {
        require(same(lorimand::readNumber(text.substr(0, equals)), value),
                "an \"=\" ends the number before it");
    }
    return 0;
}
