// The device simulator as a child process of a test, inside the same sandbox.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& options) {
        int pipeFd[2];
        if (::pipe(pipeFd) != 0) return;
        std::vector<std::string> args = {KLV70_SIM};
        args.insert(args.end(), options.begin(), options.end());
        Pid = ::fork();
        if (Pid == 0) {
            ::dup2(pipeFd[1], STDERR_FILENO);
            ::close(pipeFd[0]);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(pipeFd[1]);
        // Ready once it has said where it listens.
        char c;
        while (::read(pipeFd[0], &c, 1) == 1 && c != '\n') Banner += c;
        Stderr = pipeFd[0];
    }
    ~SimProcess() {
        if (Pid > 0) {
            ::kill(Pid, SIGTERM);
            ::waitpid(Pid, nullptr, 0);
        }
        if (Stderr >= 0) ::close(Stderr);
    }
    bool Ready() const { return Banner.find("devices at") != std::string::npos; }
    // What it has logged (with --verbose, one line a datagram) since the last
    // call, read until it has been quiet for gapMs.
    std::string Heard(int gapMs) const {
        std::string log;
        char buf[4096];
        for (pollfd p{Stderr, POLLIN, 0}; ::poll(&p, 1, gapMs) > 0;) {
            const ssize_t n = ::read(Stderr, buf, sizeof buf);
            if (n <= 0) break;
            log.append(buf, static_cast<size_t>(n));
        }
        return log;
    }
    pid_t Pid = -1;
    int Stderr = -1;
    std::string Banner;
};

// The devices a SET was sent to, in what the simulator heard (the link sends
// each frame out of every interface, so it may hear one twice).
inline std::set<std::string> SetTargets(const std::string& heard) {
    std::set<std::string> macs;
    for (size_t at = heard.find("SET:"); at != std::string::npos; at = heard.find("SET:", at + 1))
        macs.insert(heard.substr(at + 4, 17));
    return macs;
}
