#include "ui/captions.h"

#include <QKeySequence>

namespace lorimand {

QString plainCaption(const QString &caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;
        }
        plain += caption[i];
    }
    return plain;
}

QString accessKeyToolTip(const QString &caption)
{
    const QKeySequence key = QKeySequence::mnemonic(caption);
    if (key.isEmpty()) {
        return plainCaption(caption);
    }
    return QStringLiteral("%1 (%2)").arg(plainCaption(caption),
                                         key.toString(QKeySequence::NativeText));
}

} // namespace lorimand
