// The New Code Table dialog: the kind of table, its shift or keyword, a name,
// and a sample sentence through the table that Save would write. The dialog makes
// the table; the window writes it.
#pragma once

#include <QDialog>
#include <QString>

#include "engine/tablemaker.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace lorimand {

// Why a table cannot have this name, in words for the dialog; empty when it can.
// The name becomes the file NAME.sbt in the user's table folder.
[[nodiscard]] QString tableNameProblem(const QString &name);

class NewTableDialog : public QDialog
{
    Q_OBJECT

public:
    // The sentence the preview shows through the table.
    static const char *const kSample;

    explicit NewTableDialog(RandomSource &random, QWidget *parent = nullptr);

    // The table Save writes: the one the preview shows.
    [[nodiscard]] const MadeTable &table() const { return table_; }
    [[nodiscard]] QString name() const;

private:
    [[nodiscard]] TableRecipe recipe() const;
    // Makes the table afresh for the kind and its setting, and shows it.
    void remake();
    // What stands in the way of saving, and whether Save may go, for the table
    // and the name as they are.
    void showState();

    RandomSource &random_;
    MadeTable table_;
    // Why there is no table to save (a keyword that will not do, no random
    // numbers); empty when table_ is the one shown.
    QString tableProblem_;
    QComboBox *kind_ = nullptr;
    QSpinBox *shift_ = nullptr;
    QLineEdit *keyword_ = nullptr;
    QPushButton *shuffleAgain_ = nullptr;
    QLineEdit *name_ = nullptr;
    QLabel *preview_ = nullptr;
    QLabel *problem_ = nullptr;
    QDialogButtonBox *buttons_ = nullptr;
};

} // namespace lorimand
