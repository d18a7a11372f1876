#include "ui/text/textclipboard.h"

namespace lorimand {

namespace {

const QString kPlainText = QStringLiteral("text/plain");

} // namespace

QMimeData *copiedText(const text::TextBuffer &text, std::size_t from, std::size_t to,
                      displaytext::Charset charset)
{
    auto *mime = new QMimeData;
    // Qt reads text/plain as UTF-8.
    mime->setData(kPlainText, displaytext::shownUtf8(text, from, to, charset));
    return mime;
}

OfferedSelection::OfferedSelection(const QObject &owner, const text::TextBuffer &text,
                                   std::size_t from, std::size_t to, displaytext::Charset charset)
    : owner_(&owner), text_(&text), from_(from), to_(to), charset_(charset)
{
}

void OfferedSelection::textChanging()
{
    if (kept_ || withdrawn_) {
        return;
    }
    if (to_ - from_ <= kKeptBytes) {
        kept_ = displaytext::shownUtf8(*text_, from_, to_, charset_);
    } else {
        withdrawn_ = true;
    }
}

QStringList OfferedSelection::formats() const
{
    return withdrawn_ ? QStringList() : QStringList{kPlainText};
}

bool OfferedSelection::hasFormat(const QString &mimeType) const
{
    return !withdrawn_ && mimeType == kPlainText;
}

QVariant OfferedSelection::retrieveData(const QString &mimeType, QMetaType /*type*/) const
{
    if (mimeType != kPlainText || withdrawn_) {
        return {};
    }
    if (kept_) {
        return *kept_;
    }
    // Without kept text the text is as it was offered, and its owner is there.
    if (owner_ == nullptr) {
        return {};
    }
    return displaytext::shownUtf8(*text_, from_, to_, charset_);
}

} // namespace lorimand
