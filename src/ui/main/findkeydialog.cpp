#include "ui/main/findkeydialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lorimand {

FindKeyDialog::FindKeyDialog(const QString &explanation, const QList<Candidate> &candidates,
                             QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Find Key"));
    auto *layout = new QVBoxLayout(this);

    auto *label = new QLabel(explanation, this);
    label->setObjectName(QStringLiteral("Explanation"));
    label->setWordWrap(true);
    layout->addWidget(label);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("Candidates"));
    list_->setAccessibleName(tr("Candidates, best first"));
    // The previews are text to read, not headings: the window's bold is not theirs.
    QFont plain = list_->font();
    plain.setBold(false);
    list_->setFont(plain);
    list_->setAlternatingRowColors(true);
    for (const Candidate &candidate : candidates) {
        list_->addItem(candidate.title + u'\n' + candidate.preview);
    }
    label->setBuddy(list_);
    layout->addWidget(list_);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(tr("&Use"));
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(list_, &QListWidget::currentRowChanged, this,
            [this](int row) { buttons_->button(QDialogButtonBox::Ok)->setEnabled(row >= 0); });

    list_->setCurrentRow(candidates.isEmpty() ? -1 : 0);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!candidates.isEmpty());
    list_->setFocus();
    resize(560, 400);
}

int FindKeyDialog::chosen() const
{
    return list_->currentRow();
}

} // namespace lorimand
