#pragma once

namespace qb {

// Every UTF-16 code unit QChar::isSpace() counts as white space, which QString::trimmed()
// removes: for code that applies the same rule where Qt is not at hand, such as SQL's trim().
inline constexpr char16_t whitespaceCharacters[] =
    u"\t\n\v\f\r \u0085\u00A0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007\u2008"
    u"\u2009\u200A\u2028\u2029\u202F\u205F\u3000";

} // namespace qb
