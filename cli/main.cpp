// tarnel-cli: the device link without windows, for scripts and for machines
// without a display.
#include <net/if.h>
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
    "--interface NAME  broadcast on that network interface only (default: on every\n"
    "                  interface that is up and can broadcast)\n"
    "\n"
    "A device is listed as its MAC, device name, T-ARC ID, serial and main IP, tab-separated.\n"
    "Exit status: 0 done (ACK), 1 refused (NAK), 2 no answer, 3 input refused,\n"
    "4 MAC not found, 5 the link or a file failed, 64 wrong usage.\n";
}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // Options may stand anywhere; what remains is the command and its arguments.
    Options options;
    bool version = false;
    for (auto it = args.begin(); it != args.end();) {
        if (*it == "--interface") {
            if (it + 1 == args.end() || ::if_nametoindex((it + 1)->c_str()) == 0) {
                std::cerr << "tarnel-cli: --interface needs the name of a network interface of this machine\n";
                return EXIT_USAGE;
            }
            options.Interface = *(it + 1);
            it = args.erase(it, it + 2);
            continue;
        }
        if (*it == "--json") options.Json = true;
        else if (*it == "--yes") options.Yes = true;
        else if (*it == "--help" || *it == "-h") options.Help = true;
        else if (*it == "--version") version = true;
        else {
            ++it;
            continue;
        }
        it = args.erase(it);
    }
    if (version) {
        std::cout << "tarnel-cli " << TARNEL_PRODUCT_VERSION << " (" << TARNEL_FILE_VERSION << ")\n";
        return 0;
    }
    if (args.empty() || args.front() == "help") {
        (options.Help || !args.empty() ? std::cout : std::cerr) << kUsage;
        return options.Help || !args.empty() ? 0 : EXIT_USAGE;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    options.Progress = ::isatty(STDERR_FILENO) != 0;
    try {
        return RunCommand(command, args, options, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "tarnel-cli: " << e.what() << '\n';
        return EXIT_LINK;
    }
}
