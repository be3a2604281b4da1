// tarnel-cli plan and apply: many devices set up from one CSV file.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "plan/Applyrun.h"
#include "cli/Commands.h"

struct PlanArgs {
    std::string FirstAddress, Mask, Gateway;  // empty: the devices' own values
};

struct ApplyArgs {
    std::string Path;
    bool DryRun = false;
    bool NoVerify = false;
};

int RunPlan(const PlanArgs& args, const Options& options, std::ostream& out, std::ostream& err);
// The terminal question and Ctrl-C come from the process; tests pass their own.
int RunApply(const ApplyArgs& args, const Options& options, std::ostream& out, std::ostream& err,
             std::function<Consent(int)> ask = {}, std::function<bool()> interrupted = {});

