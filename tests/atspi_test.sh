#!/bin/sh
# Starts tarnel beside three simulated devices on a session bus of its own with
# the accessibility bus, and walks what a screen reader would read.  Runs inside
# scripts/sandbox and xvfb-run:
#   atspi_test.sh TARNEL SIMULATOR WALKER
set -eu
if [ -z "${TARNEL_ATSPI_INSIDE:-}" ]; then
    TARNEL_ATSPI_INSIDE=1 exec dbus-run-session -- sh "$0" "$@"
fi
tarnel=$1
sim=$2
walker=$3
home=$(mktemp -d)
app= sim_pid= bus=
trap 'kill $app $sim_pid $bus 2>/dev/null || true; rm -rf "$home"' EXIT
"${ATSPI_BUS_LAUNCHER:-/usr/libexec/at-spi-bus-launcher}" --launch-immediately &
bus=$!
"$sim" --count 3 2>/dev/null &
sim_pid=$!
# A copy of the program, so its files (DATA/, the settings) stay in the scratch directory.
cp "$tarnel" "$home/tarnel"
# Its single-copy lock too: runs of this test in other trees must not meet it.
mkdir -m 700 "$home/run"
XDG_RUNTIME_DIR=$home/run HOME=$home QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$home/tarnel" &
app=$!
/usr/bin/python3 "$walker" 3
