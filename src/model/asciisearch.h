#pragma once

#include <QtGlobal>

#include <bit>
#include <cstring>
#include <string_view>

// Case-insensitive search of plain ASCII in byte strings, eight bytes at a time: search runs
// it over every to-do of a store on each keystroke.
namespace qb::ascii {

namespace detail {

inline constexpr quint64 ones = 0x0101010101010101ULL;
inline constexpr quint64 highBits = 0x8080808080808080ULL;

inline quint64 load(const char *p) {
    quint64 word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The high bit of each byte below `limit` (< 0x80) in a word of bytes below 0x80 is set; bits
// above the lowest such byte may be set falsely, so callers check the bytes themselves.
inline quint64 bytesBelow(quint64 word, unsigned limit) {
    return (word - ones * limit) & ~word & highBits;
}

} // namespace detail

inline char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Printable ASCII, tab and line breaks.
inline bool isPlain(char c) {
    return (c >= 0x20 && c <= 0x7e) || c == '\t' || c == '\n' || c == '\r';
}

inline bool isPlain(const char *text, qsizetype size) {
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        const quint64 word = detail::load(text + i);
        if (word & detail::highBits)
            return false;
        // Control characters are rare; only then are the eight bytes looked at one by one.
        if (detail::bytesBelow(word, 0x20) || detail::bytesBelow(word ^ (detail::ones * 0x7f), 1)) {
            for (int j = 0; j < 8; ++j) {
                if (!isPlain(text[i + j]))
                    return false;
            }
        }
    }
    for (; i < size; ++i) {
        if (!isPlain(text[i]))
            return false;
    }
    return true;
}

// Whether `text` contains `query` ignoring the case of ASCII letters; `query` is lower case
// and not empty.
inline bool containsIgnoringCase(const char *text, qsizetype size, std::string_view query) {
    const auto length = qsizetype(query.size());
    if (length == 0 || length > size)
        return false;
    const char first = query.front();
    const bool letter = first >= 'a' && first <= 'z';
    const auto matchesAt = [&](qsizetype at) {
        for (qsizetype j = 1; j < length; ++j) {
            if (lower(text[at + j]) != query[size_t(j)])
                return false;
        }
        return true;
    };
    const qsizetype last = size - length; // the last start that fits
    // Folding 0x20 into every byte makes both cases of a letter equal to its lower case.
    const quint64 fold = letter ? detail::ones * 0x20 : 0;
    const quint64 wanted = detail::ones * quint8(first);
    qsizetype i = 0;
    for (; i + 8 <= last + 1; i += 8) {
        const quint64 word = (detail::load(text + i) | fold) ^ wanted;
        // Bytes equal to `first` become zero and are all flagged; a borrow may flag a byte
        // above one of them falsely, which the check of the byte itself weeds out.
        quint64 candidates = (word - detail::ones) & ~word & detail::highBits;
        while (candidates) {
            const qsizetype at = i + std::countr_zero(candidates) / 8;
            if (lower(text[at]) == first && matchesAt(at))
                return true;
            candidates &= candidates - 1;
        }
    }
    for (; i <= last; ++i) {
        if (lower(text[i]) == first && matchesAt(i))
            return true;
    }
    return false;
}

} // namespace qb::ascii
