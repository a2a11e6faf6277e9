#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <ostream>

// Readable GoogleTest failure messages for Qt values.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &texts, std::ostream *out) {
    *out << '[' << texts.join(QStringLiteral(", ")).toStdString() << ']';
}
inline void PrintTo(const QDateTime &moment, std::ostream *out) {
    *out << (moment.isValid() ? moment.toString(Qt::ISODateWithMs).toStdString() : "(absent)");
}
inline void PrintTo(const QUuid &id, std::ostream *out) {
    *out << id.toString().toStdString();
}
