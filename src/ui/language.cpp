#include "ui/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace lorimand {

QStringList translatedLanguages()
{
    return QStringLiteral(LORIMAND_LANGUAGES).split(u' ', Qt::SkipEmptyParts);
}

QString chosenLanguage(const QStringList &uiLanguages)
{
    const QStringList translated = translatedLanguages();
    for (const QString &entry : uiLanguages) {
        QString language = entry.section(u'-', 0, 0).section(u'_', 0, 0).toLower();
        if (language == u"en" || translated.contains(language)) {
            return language;
        }
    }
    return QStringLiteral("en");
}

QString currentLanguage()
{
    // Each translation names its own language here, so that what the window
    // says and the help it opens always agree.
    return QCoreApplication::translate("lorimand::Language", "en",
                                       "The code of the language translated into");
}

Translations::Translations(const QString &language)
{
    if (language == u"en") {
        return;
    }
    // Built into the program, so a build tree, an unpacked and an installed copy
    // all find it.
    loaded_ = program_.load(QStringLiteral(":/i18n/lorimand_") + language);
    if (loaded_) {
        QCoreApplication::installTranslator(&program_);
    }
    // Qt's own dialogs and menus follow when the system has their translation.
    if (qt_.load(QStringLiteral("qtbase_") + language,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qt_);
    }
}

Translations::~Translations()
{
    QCoreApplication::removeTranslator(&qt_);
    QCoreApplication::removeTranslator(&program_);
}

} // namespace lorimand
