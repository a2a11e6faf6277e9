#include "base/jsonstring.h"

namespace qb {

namespace {

constexpr char16_t replacementCharacter = 0xfffd;

void appendUnicodeEscape(QByteArray &json, char16_t unit) {
    constexpr char hex[] = "0123456789abcdef";
    const char escape[] = {'\\',
                           'u',
                           hex[(unit >> 12) & 0xf],
                           hex[(unit >> 8) & 0xf],
                           hex[(unit >> 4) & 0xf],
                           hex[unit & 0xf],
                           '\0'};
    json += escape;
}

void appendAscii(QByteArray &json, char16_t unit) {
    switch (unit) {
    case u'"':
        json += "\\\"";
        return;
    case u'\\':
        json += "\\\\";
        return;
    case u'\n':
        json += "\\n";
        return;
    case u'\r':
        json += "\\r";
        return;
    case u'\t':
        json += "\\t";
        return;
    default:
        if (unit < 0x20 || unit == 0x7f)
            appendUnicodeEscape(json, unit);
        else
            json += char(unit);
    }
}

void appendUtf8(QByteArray &json, char32_t codePoint) {
    if (codePoint < 0x800) {
        json += char(0xc0 | (codePoint >> 6));
    } else if (codePoint < 0x10000) {
        json += char(0xe0 | (codePoint >> 12));
        json += char(0x80 | ((codePoint >> 6) & 0x3f));
    } else {
        json += char(0xf0 | (codePoint >> 18));
        json += char(0x80 | ((codePoint >> 12) & 0x3f));
        json += char(0x80 | ((codePoint >> 6) & 0x3f));
    }
    json += char(0x80 | (codePoint & 0x3f));
}

} // namespace

void appendJsonString(QByteArray &json, QStringView text) {
    json.reserve(json.size() + text.size() + 2);
    json += '"';
    const char16_t *const end = text.utf16() + text.size();
    for (const char16_t *at = text.utf16(); at != end; ++at) {
        const char16_t unit = *at;
        if (unit < 0x80)
            appendAscii(json, unit);
        else if (unit == 0x2028 || unit == 0x2029)
            appendUnicodeEscape(json, unit);
        else if (!QChar::isSurrogate(unit))
            appendUtf8(json, unit);
        else if (QChar::isHighSurrogate(unit) && at + 1 != end && QChar::isLowSurrogate(at[1]))
            appendUtf8(json, QChar::surrogateToUcs4(unit, *++at));
        else
            appendUtf8(json, replacementCharacter);
    }
    json += '"';
}

} // namespace qb
