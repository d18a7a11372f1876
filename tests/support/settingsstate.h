// One window state written back at close, and the settings lines it gives in a
// file that had none.
#pragma once

#include <string>
#include <utility>

#include <QByteArray>

#include "startup/settings.h"

namespace lorimand::test {

// Key as given, mask clear, Auto ticked, code-table mode with "Caesar", at
// 1200,900 sized 8415 by 6000.
[[nodiscard]] inline CurrentSettings exampleSettings(std::string key = "Tarn Veli")
{
    CurrentSettings c;
    c.key = std::move(key);
    c.maskKey = 0;
    c.autoUpdate = 1;
    c.useCustom = true;
    c.codeTableName = "Caesar";
    c.geometry = {1200, 900, 8415, 6000};
    return c;
}

// exampleSettings() as the six lines of a rewritten empty file.
inline const QByteArray kExampleSettingsLines =
    "key=Tarn Veli\r\nMaskKey=0\r\nAutoUpdate=1\r\nCodeType=1\r\nCustCode=Caesar\r\n"
    "WindowPos=1200,900,8415,6000\r\n";

} // namespace lorimand::test
