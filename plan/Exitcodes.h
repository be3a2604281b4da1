// The exit statuses of tarnel-cli, which apply's results map to.
#pragma once

constexpr int EXIT_ACK = 0;
constexpr int EXIT_NAK = 1;
constexpr int EXIT_SILENT = 2;
constexpr int EXIT_REFUSED = 3;
constexpr int EXIT_NOT_FOUND = 4;
constexpr int EXIT_LINK = 5;
constexpr int EXIT_USAGE = 64;
