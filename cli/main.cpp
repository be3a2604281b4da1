// tarnel-cli: the device link without windows, for scripts and for machines
// without a display.
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"

int main(int argc, char** argv) {
    // Device texts are converted from and to the terminal's encoding.
    std::setlocale(LC_CTYPE, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    int status = RunCli(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0, ::isatty(STDOUT_FILENO) != 0);
    // A script must not take output that never arrived for success.
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "tarnel-cli: cannot write to standard output: " << std::strerror(errno ? errno : EIO) << '\n';
        status = EXIT_LINK;
    }
    return status;
}
