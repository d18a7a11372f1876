#include "startup/settings.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "engine/charset.h"
#include "engine/keyshift.h"
#include "engine/lines.h"
#include "engine/numberreader.h"

namespace lorimand {

namespace {

// The settings, in the order a rewrite appends the missing ones.
enum Setting : std::size_t
{
    Key,
    MaskKey,
    AutoUpdate,
    CodeType,
    CustCode,
    WindowPos,
    TextCharset,
    AskBeforeDiscarding,
    LastFolder,
    SettingCount
};

// Each setting's name as the rewrite writes it. A line names a setting when it
// starts with the name, in any letter case, followed by "=".
constexpr std::array<std::string_view, SettingCount> kNames = {
    "key",       "MaskKey",     "AutoUpdate",          "CodeType",  "CustCode",
    "WindowPos", "TextCharset", "AskBeforeDiscarding", "LastFolder"};

constexpr std::string_view kUtf8 = "UTF-8";
constexpr std::string_view kWindows1252 = "Windows-1252";

struct SettingLine
{
    Setting setting = SettingCount;
    std::string_view value; // the text after "="
};

SettingLine settingOf(std::string_view line)
{
    for (std::size_t setting = 0; setting < SettingCount; ++setting) {
        const std::string_view name = kNames[setting];
        if (line.size() <= name.size() || line[name.size()] != '=') {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; same && i < name.size(); ++i) {
            same = charset::toLower(static_cast<unsigned char>(line[i])) ==
                   charset::toLower(static_cast<unsigned char>(name[i]));
        }
        if (same) {
            return {static_cast<Setting>(setting), line.substr(name.size() + 1)};
        }
    }
    return {};
}

// A check-box state from the text after "=": a whole number 0, 1 or 2, or nothing.
std::optional<int> checkBoxState(std::string_view text)
{
    const std::optional<double> number = readWholeText(text);
    if (!number) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> state = roundToInt32(*number);
    if (!state || *state < 0 || *state > 2) {
        return std::nullopt;
    }
    return *state;
}

// Single precision as the window holds it; a number beyond its range gives 0
// rather than an infinite window.
float toSingle(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
        return 0;
    }
    return static_cast<float>(value);
}

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string settingLine(Setting setting, const CurrentSettings &current)
{
    std::string line(kNames[setting]);
    line += '=';
    switch (setting) {
    case Key:
        return line + current.key;
    case MaskKey:
        return line + std::to_string(current.maskKey);
    case AutoUpdate:
        return line + std::to_string(current.autoUpdate);
    case CodeType:
        return line + (current.useCustom ? "1" : "0");
    case CustCode:
        return line + current.codeTableName;
    case TextCharset:
        return line.append(current.textCharset == charset::TextCharset::Utf8 ? kUtf8
                                                                             : kWindows1252);
    case AskBeforeDiscarding:
        return line + (current.askBeforeDiscarding ? "1" : "0");
    case LastFolder:
        return line + current.lastFolder;
    case WindowPos:
    case SettingCount:
        break;
    }
    const WindowGeometry &g = current.geometry;
    return line + formatGeometryNumber(g.left) + "," + formatGeometryNumber(g.top) + "," +
           formatGeometryNumber(g.width) + "," + formatGeometryNumber(g.height);
}

} // namespace

StoredSettings readSettings(std::string_view fileBytes)
{
    StoredSettings settings;
    for (const std::string_view line : splitRecordLines(fileBytes)) {
        const auto [setting, value] = settingOf(line);
        switch (setting) {
        case Key:
            if (value.size() <= kLongestKey) {
                settings.key = std::string(value);
            } else {
                settings.keyTooLong = true;
            }
            break;
        case MaskKey:
            if (const auto state = checkBoxState(value)) {
                settings.maskKey = state;
            }
            break;
        case AutoUpdate:
            if (const auto state = checkBoxState(value)) {
                settings.autoUpdate = state;
            }
            break;
        case CodeType:
            // Only the exact line selects code tables, and nothing selects the key back.
            if (value == "1") {
                settings.useCustom = true;
            }
            break;
        case CustCode:
            settings.codeTableName = std::string(value);
            break;
        case WindowPos:
            settings.geometry = parseWindowPos(line);
            break;
        case TextCharset: {
            const std::string lower = charset::toLower(value);
            if (lower == charset::toLower(kUtf8)) {
                settings.textCharset = charset::TextCharset::Utf8;
            } else if (lower == charset::toLower(kWindows1252)) {
                settings.textCharset = charset::TextCharset::Windows1252;
            }
            break;
        }
        case AskBeforeDiscarding:
            settings.askBeforeDiscarding = value != "0";
            break;
        case LastFolder:
            settings.lastFolder = std::string(value);
            break;
        case SettingCount:
            break;
        }
    }
    return settings;
}

WindowGeometry parseWindowPos(std::string_view line)
{
    // Positions count from 1 over the whole line. A missing comma sends the reader
    // back to position 1, whose text starts with the name and so reads as 0; the
    // next search from there finds the first comma again.
    const auto numberAt = [line](std::size_t position) {
        if (position - 1 >= line.size()) {
            return 0.0f;
        }
        return toSingle(readNumber(line.substr(position - 1)));
    };
    const auto afterComma = [line](std::size_t position) -> std::size_t {
        const auto comma = line.find(',', position - 1);
        return comma == std::string_view::npos ? 1 : comma + 2;
    };

    WindowGeometry geometry;
    // Position 1 is the first character of the name; the number follows its "=".
    std::size_t position = kNames[WindowPos].size() + 2;
    geometry.left = numberAt(position);
    position = afterComma(position);
    geometry.top = numberAt(position);
    position = afterComma(position);
    geometry.width = numberAt(position);
    position = afterComma(position);
    geometry.height = numberAt(position);
    return geometry;
}

std::string formatGeometryNumber(float value)
{
    // Zero (also a negative zero) and what cannot be a position read back as "0".
    if (value == 0 || !std::isfinite(value)) {
        return "0";
    }
    // Fixed notation, never an exponent: the reader stops at the first character
    // that cannot continue the number, so each number stands alone between commas.
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

bool fitsOnOneLine(std::string_view value)
{
    return value.find_first_of("\r\n") == std::string_view::npos;
}

bool isStorableKey(std::string_view key)
{
    return key.size() <= kLongestKey && fitsOnOneLine(key);
}

std::string rewriteSettings(std::string_view oldFileBytes, const CurrentSettings &current)
{
    // A key or table name that would break its line, or a key the next start would
    // not apply, is not written: the lines the file has for it stay as they are.
    std::array<bool, SettingCount> keepsOldLines{};
    keepsOldLines[Key] = current.keepsKeyLines || !isStorableKey(current.key);
    keepsOldLines[CustCode] = !fitsOnOneLine(current.codeTableName);
    keepsOldLines[LastFolder] = !fitsOnOneLine(current.lastFolder);
    // What is appended when the file has no line for it.
    std::array<bool, SettingCount> appended{};
    appended.fill(true);
    appended[Key] = !keepsOldLines[Key];
    appended[CustCode] = !keepsOldLines[CustCode];
    appended[TextCharset] = current.textCharset != charset::TextCharset::Windows1252;
    appended[AskBeforeDiscarding] = !current.askBeforeDiscarding;
    appended[LastFolder] = !keepsOldLines[LastFolder] && !current.lastFolder.empty();

    std::string out;
    out.reserve(oldFileBytes.size() + 128);
    for (const std::string_view line : splitRecordLines(oldFileBytes)) {
        // Wider than at start-up: indented lines and any mode value are setting lines too.
        const Setting setting = settingOf(trimBlanks(line)).setting;
        if (setting == SettingCount || keepsOldLines[setting]) {
            out += line;
        } else {
            out += settingLine(setting, current);
        }
        if (setting != SettingCount) {
            appended[setting] = false;
        }
        out += "\r\n";
    }
    for (std::size_t setting = 0; setting < SettingCount; ++setting) {
        if (appended[setting]) {
            out += settingLine(static_cast<Setting>(setting), current);
            out += "\r\n";
        }
    }
    return out;
}

} // namespace lorimand
