#include "model/textmatcher.h"

#include "asciisearch.h"
#include "icustring.h"
#include "model/primaryfold.h"

#include <unicode/coll.h>
#include <unicode/stsearch.h>
#include <unicode/tblcoll.h>

namespace qb {

namespace {

// Printable ASCII plus tab and line breaks: every one of these has its own primary weight in
// the root collation (none is ignorable), and letters differ from their other case only below
// primary strength. So for texts made only of them, primary-strength containment is plain
// case-insensitive containment, unless the locale tailors ASCII letter sequences into
// contractions (Danish "aa", Czech "ch", Hungarian "cs" …) or splits a letter from its other
// case (Turkish dotless i). The languages below do neither.
bool isPlainAscii(char16_t c) {
    return (c >= 0x20 && c <= 0x7e) || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isPlainAscii(QStringView text) {
    for (const QChar c : text) {
        if (!isPlainAscii(c.unicode()))
            return false;
    }
    return true;
}

bool languageWithoutAsciiContractions(const QString &localeId) {
    static const QStringList languages{
        QStringLiteral("en"), QStringLiteral("de"), QStringLiteral("fr"), QStringLiteral("it"),
        QStringLiteral("pt"), QStringLiteral("nl"), QStringLiteral("ru"), QStringLiteral("uk"),
        QStringLiteral("el"), QStringLiteral("ja"), QStringLiteral("zh"), QStringLiteral("ko"),
        QStringLiteral("he"), QStringLiteral("ar"), QStringLiteral("id"), QStringLiteral("ms"),
        QStringLiteral("ca"), QStringLiteral("ro"), QStringLiteral("bg"), QStringLiteral("hi"),
        QStringLiteral("th"), QStringLiteral("pl")};
    const QString language = localeId.section(u'_', 0, 0).section(u'-', 0, 0).toLower();
    return language.isEmpty() || languages.contains(language);
}

} // namespace

struct TextMatcher::Data {
    std::unique_ptr<icu::RuleBasedCollator> collator;
    std::unique_ptr<icu::StringSearch> search;
    icu::UnicodeString pattern;
    QString localeId;
    std::shared_ptr<PrimaryFold> fold;
    bool foldTried = false;
    std::string spelling;

    // False only when the text certainly does not contain `query` (plain ASCII, lower case).
    bool mayContain(const char *text, qsizetype size, std::string_view query) {
        if (!fold && !foldTried)
            fold = PrimaryFold::forLocale(localeId);
        foldTried = true;
        spelling.clear();
        if (!fold || !fold->spell(text, size, spelling))
            return true;
        return spelling.find(query) != std::string::npos;
    }
};

TextMatcher::TextMatcher(const QString &query, const QString &localeId,
                         std::shared_ptr<PrimaryFold> fold)
    : m_query(query)
    , d(std::make_unique<Data>()) {
    d->localeId = localeId;
    d->fold = std::move(fold);
    if (query.isEmpty())
        return;
    m_asciiShortcut =
        isPlainAscii(QStringView(query)) && languageWithoutAsciiContractions(localeId);
    if (m_asciiShortcut)
        m_asciiQuery = query.toLatin1().toLower();
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale(localeId.toUtf8().constData());
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    auto *ruleBased = dynamic_cast<icu::RuleBasedCollator *>(collator.get());
    if (U_FAILURE(status) || !ruleBased)
        return;
    collator.release();
    d->collator.reset(ruleBased);
    d->collator->setStrength(icu::Collator::PRIMARY);
    d->pattern = toIcu(query);
    // StringSearch needs a text to start with; each call sets the real one.
    static const icu::UnicodeString placeholder(u" ");
    d->search = std::make_unique<icu::StringSearch>(d->pattern, placeholder, d->collator.get(),
                                                    nullptr, status);
    if (U_FAILURE(status))
        d->search.reset();
}

TextMatcher::~TextMatcher() = default;

bool TextMatcher::matches(QStringView text) const {
    if (!d->search || text.isEmpty())
        return false;
    if (m_asciiShortcut && isPlainAscii(text))
        return text.contains(QStringView(m_query), Qt::CaseInsensitive);
    UErrorCode status = U_ZERO_ERROR;
    d->search->setText(icu::UnicodeString(reinterpret_cast<const char16_t *>(text.utf16()),
                                          static_cast<int32_t>(text.size())),
                       status);
    if (U_FAILURE(status))
        return false;
    const int32_t position = d->search->first(status);
    return U_SUCCESS(status) && position != USEARCH_DONE;
}

bool TextMatcher::matchesUtf8(const char *text, qsizetype size) const {
    if (!d->search || size <= 0)
        return false;
    if (m_asciiShortcut) {
        const std::string_view query(m_asciiQuery.constData(), size_t(m_asciiQuery.size()));
        if (ascii::isPlain(text, size))
            return ascii::containsIgnoringCase(text, size, query);
        if (!d->mayContain(text, size, query))
            return false;
    }
    return matches(QString::fromUtf8(text, size));
}

QList<TextMatcher::Range> TextMatcher::ranges(const QString &text) const {
    QList<Range> found;
    if (!d->search || text.isEmpty())
        return found;
    UErrorCode status = U_ZERO_ERROR;
    d->search->setText(toIcu(text), status);
    for (int32_t position = d->search->first(status); U_SUCCESS(status) && position != USEARCH_DONE;
         position = d->search->next(status)) {
        found.append({position, d->search->getMatchedLength()});
    }
    return found;
}

} // namespace qb
