#include "arguments.h"

#include "store/persistence.h"

namespace qb::cli {

Outcome<Invocation> parseInvocation(const QStringList &arguments) {
    Invocation invocation;
    invocation.processArguments = arguments;
    qsizetype index = 1;
    for (; index < arguments.size(); ++index) {
        const QString &argument = arguments[index];
        if (argument == u"--json")
            invocation.json = true;
        else if (argument == u"--help" || argument == u"-h")
            invocation.help = true;
        else if (argument == u"--version")
            invocation.version = true;
        else if (argument == QLatin1String(persistence::cloudDisabledArgument))
            continue; // read by the store's start-up, like the app does
        else if (argument.startsWith(u'-'))
            return CliError::usage(QStringLiteral("unknown option %1").arg(argument));
        else
            break;
    }
    if (index < arguments.size()) {
        invocation.command = arguments[index];
        invocation.args = arguments.mid(index + 1);
    } else if (!invocation.help && !invocation.version) {
        return CliError::usage(QStringLiteral("no command given (try --help)"));
    }
    return invocation;
}

Outcome<CommandArguments> parseCommandArguments(const QStringList &args, const QStringList &flags,
                                                const QStringList &valued) {
    CommandArguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--") {
            parsed.operands += args.mid(i + 1);
            break;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            parsed.operands.append(arg);
            continue;
        }
        if (flags.contains(arg)) {
            parsed.flags.insert(arg);
        } else if (valued.contains(arg)) {
            if (i + 1 >= args.size())
                return CliError::usage(QStringLiteral("%1 needs a value").arg(arg));
            parsed.values.insert(arg, args[++i]);
        } else {
            return CliError::usage(QStringLiteral("unknown option %1").arg(arg));
        }
    }
    return parsed;
}

QString titleFromWords(const QStringList &words) {
    QString title = words.join(u' ');
    title.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (const char16_t lineBreak : {u'\n', u'\r', u'\v', u'\f', u'\u0085', u'\u2028', u'\u2029'})
        title.replace(QChar(lineBreak), u' ');
    return title;
}

} // namespace qb::cli
