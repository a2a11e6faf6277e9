#pragma once

#include "commands.h"

#include <QStringList>

namespace qb::cli {

// A command: what it does, and whether it is given the open store.
struct Command {
    Reply (*function)(const Request &);
    bool needsStore = true;
};

// Runs one invocation (arguments include the program name): prints the reply on standard
// output or one "quillbrook-cli: " line on standard error, and returns the exit status. `sync`
// serves the sync command, which each program brings: the one that links the network runs it,
// the client hands it over to that program.
int run(const QStringList &arguments, Command sync);

// Whether a program runs Qt's event loop, which needs the application object. The client runs
// each command straight through and does without it: setting one up (event dispatcher, logging
// rules, library paths) costs about a twentieth of a short command.
enum class EventLoop { Unused, Used };

// The whole process around run(): checks the arguments are text, sets up Qt Core, and ends the
// process once everything is written and closed.
[[noreturn]] void runProcess(int argc, char *argv[], Command sync, EventLoop loop);

} // namespace qb::cli
