#include "Commands.h"

#include "Host.h"
#include "Output.h"
#include "Setcmds.h"
#include "Strings.h"

namespace {
void PrintDevices(const TmTable& table, const Options& options, std::ostream& out) {
    if (options.Json) PrintJson(out, table.Rows());
    else PrintRows(out, table.Rows());
}

int Search(const Options& options, std::ostream& out, std::ostream& err) {
    HeadlessHost host({}, options.Interface);
    if (!BringUpAndSearch(host, SearchPlan::CYCLES, options, err)) return EXIT_LINK;
    PrintDevices(host.Table, options, out);
    return 0;
}

int Show(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: tarnel-cli show FILE [--json]\n";
        return EXIT_USAGE;
    }
    // Only the file is read: no program directories are made for it.
    TmTable table;
    const DeviceFileRead read = LoadDeviceFile(table, args[0]);
    if (read.Outcome == DeviceFileOutcome::CannotRead) {
        err << "tarnel-cli: cannot read " << args[0] << ": " << read.Reason << '\n';
        return EXIT_LINK;
    }
    if (read.Outcome == DeviceFileOutcome::NotDeviceFile) {
        err << "tarnel-cli: " << args[0] << " is not a device file\n";
        return EXIT_LINK;
    }
    PrintDevices(table, options, out);
    if (read.LeftOut > 0)
        err << "tarnel-cli: " << args[0] << " holds more devices than a list can hold; devices left out: "
            << read.LeftOut << '\n';
    return 0;
}
}  // namespace

bool BringUpAndSearch(HeadlessHost& host, int cycles, const Options& options, std::ostream& err) {
    if (!host.BringUp()) {
        err << "tarnel-cli: the network link could not be started\n";
        return false;
    }
    const int steps = 2 * cycles;
    host.Table.TakeLeftOut();
    host.Search(cycles, [&](int progress) {
        if (options.Progress) err << "\rsearching... " << progress << '/' << steps << std::flush;
    });
    if (options.Progress) err << "\r\033[K" << std::flush;
    if (const uint32_t leftOut = host.Table.TakeLeftOut()) err << "tarnel-cli: " << ListFullText(leftOut) << '\n';
    return true;
}

int RunCommand(const std::string& command, const std::vector<std::string>& args, const Options& options,
               std::ostream& out, std::ostream& err) {
    if (command == "search") {
        if (options.Help || !args.empty()) {
            (options.Help ? out : err) << "usage: tarnel-cli search [--json]\n"
                                          "Searches the network for about nine seconds and lists the devices.\n";
            return options.Help ? 0 : EXIT_USAGE;
        }
        return Search(options, out, err);
    }
    if (command == "show") {
        if (options.Help) {
            out << "usage: tarnel-cli show FILE [--json]\nLists the devices of a device file.\n";
            return 0;
        }
        return Show(args, options, out, err);
    }
    if (command == "set-network" || command == "set-info" || command == "set-date") {
        if (options.Help) {
            out << (command == "set-network"
                        ? "usage: tarnel-cli set-network MAC KEY=VALUE... --yes\n"
                          "KEY: IPADRM IPADRB GPID GWAY MASK TRAP1 TRAP2 TERM LOG OPTIP OPTIP2 OPTIP3 OPT1 OPT2 OPT3 TOUT\n"
                          "The device reboots to take the settings; --yes agrees to that.\n"
                    : command == "set-info"
                        ? "usage: tarnel-cli set-info MAC KEY=VALUE...\nKEY: CONT NAME LOC (20 characters) UNIQ (an integer)\n"
                        : "usage: tarnel-cli set-date MAC|all YYYY MM DD HH MM GMT\n"
                          "all: every device, by broadcast; nobody answers it.\n");
            return 0;
        }
        if (command == "set-network") return SetNetwork(args, options, out, err);
        if (command == "set-info") return SetInfo(args, options, out, err);
        return SetDate(args, options, out, err);
    }
    err << "tarnel-cli: unknown command '" << command << "' (see tarnel-cli --help)\n";
    return EXIT_USAGE;
}
