// The main window "Main": the two text areas, the mode choice with the key and
// the code-table list, the translate buttons and arrows, the text-file buttons,
// and everything the window does on start-up, on the user's events and on close.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include <QPointer>
#include <QWidget>

#include "engine/codetable.h"
#include "engine/generator.h"
#include "engine/translation.h"
#include "startup/commandline.h"
#include "startup/settingsfile.h"
#include "ui/help/helpwindow.h"
#include "ui/memoryreserve.h"
#include "ui/text/bytetextedit.h"

class QAction;
class QCheckBox;
class QComboBox;
class QTimer;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace lorimand {

class ByteLineEdit;
class CharsetOffer;
class ChoiceList;
class FileSystem;
class Platform;
class RandomGenerator;
struct FileError;
struct ReadResult;

class MainWindow : public QWidget
{
    Q_OBJECT

public:
    MainWindow(Platform &platform, FileSystem &files, RandomGenerator &generator,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // Run once before the window is first shown: self-test, hint texts, Auto on,
    // settings, the code-table list and the remembered table, then the file the
    // command line names. False when the self-test ended the program.
    bool startUp(std::string_view argumentText = {});

    // Opens Find Key from anywhere in the window.
    static constexpr QKeyCombination kFindKeyShortcut{Qt::ControlModifier, Qt::Key_K};
    // Opens New Code Table from anywhere in the window.
    static constexpr QKeyCombination kNewTableShortcut{Qt::ControlModifier, Qt::Key_T};

    // Normal into Encoded, and back; each picks the mode itself.
    void encode();
    void decode();

    [[nodiscard]] bool isUpdating() const { return updating_; }
    [[nodiscard]] const CodeTables &codeTables() const { return codeTables_; }
    [[nodiscard]] const std::string &defaultKey() const { return defaultKey_; }
    [[nodiscard]] HelpWindow *helpWindow() const { return help_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window itself (mainwindow.cpp).
    void createControls();
    void connectHandlers();
    void arrangeControls();
    // Replaces the other area's text; `history` says how that joins its undo.
    // False when it could not: the other area holds what it held.
    bool translate(Direction direction, ByteTextEdit::History history);
    // Tells the user a text is too large for the memory there is, and whether
    // both areas keep what they held; with a message made in advance, the
    // memory reserve given up for it, and on standard error when not even that fits.
    void reportOutOfMemory(bool areasKept = true);
    // Undoes the program's latest replacement of an area's text, after memory ran
    // out on the way; false when even that ran out.
    bool takeBack(ByteTextEdit &area);
    // Auto: an edit of one area changes only what it changes in the other,
    // where the other holds the translation of the text before the edit.
    void translateChange(Direction direction, const ByteChange &change);
    void spliceTranslation(Direction direction, const ByteChange &change);
    [[nodiscard]] std::optional<Translation> translationFor(Direction direction);
    // Notes that the other area now holds the translation of the text.
    void noteTranslated(Direction direction);
    [[nodiscard]] bool holdsTranslationBefore(Direction direction) const;
    [[nodiscard]] bool autoTranslates() const;
    // Auto after a change of the key, the table or the mode: the area last typed
    // into, pasted into or loaded is translated again into the other. A key
    // typed into a large text waits for a pause in the typing.
    void followKey();
    void followSetting();
    // Notes an edit by the user of the area `direction` translates from.
    void noteUserEdit(Direction direction);
    // The generator self-test; on failure tells the user and ends the program.
    [[nodiscard]] bool selfTestPasses();
    // Tells the user the generator fails its self-test and ends the program.
    void reportGeneratorFailure();
    void fillCodeNameList();
    // The list read again from the folders as it opens, the entry chosen kept.
    void refreshCodeNameList();
    void selectCodeTable(const std::string &rememberedName);
    void loadCodeTable();
    void showHelp();

    // Find Key (mainwindow_findkey.cpp): the likeliest keys or code tables of the
    // encoded text in a dialog; the one chosen goes into the key field or the
    // table list, and the text is decoded.
    void findKey();

    // Code tables of one's own (mainwindow_codetables.cpp): New Code Table, and
    // a non-blocking word, once, about a table loaded that cannot be decoded.
    void newCodeTable();
    void warnIfUndecodable(const std::string &file, const CodeTables &tables);

    // The settings file (mainwindow_settings.cpp). applySettings returns the
    // remembered code-table name, as bytes.
    std::string applySettings();
    // False when the user cancelled the close.
    bool saveSettings();
    // Asks about each area holding typed text that was not saved; false when
    // the user cancelled (or a save chosen there did not happen).
    [[nodiscard]] bool typedTextMayGo();
    [[nodiscard]] CurrentSettings currentSettings() const;

    // The text-file commands (mainwindow_textfiles.cpp).
    void loadTextFile(ByteTextEdit &area, const QString &title);
    // file: the path in the file system's bytes.
    void loadFileInto(ByteTextEdit &area, const std::string &file, bool translateAfter);
    void translateCommandLineFile(const CommandLineRequest &request);
    // Reads a text file behind a progress dialog, whose Cancel stops it.
    [[nodiscard]] ReadResult readTextFile(const std::string &file);
    // False when the user cancelled or the file could not be written.
    bool saveTextFile(const ByteTextEdit &area, const QString &title);
    // After a file was loaded into an area: offers Normal's UTF-8 view when the
    // text reads as UTF-8 and Normal shows Windows-1252.
    void offerUtf8View(const ByteTextEdit &area, const QString &fileName, bool readsAsUtf8);
    // The message holds %1 for the file and %2 for the reason.
    void showFileError(const QString &message, const FileError &error);

    void showError(const QString &text);
    [[nodiscard]] QWidget *dialogParent();

    Platform &platform_;
    FileSystem &files_;
    RandomGenerator &generator_;
    std::optional<SettingsFile> settingsFile_;

    // Shared window state.
    // Set while the program itself writes into the text areas or sets its
    // controls, so that its writes translate nothing; held by a scope wherever
    // it is set.
    bool updating_ = false;
    std::string defaultKey_;
    // The settings file's key line was too long to apply.
    bool keyLineNotApplied_ = false;
    CodeTables codeTables_;
    // The last translation into an area: which way, each area's count of
    // changes after it, and what it was made with.
    struct Translated
    {
        Direction direction;
        std::uint64_t sourceChanges;
        std::uint64_t destinationChanges;
        bool useKey;
        std::string key;
        CodeTables tables;
    };
    std::optional<Translated> translated_;
    // The way Auto translates after a change of the key, the table or the mode:
    // from the area the user last typed into, pasted into or loaded.
    Direction lastSource_ = Direction::Encode;
    QTimer *keyPause_ = nullptr;
    // Whether an area holds text the user typed, pasted or dropped that was not
    // saved or loaded since, and whether closing asks about it.
    bool normalTyped_ = false;
    bool encodedTyped_ = false;
    bool askBeforeDiscarding_ = true;

    QLabel *label1_ = nullptr;
    QLabel *label2_ = nullptr;
    ByteTextEdit *normal_ = nullptr;
    QWidget *codeType_ = nullptr;
    QRadioButton *useKey_ = nullptr;
    QRadioButton *useCustom_ = nullptr;
    ByteLineEdit *key_ = nullptr;
    ChoiceList *codeName_ = nullptr;
    QCheckBox *maskKey_ = nullptr;
    QPushButton *decodeButton_ = nullptr;
    QPushButton *encodeButton_ = nullptr;
    QCheckBox *autoUpdate_ = nullptr;
    QPushButton *loadText_ = nullptr;
    QPushButton *loadCode_ = nullptr;
    QPushButton *saveText_ = nullptr;
    QPushButton *saveCode_ = nullptr;
    ByteTextEdit *encoded_ = nullptr;
    QToolButton *upArrow_ = nullptr;
    QToolButton *downArrow_ = nullptr;
    CharsetOffer *charsetOffer_ = nullptr;

    QAction *findKey_ = nullptr;
    QAction *newTable_ = nullptr;
    // Each table file, with what it cannot decode, that the user has been told of.
    std::set<std::string> undecodableTablesShown_;

    QPointer<HelpWindow> help_;

    // What running out of memory needs, made before it does: room, and the
    // messages as the window shows them and as standard error gets them.
    struct PreparedMessage
    {
        QString text;
        QByteArray line;
    };
    [[nodiscard]] static PreparedMessage prepared(const QString &text);
    MemoryReserve memoryReserve_;
    PreparedMessage outOfMemory_;
    PreparedMessage outOfMemoryNotKept_;
};

} // namespace lorimand
