#include <net/if.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <streambuf>

#include "cli/Commands.h"
#include "cli/Output.h"
#include "link/Targets.h"
#include "files/tarnel_version.h"

namespace {
const char* const kFooter =
    "Options may stand anywhere on the line.\n"
    "A device is listed as its MAC, device name, T-ARC ID, serial and main IP, tab-separated;\n"
    "device texts are Latin-1 and are written in the terminal's encoding, control characters\n"
    "as escapes (\\t, \\x1b).\n"
    "Exit status: 0 done (ACK), 1 refused (NAK), 2 no answer, 3 input refused,\n"
    "4 MAC not found, 5 the link, a file or the output failed, 64 wrong usage.\n"
    "With --json a failure also writes {\"error\": TEXT, \"exit\": N} to standard output.";

// Passes everything on and keeps what passed, so that a failure can be told
// again as JSON.
class RecordingBuf : public std::streambuf {
public:
    explicit RecordingBuf(std::streambuf* target) : Target(target) {}
    std::string Text;
    bool Wrote = false;

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        const char ch = static_cast<char>(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        Wrote = true;
        if (Text.size() < 65536) Text.append(s, static_cast<size_t>(n));
        return Target->sputn(s, n);
    }
    int sync() override { return Target->pubsync(); }

private:
    std::streambuf* Target;
};

// count: how many targets the line has given so far.
CLI::Validator TargetAddress(size_t& count) {
    return CLI::Validator(
        [&count](std::string& text) {
            if (++count > MAX_TARGETS)
                return "more than " + std::to_string(MAX_TARGETS) +
                       " targets; a directed broadcast (10.1.2.255) reaches a whole network behind a router";
            return TargetProblem(text);
        },
        "ADDRESS");
}

CLI::Validator InterfaceName() {
    return CLI::Validator(
        [](std::string& name) {
            return ::if_nametoindex(name.c_str()) != 0 ? std::string()
                                                       : "needs the name of a network interface of this machine";
        },
        "NAME");
}
}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress,
           bool outTerminal) {
    RecordingBuf outBuf(out.rdbuf()), errBuf(err.rdbuf());
    std::ostream outRec(&outBuf), errRec(&errBuf);
    CliContext ctx{{}, outRec, errRec};
    ctx.Opt.Progress = progress;
    ctx.Opt.OutTerminal = outTerminal;

    size_t targets = 0;
    CLI::App app("Finds KLV-70 devices on the network and sets them up.", "tarnel-cli");
    app.fallthrough();
    app.require_subcommand(1, 1);
    app.footer(kFooter);
    app.add_flag("--json", ctx.Opt.Json, "write JSON to standard output");
    app.add_flag("--yes", ctx.Opt.Yes, "agree that set-network or apply reboots devices");
    app.add_option("--interface", ctx.Opt.Interface,
                   "broadcast on that network interface only (default: on every interface that is up and can "
                   "broadcast)")
        ->check(InterfaceName());
    app.add_option("--target", ctx.Opt.Targets,
                   "also send every enquiry and SET to this IPv4 address, such as a directed broadcast "
                   "(10.1.2.255) or a device's own address behind a router; repeatable")
        ->type_name("ADDRESS")
        ->check(TargetAddress(targets));
    app.set_version_flag("--version", std::string("tarnel-cli ") + TARNEL_PRODUCT_VERSION + " (" +
                                          TARNEL_FILE_VERSION + ")");
    RegisterCommands(app, ctx);
    const std::string usage = app.help();
    app.add_subcommand("help", "show this text")->callback([&] { ctx.Out << usage; });

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, ctx.Out, ctx.Err);
        const auto first = std::find_if(args.begin(), args.end(), [](const std::string& a) { return a.rfind('-', 0) != 0; });
        if (!app.get_subcommands().empty())
            ctx.Err << "tarnel-cli: " << e.what() << "\n(see tarnel-cli " << app.get_subcommands().front()->get_name()
                    << " --help)\n";
        else if (first != args.end())
            ctx.Err << "tarnel-cli: unknown command '" << *first << "' (see tarnel-cli --help)\n";
        else
            ctx.Err << "tarnel-cli: " << e.what() << "\n\n" << usage;
        ctx.Exit = EXIT_USAGE;
    } catch (const std::exception& e) {
        ctx.Err << "tarnel-cli: " << e.what() << '\n';
        ctx.Exit = EXIT_LINK;
    }
    ctx.Out.flush();
    const bool json = ctx.Opt.Json || std::find(args.begin(), args.end(), "--json") != args.end();
    if (json && ctx.Exit != EXIT_ACK && !outBuf.Wrote) {
        ctx.Out << FailureJson(errBuf.Text, ctx.Exit) << '\n';
    }
    return ctx.Exit;
}
