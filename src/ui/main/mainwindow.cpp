#include "ui/main/mainwindow.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include "engine/codetablefile.h"
#include "engine/files.h"
#include "engine/generator.h"
#include "ui/busycursor.h"
#include "ui/captions.h"
#include "ui/colours.h"
#include "ui/conversions.h"
#include "ui/help/helplayout.h"
#include "ui/main/artwork.h"
#include "ui/main/bytelineedit.h"
#include "ui/main/charsetoffer.h"
#include "ui/main/choicelist.h"
#include "ui/main/mainlayout.h"
#include "ui/main/wrappingbutton.h"
#include "ui/platform.h"
#include "ui/programfiles.h"
#include "ui/stepprogress.h"
#include "ui/text/bytetextedit.h"
#include "ui/twips.h"

namespace lorimand {

namespace {

const char *const kNormalHint =
    QT_TRANSLATE_NOOP("lorimand::MainWindow", "Enter a message to encode here . . .");
const char *const kEncodedHint =
    QT_TRANSLATE_NOOP("lorimand::MainWindow", ". . . or an encoded message to decode here.");
// Above this size a key being typed translates once the typing pauses, so that
// each character does not translate the whole text again.
constexpr std::size_t kFollowsEachKeyUpTo = std::size_t{1} << 20;
// Kept back for the message that memory ran out: a message box and its window
// take a few hundred KiB. No more, as the reserve takes its room from everything
// else (a thread Qt starts to paint needs room for its stack).
constexpr std::size_t kMemoryReserve = std::size_t{4} << 20;
constexpr int kKeyPauseMs = 300;

void place(QWidget &widget, const twips::Rect &rect)
{
    widget.setGeometry(twips::toPixels(rect));
}

} // namespace

MainWindow::MainWindow(Platform &platform, FileSystem &files, RandomGenerator &generator,
                       QWidget *parent)
    : QWidget(parent), platform_(platform), files_(files), generator_(generator),
      memoryReserve_(kMemoryReserve),
      outOfMemory_(prepared(tr("The text is too large for the memory there is; both areas keep "
                               "what they held. lorimand-cli translates files of any size."))),
      outOfMemoryNotKept_(prepared(tr("There is not enough memory to finish this. lorimand-cli "
                                      "translates files of any size.")))
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(tr("Lorimand"));
    setWindowIcon(programIcon());

    makeBlack(*this);

    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(8.25);
    font.setBold(true);
    setFont(font);

    createControls();
    connectHandlers();

    const QSize minimum = twips::clientSize(kMainMinimumSize);
    setMinimumSize(minimum);
    resize(minimum);
    arrangeControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    // The two labels lie under Normal, which covers them; they exist for their
    // access keys, which move the focus into the text areas. Created first, they
    // stack below everything else.
    label1_ = new QLabel(tr("Normal &Text"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label2_ = new QLabel(tr("Encoded Te&xt"), this);
    label2_->setObjectName(QStringLiteral("Label2"));

    auto textArea = [this](const char *name, const QString &accessibleName) {
        auto *area = new ByteTextEdit(this);
        area->setObjectName(QString::fromLatin1(name));
        area->setAccessibleName(accessibleName);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        area->setTabChangesFocus(true);
        keepDefaultColours(*area);
        return area;
    };
    normal_ = textArea("Normal", tr("Normal Text"));
    encoded_ = textArea("Encoded", tr("Encoded Text"));
    // Plain text may be read as UTF-8; encoded text always shows each byte as one
    // character.
    normal_->offerCharsetChoice();
    label1_->setBuddy(normal_);
    label2_->setBuddy(encoded_);

    codeType_ = new QWidget(this);
    codeType_->setObjectName(QStringLiteral("CodeType"));
    // "Encryption Key:" in the bold sans-serif of Linux desktops is a few pixels
    // wider than the option button's design width; a narrower cut makes it fit.
    // The translations are chosen to fit the same width.
    QFont modeFont = font();
    modeFont.setStretch(QFont::SemiCondensed);
    codeType_->setFont(modeFont);
    useKey_ = new QRadioButton(tr("Encryption &Key:"), codeType_);
    useKey_->setObjectName(QStringLiteral("UseKey"));
    useKey_->setGeometry(twips::toPixels(twips::Rect{0, 60, 1695, 195}));
    useKey_->setChecked(true);
    useCustom_ = new QRadioButton(tr("&Custom Code:"), codeType_);
    useCustom_->setObjectName(QStringLiteral("UseCustom"));
    useCustom_->setGeometry(twips::toPixels(twips::Rect{0, 360, 1635, 195}));

    key_ = new ByteLineEdit(this);
    key_->setObjectName(QStringLiteral("Key"));
    key_->setAccessibleName(tr("Encryption key"));
    key_->setBytes("TarnVeli");

    codeName_ = new ChoiceList(this);
    codeName_->setObjectName(QStringLiteral("CodeName"));
    codeName_->setAccessibleName(tr("Code table"));

    maskKey_ = new QCheckBox(tr("&Mask"), this);
    maskKey_->setObjectName(QStringLiteral("MaskKey"));

    auto button = [this](const QString &caption, const char *name) {
        auto *b = new WrappingButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setToolTip(accessKeyToolTip(caption));
        return b;
    };
    decodeButton_ = button(tr("&Decode"), "DecodeButton");
    encodeButton_ = button(tr("&Encode"), "EncodeButton");

    autoUpdate_ = new QCheckBox(tr("&Auto"), this);
    autoUpdate_->setObjectName(QStringLiteral("AutoUpdate"));

    loadText_ = button(tr("&Load Normal Text"), "LoadText");
    loadCode_ = button(tr("L&oad Encoded Text"), "LoadCode");
    saveText_ = button(tr("&Save Normal Text"), "SaveText");
    saveCode_ = button(tr("Sa&ve Encoded Text"), "SaveCode");

    auto arrow = [this](ArrowDirection direction, const char *name, const QString &caption) {
        auto *picture = new QToolButton(this);
        picture->setObjectName(QString::fromLatin1(name));
        const QPixmap pixmap = arrowPicture(direction);
        picture->setIcon(pixmap);
        picture->setIconSize(pixmap.size());
        picture->setAutoRaise(true);
        picture->setFocusPolicy(Qt::NoFocus);
        picture->setAccessibleName(caption);
        picture->setToolTip(caption);
        picture->setStyleSheet(QStringLiteral("QToolButton { border: none; background: black; }"));
        return picture;
    };
    upArrow_ = arrow(ArrowDirection::Up, "UpArrow", tr("Decode"));
    downArrow_ = arrow(ArrowDirection::Down, "DownArrow", tr("Encode"));

    for (QAbstractButton *option :
         {static_cast<QAbstractButton *>(useKey_), static_cast<QAbstractButton *>(useCustom_),
          static_cast<QAbstractButton *>(maskKey_), static_cast<QAbstractButton *>(autoUpdate_)}) {
        keepIndicatorLight(*option);
        option->setToolTip(accessKeyToolTip(option->text()));
    }
    charsetOffer_ = new CharsetOffer(*normal_);

    // Find Key has no place in the fixed layout: it is reached by its keys from
    // anywhere in the window and from Encoded's context menu.
    findKey_ = new QAction(tr("Find &Key..."), this);
    findKey_->setObjectName(QStringLiteral("FindKey"));
    findKey_->setShortcut(kFindKeyShortcut);
    findKey_->setShortcutContext(Qt::WindowShortcut);
    addAction(findKey_);
    encoded_->setExtraMenuActions({findKey_});
    // New Code Table is reached by its keys and from the table list's context menu.
    newTable_ = new QAction(tr("&New Code Table..."), this);
    newTable_->setObjectName(QStringLiteral("NewCodeTable"));
    newTable_->setShortcut(kNewTableShortcut);
    newTable_->setShortcutContext(Qt::WindowShortcut);
    addAction(newTable_);
    codeName_->setContextMenuPolicy(Qt::ActionsContextMenu);
    codeName_->addAction(newTable_);

    const QWidget *tabOrder[] = {normal_,   useKey_,       useCustom_,    key_,        codeName_,
                                 maskKey_,  decodeButton_, encodeButton_, autoUpdate_, loadText_,
                                 loadCode_, saveText_,     saveCode_,     encoded_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(const_cast<QWidget *>(tabOrder[i - 1]), const_cast<QWidget *>(tabOrder[i]));
    }
}

void MainWindow::connectHandlers()
{
    connect(encodeButton_, &QPushButton::clicked, this, &MainWindow::encode);
    connect(downArrow_, &QToolButton::clicked, this, &MainWindow::encode);
    connect(decodeButton_, &QPushButton::clicked, this, &MainWindow::decode);
    connect(upArrow_, &QToolButton::clicked, this, &MainWindow::decode);

    // Every edit retranslates into the other area while Auto is ticked (greyed
    // counts as off); the program's own writes hold Updating and translate nothing.
    connect(normal_, &ByteTextEdit::bytesChanged, this,
            [this](const ByteChange &change) { translateChange(Direction::Encode, change); });
    connect(encoded_, &ByteTextEdit::bytesChanged, this,
            [this](const ByteChange &change) { translateChange(Direction::Decode, change); });

    keyPause_ = new QTimer(this);
    keyPause_->setSingleShot(true);
    keyPause_->setInterval(kKeyPauseMs);
    connect(keyPause_, &QTimer::timeout, this, &MainWindow::followSetting);
    connect(key_, &QLineEdit::textEdited, this, &MainWindow::followKey);
    connect(useKey_, &QRadioButton::toggled, this, &MainWindow::followSetting);

    connect(maskKey_, &QCheckBox::stateChanged, this, [this](int state) {
        key_->setMasked(state == Qt::Checked);
        // Greyed only comes from the settings file; the user's clicks tick and clear.
        if (state != Qt::PartiallyChecked) {
            maskKey_->setTristate(false);
        }
    });
    connect(autoUpdate_, &QCheckBox::stateChanged, this, [this](int state) {
        if (state != Qt::PartiallyChecked) {
            autoUpdate_->setTristate(false);
        }
    });

    // Every choice loads the table, the entry already chosen included: the
    // user may have just edited its file.
    connect(codeName_, &ChoiceList::aboutToOpen, this, &MainWindow::refreshCodeNameList);
    connect(codeName_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0) {
            loadCodeTable();
            followSetting();
        }
    });

    connect(loadText_, &QPushButton::clicked, this,
            [this] { loadTextFile(*normal_, tr("Load Normal Text")); });
    connect(loadCode_, &QPushButton::clicked, this,
            [this] { loadTextFile(*encoded_, tr("Load Encoded Text")); });
    connect(saveText_, &QPushButton::clicked, this,
            [this] { saveTextFile(*normal_, tr("Save Normal Text As")); });
    connect(saveCode_, &QPushButton::clicked, this,
            [this] { saveTextFile(*encoded_, tr("Save Encoded Text As")); });
    connect(findKey_, &QAction::triggered, this, &MainWindow::findKey);
    connect(newTable_, &QAction::triggered, this, &MainWindow::newCodeTable);
    connect(charsetOffer_, &CharsetOffer::accepted, this,
            [this] { normal_->chooseCharset(displaytext::Charset::Utf8); });
    connect(normal_, &ByteTextEdit::charsetChosen, charsetOffer_, &QWidget::hide);
    connect(normal_, &ByteTextEdit::fileDropped, this, [this](const QString &path) {
        if (selfTestPasses()) {
            loadFileInto(*normal_, nativePath(path), autoTranslates());
        }
    });
    connect(encoded_, &ByteTextEdit::fileDropped, this, [this](const QString &path) {
        if (selfTestPasses()) {
            loadFileInto(*encoded_, nativePath(path), autoTranslates());
        }
    });

    // F1 shows the help from anywhere in the window, whichever control has the
    // focus and whatever that control would make of the key.
    qApp->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F1 && !key->isAutoRepeat() && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == this) {
            showHelp();
            return true; // handled once, not again for each parent it would pass
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrangeControls();
    // The minimum size keeps window managers from going below the design size;
    // where none does, the window sets itself back, but never while minimised
    // or maximised, when the size is the desktop's to choose.
    if (windowState() == Qt::WindowNoState) {
        const QSize allowed =
            twips::clientSize(enforceMainMinimum(twips::outerSize(event->size())));
        if (allowed != event->size()) {
            resize(allowed);
        }
    }
}

void MainWindow::arrangeControls()
{
    const MainLayout layout = arrangeMainWindow(twips::outerSize(size()));
    place(*label1_, layout.label1);
    place(*label2_, layout.label2);
    place(*normal_, layout.normal);
    place(*encoded_, layout.encoded);
    place(*loadText_, layout.loadText);
    place(*loadCode_, layout.loadCode);
    place(*saveText_, layout.saveText);
    place(*saveCode_, layout.saveCode);
    place(*codeType_, layout.codeType);
    place(*maskKey_, layout.maskKey);
    place(*key_, layout.key);
    place(*codeName_, layout.codeName);
    place(*upArrow_, layout.upArrow);
    place(*downArrow_, layout.downArrow);
    place(*decodeButton_, layout.decodeButton);
    place(*encodeButton_, layout.encodeButton);
    place(*autoUpdate_, layout.autoUpdate);
}

bool MainWindow::autoTranslates() const
{
    // Greyed counts as off.
    return autoUpdate_->checkState() == Qt::Checked;
}

void MainWindow::encode()
{
    lastSource_ = Direction::Encode;
    const BusyCursor busy;
    (void)translate(Direction::Encode, ByteTextEdit::History::Step);
}

void MainWindow::decode()
{
    lastSource_ = Direction::Decode;
    const BusyCursor busy;
    (void)translate(Direction::Decode, ByteTextEdit::History::Step);
}

std::optional<Translation> MainWindow::translationFor(Direction direction)
{
    std::optional<Translation> translation =
        useKey_->isChecked() ? Translation::forKey(key_->bytes(), direction, generator_)
                             : Translation::forTables(codeTables_, direction);
    if (!translation) {
        reportGeneratorFailure();
    }
    return translation;
}

bool MainWindow::translate(Direction direction, ByteTextEdit::History history)
{
    // A whole translation also does what a key change waiting for a pause would.
    keyPause_->stop();
    const QScopedValueRollback updating(updating_, true);
    const ByteTextEdit &source = direction == Direction::Encode ? *normal_ : *encoded_;
    ByteTextEdit &destination = direction == Direction::Encode ? *encoded_ : *normal_;
    const std::uint64_t changesBefore = destination.changeCount();
    try {
        std::optional<Translation> translation = translationFor(direction);
        if (!translation) {
            return false;
        }
        // Made whole before it replaces the area's text, so a failure on the
        // way leaves the area as it was.
        std::string scratch;
        std::string translated = translation->apply(source.wholeText(scratch));
        std::string().swap(scratch);
        destination.setBytes(std::move(translated), history);
    } catch (const std::bad_alloc &) {
        translated_.reset();
        // The area may hold the translation already, and only showing it failed:
        // it is taken back, as near as its undo steps allow.
        const bool changed = destination.changeCount() != changesBefore;
        if (changed) {
            (void)takeBack(destination);
        }
        reportOutOfMemory(!changed);
        return false;
    }
    noteTranslated(direction);
    return true;
}

bool MainWindow::takeBack(ByteTextEdit &area)
{
    // Taking the text back may need memory too: the reserve goes first.
    memoryReserve_.release();
    const QScopedValueRollback updating(updating_, true);
    const std::uint64_t changesBefore = area.changeCount();
    try {
        // An area tells of an undo that ran out of memory at its caret, not by
        // throwing; then its text is as it was.
        area.undo();
    } catch (const std::bad_alloc &) {
        return false;
    }
    return area.changeCount() != changesBefore;
}

void MainWindow::reportOutOfMemory(bool areasKept)
{
    // What ran out may still be held (an undo keeps it); the reserve makes room
    // for the message.
    memoryReserve_.release();
    const PreparedMessage &message = areasKept ? outOfMemory_ : outOfMemoryNotKept_;
    try {
        showError(message.text);
    } catch (const std::bad_alloc &) {
        // Not even a message box fits. Standard error is unbuffered: writing the
        // bytes made in advance allocates nothing.
        std::fwrite(message.line.constData(), 1, static_cast<std::size_t>(message.line.size()),
                    stderr);
    }
    memoryReserve_.restore();
}

MainWindow::PreparedMessage MainWindow::prepared(const QString &text)
{
    return {text, "lorimand: " + text.toUtf8() + '\n'};
}

void MainWindow::translateChange(Direction direction, const ByteChange &change)
{
    if (updating_) {
        return;
    }
    noteUserEdit(direction);
    if (!autoTranslates()) {
        return;
    }
    const ByteTextEdit &source = direction == Direction::Encode ? *normal_ : *encoded_;
    const bool whole = change.from == 0 && change.added == source.byteCount();
    if (whole || !holdsTranslationBefore(direction)) {
        translate(direction, ByteTextEdit::History::Automatic);
        return;
    }
    const QScopedValueRollback updating(updating_, true);
    try {
        spliceTranslation(direction, change);
    } catch (const std::bad_alloc &) {
        translated_.reset();
        reportOutOfMemory();
    }
}

void MainWindow::noteUserEdit(Direction direction)
{
    lastSource_ = direction;
    (direction == Direction::Encode ? normalTyped_ : encodedTyped_) = true;
}

void MainWindow::followKey()
{
    const ByteTextEdit &source = lastSource_ == Direction::Encode ? *normal_ : *encoded_;
    if (autoTranslates() && source.byteCount() > kFollowsEachKeyUpTo) {
        keyPause_->start();
        return;
    }
    followSetting();
}

void MainWindow::followSetting()
{
    if (updating_ || !autoTranslates()) {
        return;
    }
    const BusyCursor busy;
    (void)translate(lastSource_, ByteTextEdit::History::Automatic);
}

void MainWindow::spliceTranslation(Direction direction, const ByteChange &change)
{
    const ByteTextEdit &source = direction == Direction::Encode ? *normal_ : *encoded_;
    ByteTextEdit &destination = direction == Direction::Encode ? *encoded_ : *normal_;
    const std::optional<Translation> translation = translationFor(direction);
    if (!translation) {
        return;
    }
    // A byte either side, for the table's CR LF rule.
    const std::size_t end = change.from + change.added;
    const std::size_t offset = change.from - std::min<std::size_t>(change.from, 1);
    const std::string around = source.bytesIn(offset, std::min(end + 1, source.byteCount()));
    TextChange text;
    text.around = around;
    text.offset = offset;
    text.begin = change.from - offset;
    text.end = end - offset;
    text.removed = change.removed;
    const TranslationSplice splice = translation->applyToChange(text);
    destination.spliceAutomatic(splice.from, splice.from + splice.removed, splice.bytes);
    noteTranslated(direction);
}

void MainWindow::noteTranslated(Direction direction)
{
    const ByteTextEdit &source = direction == Direction::Encode ? *normal_ : *encoded_;
    const ByteTextEdit &destination = direction == Direction::Encode ? *encoded_ : *normal_;
    translated_ = Translated{
        direction,     source.changeCount(), destination.changeCount(), useKey_->isChecked(),
        key_->bytes(), codeTables_};
}

bool MainWindow::holdsTranslationBefore(Direction direction) const
{
    if (!translated_ || translated_->useKey != useKey_->isChecked() ||
        !(translated_->useKey ? translated_->key == key_->bytes()
                              : translated_->tables == codeTables_)) {
        return false;
    }
    // The change just made is the source's only one since.
    const ByteTextEdit &source = direction == Direction::Encode ? *normal_ : *encoded_;
    const ByteTextEdit &destination = direction == Direction::Encode ? *encoded_ : *normal_;
    if (translated_->direction == direction) {
        return translated_->sourceChanges + 1 == source.changeCount() &&
               translated_->destinationChanges == destination.changeCount();
    }
    // A key's shift is undone exactly by the shift back, so the text it was
    // translated from is also the translation of what it became: an edit of
    // either needs only its change translated. A code table need not be so.
    return translated_->useKey && translated_->destinationChanges + 1 == source.changeCount() &&
           translated_->sourceChanges == destination.changeCount();
}

bool MainWindow::selfTestPasses()
{
    if (checkGenerator(generator_)) {
        return true;
    }
    reportGeneratorFailure();
    return false;
}

void MainWindow::reportGeneratorFailure()
{
    platform_.showMessage(dialogParent(), tr("Error"),
                          tr("Number error.  Please restart the program."));
    platform_.endProgram();
}

void MainWindow::loadCodeTable()
{
    // The entry keeps its name's bytes, which name the file.
    const std::string file =
        ProgramFiles(platform_, files_)
            .codeTableFile(codeName_->currentData().toByteArray().toStdString());
    std::optional<FileError> failure;
    {
        BusyCursor busy;
        const CodeTableLoad load = loadCodeTableFile(files_, file);
        // A table that cannot be read leaves the one loaded before in force.
        if (load.tables) {
            codeTables_ = *load.tables;
        }
        failure = load.error;
    }
    if (failure) {
        showError(tr("Error loading custom code.\n\n%1: %2")
                      .arg(fromNativePath(file), QString::fromStdString(failure->reason)));
    } else {
        warnIfUndecodable(file, codeTables_);
    }
}

bool MainWindow::startUp(std::string_view argumentText)
{
    if (!selfTestPasses()) {
        return false;
    }

    {
        // The greeting texts are nobody's typing, and the remembered key, mode
        // and table no change for Auto to follow.
        const QScopedValueRollback settingUp(updating_, true);
        autoUpdate_->setCheckState(Qt::Checked);
        const std::string rememberedName = applySettings();
        // After the settings, so that a translated greeting is written in the
        // character set Normal shows.
        for (const auto &[area, hint] :
             {std::pair{normal_, kNormalHint}, std::pair{encoded_, kEncodedHint}}) {
            std::string bytes;
            displaytext::appendBytes(tr(hint), bytes, area->charset());
            area->setBytes(std::move(bytes), ByteTextEdit::History::Fresh);
            area->selectWholeText();
        }
        fillCodeNameList();
        selectCodeTable(rememberedName);
    }

    if (const auto request = parseCommandLine(argumentText)) {
        translateCommandLineFile(*request);
    }
    return true;
}

void MainWindow::fillCodeNameList()
{
    // Filling the list selects nothing: selectCodeTable loads the table.
    codeName_->clear();
    for (const std::string &name : ProgramFiles(platform_, files_).codeTableNames()) {
        codeName_->addItem(shownTableName(name), QByteArray::fromStdString(name));
    }
    codeName_->setCurrentIndex(-1);
}

void MainWindow::refreshCodeNameList()
{
    const QVariant chosen = codeName_->currentData();
    fillCodeNameList();
    codeName_->setCurrentIndex(chosen.isValid() ? codeName_->findData(chosen) : -1);
}

void MainWindow::selectCodeTable(const std::string &rememberedName)
{
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(codeName_->count()));
    for (int i = 0; i < codeName_->count(); ++i) {
        names.push_back(codeName_->itemData(i).toByteArray().toStdString());
    }
    const std::optional<std::size_t> index = rememberedTable(names, rememberedName);
    if (!index) {
        return;
    }
    codeName_->setCurrentIndex(static_cast<int>(*index));
    loadCodeTable();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (saveSettings()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::showHelp()
{
    if (!help_) {
        auto help = std::make_unique<HelpWindow>(platform_, files_);
        BusyCursor busy;
        StepProgress progress(dialogParent(), tr("Opening the help ..."));
        if (!help->loadHelpText(progress.stage(0, 1000))) {
            return; // cancelled: no help window
        }
        // Opened over the main window, and on its screen whatever that screen's size.
        if (const QScreen *screen = this->screen()) {
            help->setGeometry(helpGeometryWithin(help->size(), frameGeometry().center(),
                                                 screen->availableGeometry()));
        }
        help_ = help.release();
    }
    help_->setWindowState(help_->windowState() & ~Qt::WindowMinimized);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::showError(const QString &text)
{
    platform_.showMessage(dialogParent(), tr("Error"), text);
}

QWidget *MainWindow::dialogParent()
{
    // Before the window first appears, a message stands on its own.
    return isVisible() ? this : nullptr;
}

} // namespace lorimand
