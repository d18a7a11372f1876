// Find Key: the likeliest keys of the encoded text (or, in code-table mode, the
// likeliest tables), offered in a dialog; the one chosen decodes the text.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <QAction>
#include <QComboBox>
#include <QRadioButton>

#include "engine/codetablefile.h"
#include "engine/keyfinder.h"
#include "engine/keyshift.h"
#include "ui/busycursor.h"
#include "ui/main/bytelineedit.h"
#include "ui/main/choicelist.h"
#include "ui/main/findkeydialog.h"
#include "ui/main/mainwindow.h"
#include "ui/platform.h"
#include "ui/programfiles.h"
#include "ui/text/displaytext.h"

namespace lorimand {
namespace {

// How many candidates the dialog lists.
constexpr std::size_t kCandidates = 10;
// The bytes of the decoding a preview is made from, and of each of its lines.
constexpr std::size_t kPreviewBytes = 400;
constexpr std::size_t kPreviewLineBytes = 100;

// The first line or two of a decoding as the Normal area would show them.
QString previewOf(std::string_view decoded, displaytext::Charset charset)
{
    QString preview;
    std::size_t at = 0;
    for (int line = 0; line < 2 && at < decoded.size(); ++line) {
        const std::size_t end = std::min(decoded.find('\n', at), decoded.size());
        std::string_view text = decoded.substr(at, end - at);
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        if (text.size() > kPreviewLineBytes) {
            std::size_t cut = kPreviewLineBytes;
            // Not in the middle of a UTF-8 character.
            while (charset == displaytext::Charset::Utf8 && cut > 0 &&
                   (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
                --cut;
            }
            text = text.substr(0, cut);
        }
        if (line > 0) {
            preview += u'\n';
        }
        preview += displaytext::shownRun(text, charset).text;
        at = end + 1;
    }
    return preview;
}

} // namespace

void MainWindow::findKey()
{
    if (encoded_->byteCount() == 0) {
        platform_.showMessage(dialogParent(), tr("Find Key"),
                              tr("There is no encoded text to find the key of."));
        return;
    }
    const bool keyMode = useKey_->isChecked();
    if (keyMode && !selfTestPasses()) {
        return;
    }
    QList<FindKeyDialog::Candidate> shown;
    std::vector<std::string> keys;   // key mode: the key of each candidate
    std::vector<CodeTables> loaded;  // code-table mode: the tables that load,
    std::vector<int> entries;        // each one's entry in the list,
    std::vector<std::size_t> tables; // and the table of each candidate
    {
        const BusyCursor busy;
        // Only the sample is read out of the area: a text of any size ranks at once.
        std::vector<std::string> pieces;
        for (const SampleRange &range : rankingSample(encoded_->byteCount())) {
            pieces.push_back(encoded_->bytesIn(range.offset, range.offset + range.length));
        }
        const std::vector<std::string_view> sample(pieces.begin(), pieces.end());
        const std::string start =
            encoded_->bytesIn(0, std::min(encoded_->byteCount(), kPreviewBytes));
        const displaytext::Charset charset = normal_->charset();

        if (keyMode) {
            const Ranking<ShiftCandidate> ranking = rankShifts(sample);
            for (std::size_t i = 0; i < std::min(kCandidates, ranking.candidates.size()); ++i) {
                const int shift = ranking.candidates[i].shift;
                const std::string &key = keyForShift(shift);
                // A masked key stays hidden in the list too.
                const QString title =
                    key_->isMasked()
                        ? tr("Shift %1").arg(shift)
                        : tr("Shift %1, key %2").arg(shift).arg(displaytext::lineFromBytes(key));
                shown.append(
                    {title, previewOf(applyShift(start, shift, Direction::Decode), charset)});
                keys.push_back(key);
            }
        } else {
            // The tables as the list shows them when it opens: one just added counts.
            refreshCodeNameList();
            const ProgramFiles programFiles(platform_, files_);
            for (int i = 0; i < codeName_->count(); ++i) {
                const CodeTableLoad load = loadCodeTableFile(
                    files_,
                    programFiles.codeTableFile(codeName_->itemData(i).toByteArray().toStdString()));
                // A table that does not load is left out, as it could not decode.
                if (!load.error && load.tables) {
                    entries.push_back(i);
                    loaded.push_back(*load.tables);
                }
            }
            const Ranking<TableCandidate> ranking = rankTables(sample, loaded);
            for (const TableCandidate &candidate : ranking.candidates) {
                // The window decodes with a table's decode side only.
                if (candidate.direction != Direction::Decode ||
                    static_cast<std::size_t>(shown.size()) >= kCandidates) {
                    continue;
                }
                shown.append(
                    {codeName_->itemText(entries[candidate.table]),
                     previewOf(translateThroughTable(start, loaded[candidate.table].decodeTable),
                               charset)});
                tables.push_back(candidate.table);
            }
        }
    }
    if (shown.isEmpty()) {
        platform_.showMessage(dialogParent(), tr("Find Key"),
                              tr("There are no code tables to try."));
        return;
    }

    QString explanation =
        keyMode ? tr("The likeliest keys of the encoded text, best first. The key-shift mode has "
                     "only 255 shifts, which is why it hides a text only from a casual reader.")
                : tr("The code tables that decode the encoded text best, best first.");
    if (encoded_->byteCount() > kRankingSampleBytes) {
        explanation += u' ' + tr("A text this long is judged by a sample spread over all of it.");
    }
    FindKeyDialog dialog(explanation, shown, dialogParent());
    if (platform_.runDialog(dialog) != QDialog::Accepted || dialog.chosen() < 0) {
        return;
    }
    const auto chosen = static_cast<std::size_t>(dialog.chosen());
    if (keyMode) {
        key_->setBytes(keys[chosen]);
    } else {
        const std::size_t table = tables[chosen];
        codeName_->setCurrentIndex(entries[table]);
        codeTables_ = loaded[table];
    }
    decode();
}

} // namespace lorimand
