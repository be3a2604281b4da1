// tarnel-cli: the device link without windows, for scripts and for machines
// without a display.
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "tarnel_version.h"

namespace {
const char* const kUsage =
    "usage: tarnel-cli COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  search [--json]                       find the devices on the network and list them\n"
    "  show FILE [--json]                    list the devices of a device file\n"
    "  set-network MAC KEY=VALUE... --yes    change network settings (the device reboots)\n"
    "  set-info MAC KEY=VALUE...             change CONT, NAME, LOC or UNIQ\n"
    "  set-date MAC|all YYYY MM DD HH MM GMT set the date and time of one device, or of all\n"
    "  --help, --version\n"
    "\n"
    "A device is listed as its MAC, device name, T-ARC ID, serial and main IP, tab-separated.\n"
    "Exit status: 0 done (ACK), 1 refused (NAK), 2 no answer, 3 input refused,\n"
    "4 MAC not found, 5 the link or a file failed, 64 wrong usage.\n";
}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kUsage;
        return EXIT_USAGE;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "tarnel-cli " << TARNEL_PRODUCT_VERSION << " (" << TARNEL_FILE_VERSION << ")\n";
        return 0;
    }
    Options options;
    for (auto it = args.begin(); it != args.end();) {
        if (*it == "--json") options.Json = true;
        else if (*it == "--yes") options.Yes = true;
        else if (*it == "--help" || *it == "-h") options.Help = true;
        else {
            ++it;
            continue;
        }
        it = args.erase(it);
    }
    options.Progress = ::isatty(STDERR_FILENO) != 0;
    try {
        return RunCommand(command, args, options, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "tarnel-cli: " << e.what() << '\n';
        return EXIT_LINK;
    }
}
