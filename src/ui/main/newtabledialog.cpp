#include "ui/main/newtabledialog.h"

#include <system_error>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/codetable.h"
#include "ui/conversions.h"

namespace lorimand {

namespace {

// The kinds as the list offers them, in the engine's order.
const char *const kKindTitles[] = {
    QT_TRANSLATE_NOOP("lorimand::NewTableDialog", "Shuffle the letters"),
    QT_TRANSLATE_NOOP("lorimand::NewTableDialog", "Shuffle every printable character"),
    QT_TRANSLATE_NOOP("lorimand::NewTableDialog", "Shift the letters (ROT-N)"),
    QT_TRANSLATE_NOOP("lorimand::NewTableDialog", "Reverse the alphabet"),
    QT_TRANSLATE_NOOP("lorimand::NewTableDialog", "Keyword alphabet"),
};
static_assert(std::size(kKindTitles) == kTableKinds.size());

// File names longer than this are refused by most file systems.
constexpr qsizetype kLongestFileName = 255;

} // namespace

// Each language shows a sentence of its own that holds its whole alphabet.
const char *const NewTableDialog::kSample =
    QT_TRANSLATE_NOOP("lorimand::NewTableDialog", "The quick brown fox jumps over the lazy dog.");

QString tableNameProblem(const QString &name)
{
    if (name.trimmed().isEmpty()) {
        return NewTableDialog::tr("Give the table a name.");
    }
    if (name.contains(u'/') || name.contains(QChar(0))) {
        return NewTableDialog::tr("A name cannot hold \"/\".");
    }
    if (name.startsWith(u'.')) {
        return NewTableDialog::tr(
            "A name cannot start with a dot: the list leaves such files out.");
    }
    if (name.trimmed() != name) {
        return NewTableDialog::tr("A name cannot start or end with a blank.");
    }
    if (name.toUtf8().size() + qsizetype{4} > kLongestFileName) {
        return NewTableDialog::tr("The name is too long for a file name.");
    }
    return {};
}

NewTableDialog::NewTableDialog(RandomSource &random, QWidget *parent)
    : QDialog(parent), random_(random)
{
    setWindowTitle(tr("New Code Table"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("TableKind"));
    for (std::size_t i = 0; i < kTableKinds.size(); ++i) {
        kind_->addItem(tr(kKindTitles[i]), static_cast<int>(kTableKinds[i]));
    }
    form->addRow(tr("&Kind:"), kind_);

    shift_ = new QSpinBox(this);
    shift_->setObjectName(QStringLiteral("TableShift"));
    shift_->setRange(kFirstShift, kLastShift);
    shift_->setValue(kDefaultShift);
    form->addRow(tr("S&hift by:"), shift_);

    keyword_ = new QLineEdit(this);
    keyword_->setObjectName(QStringLiteral("TableKeyword"));
    form->addRow(tr("Key&word:"), keyword_);

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("TableName"));
    form->addRow(tr("&Name:"), name_);

    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("Preview"));
    preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    preview_->setWordWrap(true);
    auto *previewRow = new QHBoxLayout;
    previewRow->addWidget(preview_, 1);
    shuffleAgain_ = new QPushButton(tr("Shuffle &Again"), this);
    shuffleAgain_->setObjectName(QStringLiteral("ShuffleAgain"));
    shuffleAgain_->setAutoDefault(false);
    previewRow->addWidget(shuffleAgain_);
    form->addRow(tr("Preview:"), previewRow);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("Problem"));
    problem_->setWordWrap(true);
    layout->addWidget(problem_);

    auto *note = new QLabel(tr("A code table is a simple substitution: counting letters breaks "
                               "it. It hides a text from a casual reader only."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(kind_, &QComboBox::currentIndexChanged, this, &NewTableDialog::remake);
    connect(shift_, &QSpinBox::valueChanged, this, &NewTableDialog::remake);
    connect(keyword_, &QLineEdit::textChanged, this, &NewTableDialog::remake);
    connect(shuffleAgain_, &QPushButton::clicked, this, &NewTableDialog::remake);
    connect(name_, &QLineEdit::textChanged, this, &NewTableDialog::showState);

    remake();
    kind_->setFocus();
}

QString NewTableDialog::name() const
{
    return name_->text();
}

TableRecipe NewTableDialog::recipe() const
{
    TableRecipe recipe;
    recipe.kind = static_cast<TableKind>(kind_->currentData().toInt());
    recipe.shift = shift_->value();
    recipe.keyword = keyword_->text().toStdString();
    return recipe;
}

void NewTableDialog::remake()
{
    const TableRecipe made = recipe();
    shift_->setEnabled(made.kind == TableKind::ShiftLetters);
    keyword_->setEnabled(made.kind == TableKind::KeywordAlphabet);
    shuffleAgain_->setEnabled(isRandomKind(made.kind));
    tableProblem_.clear();
    if (recipeProblem(made)) {
        tableProblem_ = tr("A keyword holds one or more of the letters a to z, and nothing else.");
    } else {
        try {
            table_ = makeTable(made, random_);
        } catch (const std::system_error &) {
            tableProblem_ = tr("The system gives no random numbers, so no table can be "
                               "shuffled.");
        }
    }
    if (tableProblem_.isEmpty()) {
        const CodeTables tables = codeTablesOf(table_);
        preview_->setText(
            fromCharset(translateThroughTable(toCharset(tr(kSample)), tables.encodeTable)));
    } else {
        preview_->clear();
    }
    showState();
}

void NewTableDialog::showState()
{
    const QString nameProblem = tableNameProblem(name_->text());
    // An empty name is where every table starts: no need to say so.
    problem_->setText(!tableProblem_.isEmpty()  ? tableProblem_
                      : name_->text().isEmpty() ? QString()
                                                : nameProblem);
    buttons_->button(QDialogButtonBox::Save)
        ->setEnabled(tableProblem_.isEmpty() && nameProblem.isEmpty());
}

} // namespace lorimand
