#pragma once

#include <QByteArray>
#include <QStringView>

namespace qb {

// Appends `text` to `json` as a quoted JSON string, byte for byte as QJsonDocument writes it:
// UTF-8; the quote, the backslash and control characters escaped (\b \f \n \r \t, others as
// \u00xx); an unpaired surrogate as \uxxxx. Without QJsonDocument's detour through a whole
// document, for writers that lay out their JSON themselves.
void appendJsonString(QByteArray &json, QStringView text);

} // namespace qb
