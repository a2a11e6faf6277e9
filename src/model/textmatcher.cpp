#include "textmatcher.h"

#include "icustring.h"

#include <unicode/coll.h>
#include <unicode/stsearch.h>
#include <unicode/tblcoll.h>

namespace qb {

struct TextMatcher::Data {
    std::unique_ptr<icu::RuleBasedCollator> collator;
    std::unique_ptr<icu::StringSearch> search;
    icu::UnicodeString pattern;
};

TextMatcher::TextMatcher(const QString &query, const QString &localeId)
    : m_query(query), d(std::make_unique<Data>()) {
    if (query.isEmpty())
        return;
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

bool TextMatcher::matches(const QString &text) const {
    if (!d->search || text.isEmpty())
        return false;
    UErrorCode status = U_ZERO_ERROR;
    d->search->setText(toIcu(text), status);
    if (U_FAILURE(status))
        return false;
    const int32_t position = d->search->first(status);
    return U_SUCCESS(status) && position != USEARCH_DONE;
}

QList<TextMatcher::Range> TextMatcher::ranges(const QString &text) const {
    QList<Range> found;
    if (!d->search || text.isEmpty())
        return found;
    UErrorCode status = U_ZERO_ERROR;
    d->search->setText(toIcu(text), status);
    for (int32_t position = d->search->first(status);
         U_SUCCESS(status) && position != USEARCH_DONE; position = d->search->next(status)) {
        found.append({position, d->search->getMatchedLength()});
    }
    return found;
}

} // namespace qb
