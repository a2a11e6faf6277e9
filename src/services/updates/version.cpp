#include "updates/version.h"

#include <QList>

namespace qb {

namespace {

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Compares digit strings of any length without converting them, so no number overflows.
int compareDigits(QStringView a, QStringView b) {
    while (a.startsWith(u'0'))
        a = a.mid(1);
    while (b.startsWith(u'0'))
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return sign(a.compare(b));
}

int compareComponents(QStringView a, QStringView b) {
    auto digitCount = [](QStringView text) {
        qsizetype count = 0;
        while (count < text.size() && text[count].isDigit())
            ++count;
        return count;
    };
    const qsizetype aDigits = digitCount(a);
    const qsizetype bDigits = digitCount(b);
    if (const int byNumber = compareDigits(a.first(aDigits), b.first(bDigits)); byNumber != 0)
        return byNumber;
    const QStringView aRest = a.sliced(aDigits);
    const QStringView bRest = b.sliced(bDigits);
    if (aRest.isEmpty() || bRest.isEmpty())
        return aRest.isEmpty() == bRest.isEmpty() ? 0 : (aRest.isEmpty() ? 1 : -1);
    return sign(aRest.compare(bRest));
}

} // namespace

int compareVersions(QStringView a, QStringView b) {
    const QList<QStringView> aParts = a.trimmed().split(u'.');
    const QList<QStringView> bParts = b.trimmed().split(u'.');
    const qsizetype count = std::max(aParts.size(), bParts.size());
    for (qsizetype i = 0; i < count; ++i) {
        const QStringView aPart = i < aParts.size() ? aParts[i] : QStringView(u"0");
        const QStringView bPart = i < bParts.size() ? bParts[i] : QStringView(u"0");
        if (const int order = compareComponents(aPart, bPart); order != 0)
            return order;
    }
    return 0;
}

} // namespace qb
