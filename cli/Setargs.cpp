#include "cli/Setargs.h"

#include <algorithm>
#include <cctype>

#include "cli/Commands.h"
#include "cli/Termtext.h"
#include "link/Protocol.h"

const char* const kMacForm = "six hex pairs joined by '-', as 02-00-00-00-00-0A";

namespace {
bool IsMac(const std::string& text) {
    if (text.size() != MAC_LEN) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool dash = i % 3 == 2;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}
}  // namespace

bool MacArgument(const std::string& mac, bool allAllowed, std::ostream& err) {
    if (mac == "all") {
        if (allAllowed) return true;
        err << "tarnel-cli: all is for set-date only; name one device by its MAC (" << kMacForm << ")\n";
    } else if (!IsMac(mac)) {
        err << "tarnel-cli: '" << TerminalText(mac) << "' is not a MAC: expected " << kMacForm << '\n';
    } else if (IsBroadcastMac(mac.c_str())) {
        err << "tarnel-cli: " << BROADCAST_MAC << " is every device, not one"
            << (allAllowed ? "; use all to send to every device\n" : "\n");
    } else {
        return true;
    }
    return false;
}

int ParsePairs(const std::vector<std::string>& args, int kind, SetValues& values, std::vector<std::string>& problems,
               std::ostream& err) {
    const std::vector<std::string> keys = SetKeyNames(kind);
    for (size_t i = 1; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        const std::string key = args[i].substr(0, eq);
        if (eq == std::string::npos || std::find(keys.begin(), keys.end(), key) == keys.end()) {
            err << "tarnel-cli: not a KEY=VALUE of this command: " << TerminalText(args[i]) << '\n';
            return EXIT_USAGE;
        }
        std::string latin1, problem;
        if (!TerminalToLatin1(args[i].substr(eq + 1), latin1, problem)) problems.push_back(key + ": " + problem);
        values[key] = latin1;
    }
    return 0;
}
