// Reading and rewriting the settings file, on any old file and any state the
// window can write: every line starting with ";" (a line no setting can claim)
// survives the rewrite unchanged and in order; rewriting the result again gives
// the same file, and a second rewrite with another state gives what a single one
// with that state gives; what is written reads back as the state written.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/lines.h"
#include "fuzzinput.h"
#include "startup/settings.h"

using lorimand::CurrentSettings;
using lorimand::fuzz::FuzzInput;
using lorimand::fuzz::require;

namespace {

// A text the window can store: it never holds a line break.
std::string storable(std::string_view text)
{
    std::string kept;
    for (const char c : text) {
        if (c != '\r' && c != '\n') {
            kept += c;
        }
    }
    return kept;
}

float takeFloat(FuzzInput &input)
{
    float value = 0;
    const std::string_view bits = input.text(sizeof value);
    std::memcpy(&value, bits.data(), bits.size());
    return std::isfinite(value) ? value : 0.0f;
}

CurrentSettings takeSettings(FuzzInput &input)
{
    CurrentSettings settings;
    settings.key = storable(input.shortText());
    settings.maskKey = input.byte() % 3;
    settings.autoUpdate = input.byte() % 3;
    settings.useCustom = (input.byte() & 1) != 0;
    settings.codeTableName = storable(input.shortText());
    settings.geometry = {takeFloat(input), takeFloat(input), takeFloat(input), takeFloat(input)};
    return settings;
}

std::vector<std::string_view> commentLines(std::string_view file)
{
    std::vector<std::string_view> comments;
    for (const std::string_view line : lorimand::splitRecordLines(file)) {
        if (line.starts_with(';')) {
            comments.push_back(line);
        }
    }
    return comments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const CurrentSettings first = takeSettings(input);
    const CurrentSettings second = takeSettings(input);
    const std::string_view old = input.rest();

    const std::string rewritten = lorimand::rewriteSettings(old, first);
    require(commentLines(rewritten) == commentLines(old),
            "every foreign line survives the rewrite unchanged and in order");
    require(lorimand::rewriteSettings(rewritten, first) == rewritten,
            "rewriting twice gives the same file");
    require(lorimand::rewriteSettings(rewritten, second) == lorimand::rewriteSettings(old, second),
            "the last rewrite decides the file");

    const lorimand::StoredSettings read = lorimand::readSettings(rewritten);
    require(read.key == first.key, "the key reads back");
    require(read.maskKey == first.maskKey, "the mask state reads back");
    require(read.autoUpdate == first.autoUpdate, "the automatic-update state reads back");
    require(read.useCustom == first.useCustom, "the mode reads back");
    require(read.codeTableName == first.codeTableName, "the code table reads back");
    require(read.geometry == first.geometry, "the window geometry reads back");
    return 0;
}
