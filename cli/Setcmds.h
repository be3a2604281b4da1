// set-network, set-info and set-date: what the setup dialogs do, without them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/Commands.h"

int SetNetwork(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err);
int SetInfo(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err);
int SetDate(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err);
