#!/bin/sh
# The program's HTML manual, made from the README's sections on the windows,
# the command line, its plans and the device file, so that the two never
# disagree.
#   manual.sh README CMARK OUTPUT
set -eu
readme=$1
cmark=$2
out=$3
for section in "The windows" "The device file" "The command line" "Setting up many devices at once: plans"; do
    grep -qx "## $section" "$readme" || { echo "manual.sh: no section '$section' in $readme" >&2; exit 1; }
done
{
    printf '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
    printf '<title>Tarnel manual</title>\n</head>\n<body>\n<h1>Tarnel manual</h1>\n'
    awk '/^## / { keep = ($0 == "## The windows" || $0 == "## The device file" || $0 == "## The command line" ||
                         $0 == "## Setting up many devices at once: plans") } keep' \
        "$readme" | "$cmark"
    printf '</body>\n</html>\n'
} >"$out.tmp"
mv "$out.tmp" "$out"
