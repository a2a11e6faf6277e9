#pragma once

#include <QHash>
#include <QString>

#include <unicode/uversion.h>

#include <memory>
#include <string>

U_NAMESPACE_BEGIN
class RuleBasedCollator;
class UnicodeSet;
U_NAMESPACE_END

namespace qb {

// Spells each code point as the lower-case ASCII characters that carry the same primary
// weights under one collator: "é" is "e", a soft hyphen is nothing, "→" is a byte that no ASCII
// query contains. A plain-ASCII query found at primary strength in a text is then always
// found, byte for byte, in the text's spelling, so a spelling without the query proves there is
// no match without running the collator. A match in the spelling may still be a false one.
class PrimaryFold {
public:
    static constexpr char foreignPrimary = '\xff';

    // Null when the locale's collator gives some printable ASCII character anything but one
    // primary weight of its own (up to case): then no spelling is trustworthy. Building one
    // costs a few milliseconds, so it is meant to be shared by every query in that locale.
    static std::shared_ptr<PrimaryFold> forLocale(const QString &localeId);

    ~PrimaryFold();
    PrimaryFold(const PrimaryFold &) = delete;
    PrimaryFold &operator=(const PrimaryFold &) = delete;

    // Appends the spelling of UTF-8 `text` to `out`. False when some code point is invalid or
    // takes part in a contraction, whose weights depend on its neighbours.
    bool spell(const char *text, qsizetype size, std::string &out);

private:
    struct Spelling {
        bool known = false;
        std::string ascii;
    };

    explicit PrimaryFold(std::unique_ptr<icu::RuleBasedCollator> collator);
    bool learnAsciiPrimaries();
    bool learnContractions();
    const Spelling &spellingOf(char32_t codePoint);

    std::unique_ptr<icu::RuleBasedCollator> m_collator;
    QHash<quint32, char> m_asciiByPrimary; // 16-bit primary order → lower-case character
    std::unique_ptr<icu::UnicodeSet> m_inContractions;
    QHash<char32_t, Spelling> m_spellings;
};

} // namespace qb
