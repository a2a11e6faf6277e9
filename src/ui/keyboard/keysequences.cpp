#include "keysequences.h"

#include <QKeySequence>

namespace qb {

QString KeySequences::nativeText(const QString &portable) {
    const QKeySequence sequence = QKeySequence::fromString(portable, QKeySequence::PortableText);
    return sequence.toString(QKeySequence::NativeText);
}

} // namespace qb
