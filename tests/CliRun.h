// tarnel-cli as a child process of a test: its exit status and what it wrote.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct CliRun {
    int Code;
    std::string Out;
};

// env: assignments put before the command; errors: standard error goes to Out too.
inline CliRun Cli(const std::string& args, const std::string& env = {}, bool errors = false) {
    const std::string command = env + " " + TARNEL_CLI + " " + args + (errors ? " 2>&1" : " 2>/dev/null");
    FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}
