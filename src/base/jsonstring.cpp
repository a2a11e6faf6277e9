#include "base/jsonstring.h"

namespace qb {

namespace {

char hexDigit(unsigned value) {
    return "0123456789abcdef"[value & 0xf];
}

void appendUnicodeEscape(QByteArray &json, char16_t unit) {
    const char escape[] = {
        '\\',           'u', hexDigit(unit >> 12), hexDigit(unit >> 8), hexDigit(unit >> 4),
        hexDigit(unit), '\0'};
    json += escape;
}

void appendAsciiEscape(QByteArray &json, char16_t unit) {
    switch (unit) {
    case u'"':
        json += "\\\"";
        return;
    case u'\\':
        json += "\\\\";
        return;
    case u'\b':
        json += "\\b";
        return;
    case u'\f':
        json += "\\f";
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
        appendUnicodeEscape(json, unit);
    }
}

bool needsEscape(char16_t unit) {
    return unit < 0x20 || unit == u'"' || unit == u'\\';
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
        if (unit < 0x80) {
            if (needsEscape(unit))
                appendAsciiEscape(json, unit);
            else
                json += char(unit);
        } else if (!QChar::isSurrogate(unit)) {
            appendUtf8(json, unit);
        } else if (QChar::isHighSurrogate(unit) && at + 1 != end && QChar::isLowSurrogate(at[1])) {
            appendUtf8(json, QChar::surrogateToUcs4(unit, at[1]));
            ++at;
        } else {
            appendUnicodeEscape(json, unit);
        }
    }
    json += '"';
}

} // namespace qb
