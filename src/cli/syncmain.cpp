#include "run.h"

// quillbrook-cli-sync: the client with the sync commands, which quillbrook-cli hands them to.
int main(int argc, char *argv[]) {
    qb::cli::runProcess(argc, argv, {qb::cli::syncCommand, true}, qb::cli::EventLoop::Used);
}
