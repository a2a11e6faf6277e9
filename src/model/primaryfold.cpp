#include "model/primaryfold.h"

#include "asciisearch.h"

#include <unicode/coleitr.h>
#include <unicode/coll.h>
#include <unicode/tblcoll.h>
#include <unicode/ucol.h>
#include <unicode/uniset.h>
#include <unicode/usetiter.h>
#include <unicode/utf8.h>

namespace qb {

namespace {

template <typename Visit>
void forEachPrimary(const icu::RuleBasedCollator &collator, const icu::UnicodeString &text,
                    Visit visit) {
    std::unique_ptr<icu::CollationElementIterator> elements(
        collator.createCollationElementIterator(text));
    if (!elements)
        return;
    UErrorCode status = U_ZERO_ERROR;
    for (int32_t element = elements->next(status);
         U_SUCCESS(status) && element != icu::CollationElementIterator::NULLORDER;
         element = elements->next(status)) {
        // Weights that are zero at primary strength are ignored by a primary-strength search.
        if (const int32_t primary = icu::CollationElementIterator::primaryOrder(element))
            visit(quint32(primary));
    }
}

} // namespace

PrimaryFold::PrimaryFold(std::unique_ptr<icu::RuleBasedCollator> collator)
    : m_collator(std::move(collator)) {}

PrimaryFold::~PrimaryFold() = default;

std::shared_ptr<PrimaryFold> PrimaryFold::forLocale(const QString &localeId) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(icu::Locale(localeId.toUtf8().constData()), status));
    auto *ruleBased = dynamic_cast<icu::RuleBasedCollator *>(collator.get());
    if (U_FAILURE(status) || !ruleBased)
        return nullptr;
    collator.release();
    std::shared_ptr<PrimaryFold> fold(
        new PrimaryFold(std::unique_ptr<icu::RuleBasedCollator>(ruleBased)));
    if (!fold->learnAsciiPrimaries())
        return nullptr;
    return fold;
}

bool PrimaryFold::learnAsciiPrimaries() {
    for (int c = 0; c < 0x80; ++c) {
        if (!ascii::isPlain(char(c)))
            continue;
        int primaries = 0;
        bool clash = false;
        const char lower = ascii::lower(char(c));
        forEachPrimary(*m_collator, icu::UnicodeString(char16_t(c)), [&](quint32 primary) {
            ++primaries;
            const auto known = m_asciiByPrimary.constFind(primary);
            clash = clash || (known != m_asciiByPrimary.cend() && *known != lower);
            m_asciiByPrimary.insert(primary, lower);
        });
        if (primaries != 1 || clash)
            return false;
    }
    return true;
}

// Every code point of every contraction (and prefix context) of the collator: its weights
// depend on its neighbours, so it cannot be spelled on its own. Learnt on the first text
// beyond ASCII, as it takes milliseconds.
bool PrimaryFold::learnContractions() {
    m_inContractions = std::make_unique<icu::UnicodeSet>();
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeSet contractions;
    ucol_getContractionsAndExpansions(m_collator->toUCollator(), contractions.toUSet(), nullptr,
                                      true, &status);
    if (U_FAILURE(status)) {
        // Nothing can be spelled then.
        m_inContractions->add(0, 0x10ffff);
        m_inContractions->freeze();
        return false;
    }
    for (icu::UnicodeSetIterator item(contractions); item.next();) {
        if (item.isString())
            m_inContractions->addAll(item.getString());
        else
            m_inContractions->add(item.getCodepoint());
    }
    m_inContractions->freeze();
    return true;
}

const PrimaryFold::Spelling &PrimaryFold::spellingOf(char32_t codePoint) {
    if (const auto found = m_spellings.constFind(codePoint); found != m_spellings.cend())
        return *found;
    if (!m_inContractions)
        learnContractions();
    Spelling spelling;
    spelling.known = !m_inContractions->contains(UChar32(codePoint));
    if (spelling.known) {
        forEachPrimary(*m_collator, icu::UnicodeString(UChar32(codePoint)), [&](quint32 primary) {
            spelling.ascii.push_back(m_asciiByPrimary.value(primary, foreignPrimary));
        });
    }
    return *m_spellings.insert(codePoint, spelling);
}

bool PrimaryFold::spell(const char *text, qsizetype size, std::string &out) {
    const auto *bytes = reinterpret_cast<const uint8_t *>(text);
    int32_t i = 0;
    const auto length = int32_t(size);
    while (i < length) {
        if (bytes[i] < 0x80 && ascii::isPlain(char(bytes[i]))) {
            out.push_back(ascii::lower(char(bytes[i])));
            ++i;
            continue;
        }
        UChar32 codePoint = 0;
        U8_NEXT(bytes, i, length, codePoint);
        if (codePoint < 0)
            return false;
        const Spelling &spelling = spellingOf(char32_t(codePoint));
        if (!spelling.known)
            return false;
        out += spelling.ascii;
    }
    return true;
}

} // namespace qb
