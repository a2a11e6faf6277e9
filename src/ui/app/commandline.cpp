#include "commandline.h"

#include <string_view>

namespace qb {

namespace {

constexpr auto usage =
    "Usage: quillbrook [OPTION…] [URL…]\n"
    "Plan your day: to-dos for Today and Later, and what you got Done.\n"
    "\n"
    "  quillbrook://today     show Today\n"
    "  quillbrook://new       open a new to-do in Today\n"
    "A running Quill Brook takes the URLs and comes to the front.\n"
    "\n"
    "Options:\n"
    "  -cloudKitDisabled      open the store without the cloud mirror\n"
    "  --self-test            load the whole window, then quit (0 when it loaded)\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Scripts and launchers: see quillbrook-cli --help.\n";

} // namespace

std::optional<int> answerInformationalArguments(int argc, const char *const *argv, std::FILE *out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--help" || argument == "-h") {
            std::fputs(usage, out);
            return 0;
        }
        if (argument == "--version") {
            std::fputs("quillbrook " QB_VERSION "\n", out);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace qb
