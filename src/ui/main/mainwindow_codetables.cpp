// Code tables of one's own: New Code Table makes one into the user's table
// folder and chooses it, and a table that cannot be decoded is pointed out once.
#include <string>
#include <system_error>
#include <vector>

#include <QAction>
#include <QLocale>
#include <QStringList>

#include "engine/files.h"
#include "engine/paths.h"
#include "engine/programdata.h"
#include "engine/tablecheck.h"
#include "engine/tablemaker.h"
#include "ui/conversions.h"
#include "ui/main/choicelist.h"
#include "ui/main/mainwindow.h"
#include "ui/main/newtabledialog.h"
#include "ui/platform.h"

namespace lorimand {
namespace {

// How many of a table's problems the message names; a table with a bad line
// may have hundreds.
constexpr std::size_t kProblemsShown = 8;

QString shownCode(unsigned char code)
{
    const std::string shown = codeShown(code);
    if (!shown.starts_with("code ")) {
        return QString::fromStdString(shown);
    }
    // Named in full: lupdate files a first MainWindow::tr of this file under a
    // context outside the namespace, which the window never looks up.
    return lorimand::MainWindow::tr("code %1").arg(code);
}

// The problems in the user's words, one a line.
QStringList problemLines(const TableCheck &check)
{
    QStringList lines;
    for (const TableClash &clash : check.clashes) {
        QStringList codes;
        for (const unsigned char code : clash.codes) {
            codes.append(shownCode(code));
        }
        lines.append(
            codes.size() == 2
                ? MainWindow::tr("Decoding cannot tell %1 from %2: both encode as %3")
                      .arg(codes[0], codes[1], shownCode(clash.encoded))
                : MainWindow::tr("Decoding cannot tell %1 apart: all encode as %2")
                      .arg(QLocale().createSeparatedList(codes), shownCode(clash.encoded)));
    }
    for (const TableMismatch &mismatch : check.mismatches) {
        lines.append(MainWindow::tr("%1 encodes as %2, which decodes as %3")
                         .arg(shownCode(mismatch.code), shownCode(mismatch.encoded),
                              shownCode(mismatch.decoded)));
    }
    for (const TableAfterCr &after : check.afterCr) {
        lines.append(
            MainWindow::tr("After a CR, %1 encodes as %2, which decodes as %3")
                .arg(shownCode(after.code), shownCode(after.encoded), shownCode(after.decoded)));
    }
    return lines;
}

} // namespace

void MainWindow::warnIfUndecodable(const std::string &file, const CodeTables &tables)
{
    const TableCheck check = checkTable(tables);
    if (check.decodable()) {
        return;
    }
    QStringList lines = problemLines(check);
    // Once for each table and what is wrong with it, however often it is chosen.
    if (!undecodableTablesShown_.insert(file + '\n' + lines.join(u'\n').toStdString()).second) {
        return;
    }
    const auto more = lines.size() - static_cast<qsizetype>(kProblemsShown);
    if (more > 0) {
        lines.resize(kProblemsShown);
        lines.append(tr("and %n more", nullptr, static_cast<int>(more)));
    }
    // The notice belongs to the window, also before the window first appears,
    // so that it closes with the window.
    platform_.showNotice(
        this, tr("Custom Code"),
        tr("The code table \"%1\" cannot be decoded:").arg(codeName_->currentText()) +
            QStringLiteral("\n\n") + lines.join(u'\n'));
}

void MainWindow::newCodeTable()
{
    const QString folder = platform_.userTableFolder();
    if (folder.isEmpty()) {
        showError(tr("There is no folder for your own code tables: neither XDG_DATA_HOME nor "
                     "HOME is set."));
        return;
    }
    SystemRandomSource random;
    NewTableDialog dialog(random, dialogParent());
    // A name taken or a failed write goes back to the dialog, the table kept.
    while (platform_.runDialog(dialog) == QDialog::Accepted) {
        const std::string tableFolder = nativePath(folder);
        const std::string fileName = codeTableFileName(nativePath(dialog.name()));
        if (findFileIn(files_, fileName, {tableFolder}) &&
            platform_.showMessage(
                dialogParent(), tr("New Code Table"),
                tr("You have a code table called \"%1\" already. Replace it?").arg(dialog.name()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
            continue;
        }
        if (const int error = makeOwnFolders(tableFolder); error != 0) {
            showFileError(tr("Cannot save \"%1\":\n%2"), systemError(tableFolder, error));
            continue;
        }
        if (const std::optional<FileError> error =
                files_.writeFile(fileIn(tableFolder, fileName), codeTableText(dialog.table()))) {
            showFileError(tr("Cannot save \"%1\":\n%2"), *error);
            continue;
        }
        refreshCodeNameList();
        const QByteArray name = QByteArray::fromStdString(
            fileName.substr(0, fileName.size() - kCodeTableSuffix.size()));
        const int entry = codeName_->findData(name);
        if (entry >= 0) {
            codeName_->setCurrentIndex(entry);
            loadCodeTable();
            followSetting();
        }
        return;
    }
}

} // namespace lorimand
