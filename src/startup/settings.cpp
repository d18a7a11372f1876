#include "startup/settings.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "engine/charset.h"
#include "engine/files.h"
#include "engine/lines.h"
#include "engine/numberreader.h"

namespace lorimand {

namespace {

constexpr std::string_view kKeyName = "key=";
constexpr std::string_view kMaskKeyName = "maskkey=";
constexpr std::string_view kAutoUpdateName = "autoupdate=";
constexpr std::string_view kCodeTypeName = "codetype=";
constexpr std::string_view kCustCodeName = "custcode=";
constexpr std::string_view kWindowPosName = "windowpos=";
constexpr std::string_view kTextCharsetName = "textcharset=";

// A check-box state from the text after "=": a whole number 0, 1 or 2, or nothing.
std::optional<int> checkBoxState(std::string_view text)
{
    const std::optional<double> number = readWholeText(text);
    if (!number)
        return std::nullopt;
    const std::optional<std::int32_t> state = roundToInt32(*number);
    if (!state || *state < 0 || *state > 2)
        return std::nullopt;
    return *state;
}

// Single precision as the window holds it; a number beyond its range gives 0
// rather than an infinite window.
float toSingle(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return 0;
    return static_cast<float>(value);
}

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string toStdPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

StoredSettings readSettings(std::string_view fileBytes)
{
    StoredSettings settings;
    for (const std::string_view line : splitRecordLines(fileBytes)) {
        const std::string lower = charset::toLower(line);
        const std::string_view name(lower);
        if (name.starts_with(kKeyName))
            settings.key = std::string(line.substr(kKeyName.size()));
        if (name.starts_with(kMaskKeyName)) {
            if (const auto state = checkBoxState(line.substr(kMaskKeyName.size())))
                settings.maskKey = state;
        }
        if (name.starts_with(kAutoUpdateName)) {
            if (const auto state = checkBoxState(line.substr(kAutoUpdateName.size())))
                settings.autoUpdate = state;
        }
        // Only the exact line selects code tables, and nothing selects the key back.
        if (name == "codetype=1")
            settings.useCustom = true;
        if (name.starts_with(kCustCodeName))
            settings.codeTableName = std::string(line.substr(kCustCodeName.size()));
        if (name.starts_with(kWindowPosName))
            settings.geometry = parseWindowPos(line);
        if (name.starts_with(kTextCharsetName)) {
            const std::string_view value = name.substr(kTextCharsetName.size());
            if (value == "utf-8")
                settings.textCharset = charset::TextCharset::Utf8;
            else if (value == "windows-1252")
                settings.textCharset = charset::TextCharset::Windows1252;
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
        if (position - 1 >= line.size())
            return 0.0f;
        return toSingle(readNumber(line.substr(position - 1)));
    };
    const auto afterComma = [line](std::size_t position) -> std::size_t {
        const auto comma = line.find(',', position - 1);
        return comma == std::string_view::npos ? 1 : comma + 2;
    };

    WindowGeometry geometry;
    std::size_t position = kWindowPosName.size() + 1;
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
    if (value == 0 || !std::isfinite(value))
        return "0";
    // Fixed notation, never an exponent: the reader stops at the first character
    // that cannot continue the number, so each number stands alone between commas.
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

std::string rewriteSettings(std::string_view oldFileBytes, const CurrentSettings &current)
{
    enum Setting
    {
        Key,
        MaskKey,
        AutoUpdate,
        CodeType,
        CustCode,
        WindowPos,
        TextCharset,
        SettingCount
    };
    static constexpr std::array<std::string_view, SettingCount> names = {
        kKeyName,      kMaskKeyName,   kAutoUpdateName,  kCodeTypeName,
        kCustCodeName, kWindowPosName, kTextCharsetName,
    };

    const auto settingLine = [&current](int setting) -> std::string {
        switch (setting) {
        case Key:
            return "key=" + current.key;
        case MaskKey:
            return "MaskKey=" + std::to_string(current.maskKey);
        case AutoUpdate:
            return "AutoUpdate=" + std::to_string(current.autoUpdate);
        case CodeType:
            return current.useCustom ? "CodeType=1" : "CodeType=0";
        case CustCode:
            return "CustCode=" + current.codeTableName;
        case TextCharset:
            return current.textCharset == charset::TextCharset::Utf8 ? "TextCharset=UTF-8"
                                                                     : "TextCharset=Windows-1252";
        default: {
            const WindowGeometry &g = current.geometry;
            return "WindowPos=" + formatGeometryNumber(g.left) + "," + formatGeometryNumber(g.top) +
                   "," + formatGeometryNumber(g.width) + "," + formatGeometryNumber(g.height);
        }
        }
    };

    std::string out;
    out.reserve(oldFileBytes.size() + 128);
    std::array<bool, SettingCount> written{};
    for (const std::string_view line : splitRecordLines(oldFileBytes)) {
        // Wider than at start-up: indented lines and any mode value are setting lines too.
        const std::string lower = charset::toLower(trimBlanks(line));
        int match = SettingCount;
        for (int setting = 0; setting < SettingCount; ++setting) {
            if (std::string_view(lower).starts_with(names[setting])) {
                match = setting;
                break;
            }
        }
        if (match == SettingCount) {
            out += line;
        } else {
            out += settingLine(match);
            written[match] = true;
        }
        out += "\r\n";
    }
    const bool defaultCharset = current.textCharset == charset::TextCharset::Windows1252;
    for (int setting = 0; setting < SettingCount; ++setting) {
        if (!written[setting] && !(setting == TextCharset && defaultCharset)) {
            out += settingLine(setting);
            out += "\r\n";
        }
    }
    return out;
}

namespace {

const QString kSettingsName = QStringLiteral("/Lorimand.ini");
const QString kScratchName = QStringLiteral("/Lorimand.tmp");
// The settings file holds the key in clear: one the program creates is its owner's alone.
const WriteOptions kSettingsWrite{"Lorimand.tmp", NewFileAccess::OwnerOnly};
// Far above any real settings file, so that a wrong file cannot take all memory.
const ReadOptions kSettingsRead{std::size_t{64} * 1024 * 1024, false};

// The rewrite makes the scratch file beside the settings file and renames it, so
// a folder holds the settings only when both can be created there.
bool canHoldSettings(FileSystem &files, const QString &folder)
{
    if (files.createIfMissing(toStdPath(folder + kSettingsName), NewFileAccess::OwnerOnly))
        return false;
    return !files.probeCreate(toStdPath(folder + kScratchName));
}

} // namespace

SettingsFile::SettingsFile(FileSystem &files, const QString &programFolder) : files_(files)
{
    QString folder = programFolder;
    if (!canHoldSettings(files_, programFolder)) {
        // A read-only installation: the user's configuration folder holds the
        // file, for reading and writing alike. Settings that came with the
        // installation are where a user without settings of their own starts.
        folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QDir().mkpath(folder);
        const std::string own = toStdPath(folder + kSettingsName);
        const ReadResult ownSettings = files_.readFile(own, kSettingsRead);
        if (ownSettings.error || ownSettings.bytes.empty()) {
            const ReadResult installed =
                files_.readFile(toStdPath(programFolder + kSettingsName), kSettingsRead);
            if (!installed.error && !installed.bytes.empty())
                (void)files_.writeFile(own, installed.bytes, kSettingsWrite);
        }
        (void)files_.createIfMissing(own, NewFileAccess::OwnerOnly);
    }
    path_ = folder + kSettingsName;
    scratchPath_ = folder + kScratchName;
}

StoredSettings SettingsFile::read()
{
    const ReadResult result = files_.readFile(toStdPath(path_), kSettingsRead);
    if (result.error)
        return {};
    return readSettings(result.bytes);
}

std::optional<std::string> SettingsFile::write(const CurrentSettings &current)
{
    const std::string path = toStdPath(path_);
    const std::string scratch = toStdPath(scratchPath_);
    // A scratch file left by an interrupted run is stale; it is rewritten whole below.
    (void)files_.removeFile(scratch);
    // A missing file is an empty one. A file that exists but cannot be read is not
    // replaced: its foreign lines would be lost.
    (void)files_.createIfMissing(path, NewFileAccess::OwnerOnly);
    const ReadResult old = files_.readFile(path, kSettingsRead);
    if (old.error)
        return old.error->message();
    if (const auto error =
            files_.writeFile(path, rewriteSettings(old.bytes, current), kSettingsWrite))
        return error->message();
    return std::nullopt;
}

} // namespace lorimand
