// tarnel-cli as a child process of a test: its exit status and what it wrote.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "Support.h"
#include "TempDir.h"

struct CliRun {
    int Code;
    std::string Out;
    std::string Err;
};

// args: shell words, already quoted where they need it; env: assignments.
inline CliRun Cli(const std::string& args, const std::string& env = "", const std::string& redirect = "") {
    static TempDir dir;
    const std::string errFile = dir.Path + "stderr";
    const std::string command =
        env + " " + std::string(TARNEL_CLI) + " " + args + " 2>" + errFile + (redirect.empty() ? "" : " " + redirect);
    FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = ::pclose(p);
    std::ifstream in(errFile);
    std::stringstream err;
    err << in.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, err.str()};
}

