// The language the windows speak: chosen once at start-up from the user's
// languages, with the program's own translation and Qt's for its dialogs.
#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

namespace lorimand {

// The languages the program is translated into (LORIMAND_LANGUAGES of the
// build); English, the language of its source texts, needs no translation.
[[nodiscard]] QStringList translatedLanguages();

// The first of the user's languages, best first as QLocale::uiLanguages() gives
// them ("de-DE", "fr", "en_GB"), that the program speaks: "en" or one of
// translatedLanguages(); "en" when it speaks none of them.
[[nodiscard]] QString chosenLanguage(const QStringList &uiLanguages);

// The language of the translation in force: "en" when none is installed.
[[nodiscard]] QString currentLanguage();

// The program's translation and Qt's own ("qtbase", from Qt's translations
// folder, when the system has it) for one language, installed for as long as
// this lives. English installs nothing.
class Translations
{
public:
    explicit Translations(const QString &language);
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // False when the language is not English and its program translation is missing.
    [[nodiscard]] bool loaded() const { return loaded_; }

private:
    QTranslator program_;
    QTranslator qt_;
    bool loaded_ = true;
};

} // namespace lorimand
