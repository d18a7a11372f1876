// The format of the settings file "Lorimand.ini": what its lines say at
// start-up and the file rewritten at close, as pure functions over its bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/charset.h"

namespace lorimand {

// The outer rectangle of the main window, in twips.
struct WindowGeometry
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    friend bool operator==(const WindowGeometry &, const WindowGeometry &) = default;
};

// What the file says, after all its lines in order; a value the file does not
// give (or gives in a form the control would not accept) is nullopt.
struct StoredSettings
{
    std::optional<std::string> key;
    bool keyTooLong = false;       // a key line longer than kLongestKey, not applied
    std::optional<int> maskKey;    // 0, 1 or 2
    std::optional<int> autoUpdate; // 0, 1 or 2
    bool useCustom = false;        // a "codetype=1" line selects the code-table mode for good
    std::string codeTableName;     // the remembered code table; empty when none
    std::optional<WindowGeometry> geometry;
    // How Normal reads plain text; a value the program does not know leaves it.
    charset::TextCharset textCharset = charset::TextCharset::Windows1252;
    // Whether closing asks before throwing typed text away; only "0" turns it off.
    bool askBeforeDiscarding = true;
    std::string lastFolder; // where the file dialogs open, as bytes; empty when none
    friend bool operator==(const StoredSettings &, const StoredSettings &) = default;
};

// The state of the window written back at close.
struct CurrentSettings
{
    std::string key;
    // The lines the file has for the key stay as they are, key not written: the
    // key is the default one because the file's key line could not be applied.
    bool keepsKeyLines = false;
    int maskKey = 0;
    int autoUpdate = 0;
    bool useCustom = false;
    std::string codeTableName; // the table file's name without ".sbt", as bytes
    WindowGeometry geometry;
    charset::TextCharset textCharset = charset::TextCharset::Windows1252;
    bool askBeforeDiscarding = true;
    std::string lastFolder; // as bytes; empty when no file was ever chosen
};

[[nodiscard]] StoredSettings readSettings(std::string_view fileBytes);

// The geometry of one "windowpos=" line (the whole line, name included).
[[nodiscard]] WindowGeometry parseWindowPos(std::string_view line);

// One geometry number as the file holds it: a whole number in plain decimal digits,
// a fraction with "." and the fewest digits that read back to the same value.
[[nodiscard]] std::string formatGeometryNumber(float value);

// Whether a value can stand in a settings line: a CR or LF would end the line
// there and put the rest on a line of its own.
[[nodiscard]] bool fitsOnOneLine(std::string_view value);
// Whether a key can be written so that the next start applies it: on one line
// and no longer than kLongestKey.
[[nodiscard]] bool isStorableKey(std::string_view key);

// The file after the close: foreign lines kept byte for byte and in place, each
// setting line replaced by the current value, missing settings appended in the
// fixed order, every line ending in CR LF. A key that is not storable, or one kept
// out by keepsKeyLines, or a table name that does not fit on one line is not
// written: the file keeps what it said about it, and neither is a folder that does
// not fit on one line. The text
// charset, the discarding question and the last folder are appended only when
// they are not the default, so a file that never changed them stays as it was.
[[nodiscard]] std::string rewriteSettings(std::string_view oldFileBytes,
                                          const CurrentSettings &current);

} // namespace lorimand
