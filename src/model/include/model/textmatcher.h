#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace qb {

class PrimaryFold;

// Locale-aware "contains" for a user-facing search: case-, diacritic- and width-insensitive
// (ICU primary strength). One matcher is built per query and reused across texts.
class TextMatcher {
public:
    struct Range {
        qsizetype start;  // UTF-16 offset
        qsizetype length; // UTF-16 units
        friend bool operator==(const Range &, const Range &) = default;
    };

    // `fold` spares texts beyond ASCII the collator when they cannot match; without one, the
    // matcher builds its own on the first such text.
    TextMatcher(const QString &query, const QString &localeId,
                std::shared_ptr<PrimaryFold> fold = nullptr);
    ~TextMatcher();
    TextMatcher(const TextMatcher &) = delete;
    TextMatcher &operator=(const TextMatcher &) = delete;

    QString query() const { return m_query; }
    // An empty query is contained in nothing.
    bool matches(QStringView text) const;
    // The same test on UTF-8 text, as a database stores it; plain-ASCII texts are matched
    // without converting them at all.
    bool matchesUtf8(const char *text, qsizetype size) const;
    QList<Range> ranges(const QString &text) const;

    // Whether plain-ASCII texts are matched without ICU (see the source for when that holds).
    bool hasAsciiShortcut() const { return m_asciiShortcut; }

private:
    struct Data;
    QString m_query;
    QByteArray m_asciiQuery; // lower-case, for the shortcut
    bool m_asciiShortcut = false;
    std::unique_ptr<Data> d;
};

} // namespace qb
