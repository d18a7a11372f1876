// The Find Key dialog: the likeliest keys (or code tables) of the encoded text,
// best first, each with the start of its decoding; the user picks one or cancels.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QDialogButtonBox;
class QListWidget;

namespace lorimand {

class FindKeyDialog : public QDialog
{
    Q_OBJECT

public:
    struct Candidate
    {
        QString title;   // the shift and key, or the table
        QString preview; // the first line or two of its decoding
    };

    FindKeyDialog(const QString &explanation, const QList<Candidate> &candidates,
                  QWidget *parent = nullptr);

    // The candidate chosen (its place in the list), or -1 when none is.
    [[nodiscard]] int chosen() const;

private:
    QListWidget *list_ = nullptr;
    QDialogButtonBox *buttons_ = nullptr;
};

} // namespace lorimand
