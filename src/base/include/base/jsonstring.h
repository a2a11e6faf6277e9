#pragma once

#include <QByteArray>
#include <QStringView>

namespace qb {

// Appends `text` to `json` as a quoted JSON string in UTF-8. Escaped: the quote, the backslash,
// \n \r \t, every other control character and DEL as \u00xx, and U+2028/U+2029 (line breaks
// to JavaScript). An unpaired surrogate, which UTF-8 cannot carry, becomes U+FFFD. The one
// string writer for every JSON this program lays out itself.
void appendJsonString(QByteArray &json, QStringView text);

} // namespace qb
