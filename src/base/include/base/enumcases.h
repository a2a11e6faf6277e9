#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>

namespace qb {

// One row of a small enumeration's table: the case, its stored raw string, its display title
// and, where the UI shows one, its symbol name.
template <typename Enum> struct EnumCase {
    Enum value;
    const char16_t *raw;
    const char16_t *title;
    const char16_t *symbol = u"";
};

// Specialised next to each enumeration with `static constexpr std::array<EnumCase<Enum>, N>
// cases`, listed in case order.
template <typename Enum> struct EnumTable;

template <typename Enum>
concept TabledEnum = requires {
    EnumTable<Enum>::cases;
};

namespace detail {

template <TabledEnum Enum> const EnumCase<Enum> &caseOf(Enum value) {
    for (const EnumCase<Enum> &row : EnumTable<Enum>::cases) {
        if (row.value == value)
            return row;
    }
    return EnumTable<Enum>::cases.front(); // unreachable for a complete table
}

} // namespace detail

template <TabledEnum Enum> constexpr auto allCases() {
    constexpr auto &table = EnumTable<Enum>::cases;
    std::array<Enum, table.size()> cases{};
    for (std::size_t i = 0; i < table.size(); ++i)
        cases[i] = table[i].value;
    return cases;
}

template <TabledEnum Enum> QString rawValue(Enum value) {
    return QString::fromUtf16(detail::caseOf(value).raw);
}

template <TabledEnum Enum> QString title(Enum value) {
    return QString::fromUtf16(detail::caseOf(value).title);
}

// Symbol names; the UI maps them to icons.
template <TabledEnum Enum> QString symbolName(Enum value) {
    return QString::fromUtf16(detail::caseOf(value).symbol);
}

// The case whose raw string is exactly `raw`; none for any other string.
template <TabledEnum Enum> std::optional<Enum> caseFromRaw(QStringView raw) {
    for (const EnumCase<Enum> &row : EnumTable<Enum>::cases) {
        if (raw == QStringView(row.raw))
            return row.value;
    }
    return std::nullopt;
}

} // namespace qb
