#include "model/changekind.h"

namespace qb {

namespace {

struct KindInfo {
    const char16_t *raw;
    const char16_t *title;
    const char16_t *symbol;
};

constexpr std::array<KindInfo, changeKindCount> kinds{{
    {u"created", u"Created", u"plus.circle"},
    {u"titleEdited", u"Renamed", u"pencil"},
    {u"notesEdited", u"Notes edited", u"note.text"},
    {u"movedToToday", u"Moved to Today", u"sun.horizon"},
    {u"movedToLater", u"Moved to Later", u"tray"},
    {u"scheduled", u"Scheduled", u"calendar"},
    {u"dateCleared", u"Moved to Later", u"tray"},
    {u"completed", u"Completed", u"checkmark.circle"},
    {u"reopened", u"Reopened", u"arrow.uturn.backward"},
    {u"repeatSet", u"Set to repeat", u"repeat"},
    {u"repeatCleared", u"Repeat off", u"xmark"},
}};

const KindInfo &info(ChangeKind kind) {
    return kinds[static_cast<std::size_t>(kind)];
}

} // namespace

QString rawValue(ChangeKind kind) {
    return QString::fromUtf16(info(kind).raw);
}

ChangeKind changeKindFromRaw(const QString &raw) {
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (raw == QStringView(kinds[i].raw))
            return static_cast<ChangeKind>(i);
    }
    return ChangeKind::Created;
}

QString title(ChangeKind kind) {
    return QString::fromUtf16(info(kind).title);
}

QString symbolName(ChangeKind kind) {
    return QString::fromUtf16(info(kind).symbol);
}

} // namespace qb
