#pragma once

#include <QString>
#include <QStringList>

namespace qb::cli {

// The preferences files QSettings reads for this program, the user's own first.
struct PreferencesFiles {
    QString user;
    QStringList fallbacks;

    // Where QSettings, set up with the program's organization and application names, looks.
    static PreferencesFiles forThisProgram();
};

// Whether the preferences ask nothing of a client run: no sync account, and the scheduled-date
// backfill done. Told from the user's file read as text, as QSettings writes it, and only when
// no fallback file exists; whatever it cannot be sure of counts as unsettled, and the caller
// reads the preferences through QSettings instead, which costs a tenth of a short command.
bool preferencesAreSettled(const PreferencesFiles &files);

} // namespace qb::cli
