// The language the windows speak: which of the user's languages is chosen, and
// the translations themselves: each finished, in step with the English source
// texts, and covering every text the windows' sources hold.
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "ui/language.h"

using namespace Qt::StringLiterals;
using namespace lorimand;

namespace {

struct Message
{
    QString context;
    QString source;
    // One text, or each plural form of a message counting something (%n).
    QStringList translations;
    QString type; // "unfinished", "obsolete", "vanished" or empty
};

QList<Message> readTs(const QString &path, QString *language = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("cannot open %s", qPrintable(path));
        return {};
    }
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    bool plural = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == u"TS" && language) {
            *language = xml.attributes().value(u"language"_s).toString();
        } else if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            plural = xml.attributes().value(u"numerus"_s) == u"yes";
        } else if (xml.name() == u"source") {
            messages.append({context, xml.readElementText(), {}, {}});
        } else if (xml.name() == u"translation" && !messages.isEmpty()) {
            messages.last().type = xml.attributes().value(u"type"_s).toString();
            // A plural message holds its forms in elements of their own, read next.
            if (!plural) {
                messages.last().translations << xml.readElementText();
            }
        } else if (xml.name() == u"numerusform" && !messages.isEmpty()) {
            messages.last().translations << xml.readElementText();
        }
    }
    if (xml.hasError()) {
        qWarning("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
    }
    return messages;
}

QString tsFile(const QString &language)
{
    return QStringLiteral(LORIMAND_SOURCE_DIR "/translations/lorimand_%1.ts").arg(language);
}

// The placeholders of a text, sorted: a translation may reorder them, not lose one.
QStringList placeholders(const QString &text)
{
    static const QRegularExpression placeholder(u"%\\d+"_s);
    QStringList found;
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text)) {
        found << match.captured();
    }
    found.sort();
    return found;
}

int accessKeyMarks(const QString &text)
{
    return static_cast<int>(text.count(u'&') - 2 * text.count(u"&&"_s));
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void chosenLanguage_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("German of Germany") << QStringList{u"de-DE"_s, u"de"_s} << u"de"_s;
        QTest::newRow("underscores, as LANGUAGE has them") << QStringList{u"fr_CA"_s} << u"fr"_s;
        QTest::newRow("Latin-American Spanish") << QStringList{u"es-419"_s} << u"es"_s;
        QTest::newRow("English before a translated language")
            << QStringList{u"en-GB"_s, u"de-DE"_s} << u"en"_s;
        QTest::newRow("an untranslated language first")
            << QStringList{u"it-IT"_s, u"fr-FR"_s, u"en"_s} << u"fr"_s;
        QTest::newRow("none the program speaks") << QStringList{u"pt-BR"_s} << u"en"_s;
        QTest::newRow("nothing known") << QStringList{} << u"en"_s;
        QTest::newRow("the C locale") << QStringList{u"C"_s} << u"en"_s;
    }
    void chosenLanguage()
    {
        QFETCH(QStringList, uiLanguages);
        QFETCH(QString, chosen);
        QCOMPARE(lorimand::chosenLanguage(uiLanguages), chosen);
    }

    void englishInstallsNothing()
    {
        const Translations translations(u"en"_s);
        QVERIFY(translations.loaded());
        QCOMPARE(currentLanguage(), u"en"_s);
    }

    void aMissingTranslationIsTold()
    {
        const Translations translations(u"xx"_s);
        QVERIFY(!translations.loaded());
        QCOMPARE(currentLanguage(), u"en"_s);
    }

    void translationsAreFinished_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString &language : translatedLanguages()) {
            QTest::newRow(language.toUtf8().constData()) << language;
        }
    }
    void translationsAreFinished()
    {
        QFETCH(QString, language);
        QString declared;
        const QList<Message> messages = readTs(tsFile(language), &declared);
        QVERIFY(!messages.isEmpty());
        QCOMPARE(declared, language);
        for (const Message &message : messages) {
            const QByteArray where = (message.context + u": "_s + message.source).toUtf8();
            // Every class is in the namespace; a context outside it is never looked up.
            QVERIFY2(message.context.startsWith(u"lorimand::"_s), where.constData());
            QVERIFY2(message.type.isEmpty(), where.constData());
            QVERIFY2(!message.translations.isEmpty(), where.constData());
            for (const QString &translation : message.translations) {
                QVERIFY2(!translation.trimmed().isEmpty(), where.constData());
                QVERIFY2(placeholders(translation) == placeholders(message.source),
                         where.constData());
                QVERIFY2(translation.contains(u"%n"_s) == message.source.contains(u"%n"_s),
                         where.constData());
                QVERIFY2(accessKeyMarks(translation) == accessKeyMarks(message.source),
                         where.constData());
                QVERIFY2(translation.count(u'\n') == message.source.count(u'\n'),
                         where.constData());
            }
        }
        // The translation names its own language, which picks the help file.
        const auto named = std::find_if(messages.begin(), messages.end(), [](const Message &m) {
            return m.context == u"lorimand::Language"_s;
        });
        QVERIFY(named != messages.end());
        QCOMPARE(named->translations, QStringList{language});
        // What is built into the program is what the file says.
        const Translations translations(language);
        QVERIFY(translations.loaded());
        QCOMPARE(currentLanguage(), language);
    }

    // Qt's own texts (the buttons of the questions, the file dialogs) follow the
    // language through Qt's translations, where the system has them.
    void qtsOwnTextsFollow_data() { translationsAreFinished_data(); }
    void qtsOwnTextsFollow()
    {
        QFETCH(QString, language);
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_"_s +
                           language + u".qm"_s)) {
            QSKIP("Qt's translations (qt6-translations-l10n) are not installed");
        }
        const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
        const Translations translations(language);
        QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != cancel);
    }

    // lupdate over the windows' sources and the settings file's finds no text the
    // translations lack.
    void everySourceTextIsTranslated()
    {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString fresh = scratch.filePath(u"fresh.ts"_s);
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(LORIMAND_LUPDATE),
                      {u"-silent"_s, u"-locations"_s, u"none"_s, u"-I"_s,
                       QStringLiteral(LORIMAND_SOURCE_DIR "/src"),
                       QStringLiteral(LORIMAND_SOURCE_DIR "/src/ui"),
                       QStringLiteral(LORIMAND_SOURCE_DIR "/src/startup"), u"-ts"_s, fresh});
        QVERIFY(lupdate.waitForFinished(60000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
        const QList<Message> sources = readTs(fresh);
        QVERIFY(sources.size() > 50);
        for (const QString &language : translatedLanguages()) {
            QSet<QString> translated;
            for (const Message &message : readTs(tsFile(language))) {
                translated.insert(message.context + u'\x1f' + message.source);
            }
            for (const Message &source : sources) {
                QVERIFY2(translated.contains(source.context + u'\x1f' + source.source),
                         qPrintable(language + u": "_s + source.context + u": "_s + source.source));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
