// What a text area hands the clipboard: the characters of a selection as the
// area shows them ('\n' for each line break), as UTF-8 made from the bytes a
// piece at a time, never as one string of the whole selection.
//
// The X selection (PRIMARY) follows every selection the user makes, which
// changes with each Shift+arrow: it is offered without its text, which is made
// only when a program asks for it. Before the area's text changes, an offer
// keeps a copy of a selection up to kKeptBytes; a larger one is withdrawn.
#pragma once

#include <cstddef>
#include <optional>

#include <QMimeData>
#include <QPointer>

#include "text/textbuffer.h"
#include "ui/text/displaytext.h"

namespace lorimand {

// Bytes [from, to) of `text` as shown, for the clipboard.
[[nodiscard]] QMimeData *copiedText(const text::TextBuffer &text, std::size_t from, std::size_t to,
                                    displaytext::Charset charset);

class OfferedSelection final : public QMimeData
{
    Q_OBJECT

public:
    static constexpr std::size_t kKeptBytes = std::size_t{1} << 20;

    // Bytes [from, to) of `text`, which must stay as they are until
    // textChanging() is called, and live as long as `owner`.
    OfferedSelection(const QObject &owner, const text::TextBuffer &text, std::size_t from,
                     std::size_t to, displaytext::Charset charset);

    // Before the text changes, or goes with its owner.
    void textChanging();

    [[nodiscard]] QStringList formats() const override;
    [[nodiscard]] bool hasFormat(const QString &mimeType) const override;

protected:
    [[nodiscard]] QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    QPointer<const QObject> owner_;
    const text::TextBuffer *text_;
    std::size_t from_;
    std::size_t to_;
    displaytext::Charset charset_;
    std::optional<QByteArray> kept_;
    bool withdrawn_ = false;
};

} // namespace lorimand
