#pragma once

#include "outcome.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace qb::cli {

// `quillbrook-cli [--json] [-cloudKitDisabled] COMMAND [ARGS]`, split up.
struct Invocation {
    bool json = false;
    bool help = false;
    bool version = false;
    QString command; // empty with --help or --version
    QStringList args;
    QStringList processArguments; // all of them, for the store's start-up
};

// `arguments` includes the program name first.
Outcome<Invocation> parseInvocation(const QStringList &arguments);

// A command's own options ("--name" or "--name VALUE", before a "--") and its operands.
struct CommandArguments {
    QSet<QString> flags;
    QHash<QString, QString> values;
    QStringList operands;
};

Outcome<CommandArguments> parseCommandArguments(const QStringList &args, const QStringList &flags,
                                                const QStringList &valued);

// Words joined by single spaces, every line break turned into one space: a title never holds
// a line break.
QString titleFromWords(const QStringList &words);

} // namespace qb::cli
