#!/bin/sh
# Builds the .deb, unpacks it into a scratch root and runs what it installed.
#   package_test.sh BUILD_DIR gui|nogui [SIMULATOR]
# With the simulator (and inside a two-card scripts/sandbox), the installed
# tarnel-cli also searches devices placed behind both cards.
set -eu
build=$1
sim=${3:-}
cd "$build"
cpack -G DEB >/dev/null
deb=$(ls -t tarnel_*.deb | head -n 1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

fail() { echo "package test: $*" >&2; exit 1; }
[ -x "$root/usr/bin/tarnel-cli" ] || fail "no tarnel-cli"
[ -e "$root/usr/bin/klv70-sim" ] && fail "the simulator is in the package"
[ -f "$root/usr/share/man/man1/tarnel-cli.1.gz" ] || fail "no manual page"
[ -f "$root/usr/share/doc/tarnel/README.md" ] || fail "no README"
grep -q "<h2>The command line</h2>" "$root/usr/share/doc/tarnel/tarnel-manual.html" || fail "no HTML manual"
grep -q '<html lang="ja">' "$root/usr/share/doc/tarnel/tarnel-manual-ja.html" || fail "no Japanese HTML manual"
if [ "${2:-}" = gui ]; then
    [ -x "$root/usr/bin/tarnel" ] || fail "no tarnel"
    grep -q '^Comment\[ja\]=' "$root/usr/share/applications/tarnel.desktop" || fail "no desktop entry in Japanese"
    for icon in scalable/apps/tarnel.svg 48x48/apps/tarnel.png 256x256/apps/tarnel.png; do
        [ -s "$root/usr/share/icons/hicolor/$icon" ] || fail "no icon $icon"
    done
fi
dpkg-deb -f "$deb" Version | grep -qx "1.01" || fail "version is not 1.01"
for doc in copyright changelog.gz; do
    [ -s "$root/usr/share/doc/tarnel/$doc" ] || fail "no $doc"
done

# What Debian's own checks say of it: not a warning, not an error.
if command -v lintian >/dev/null; then
    said=$(lintian --fail-on error,warning "$deb") || fail "lintian: $said"
    echo "lintian: ${said:-no tags}"
fi
if [ "${2:-}" = gui ]; then
    if command -v desktop-file-validate >/dev/null; then
        said=$(desktop-file-validate "$root/usr/share/applications/tarnel.desktop") || fail "desktop entry: $said"
        echo "desktop-file-validate: ${said:-no remarks}"
    fi
    metainfo="$root/usr/share/metainfo/invalid.vantry.tarnel.metainfo.xml"
    [ -f "$metainfo" ] || fail "no AppStream metainfo"
    if command -v appstreamcli >/dev/null; then
        said=$(appstreamcli validate --no-net --no-color "$metainfo") || fail "appstream: $said"
        echo "appstreamcli validate: $said"
    fi
fi

version=$("$root/usr/bin/tarnel-cli" --version)
[ "$version" = "tarnel-cli 1.01 (1.0.1.1)" ] || fail "--version said: $version"

printf '\002MAC:02-00-00-00-00-01\377MODEL:UNIT-A\377TARCID:001\377SERIAL:12345\377IPADRM:192.168.0.10\377\003' > "$root/one.dat"
out=$(HOME="$root/home" XDG_DATA_HOME= "$root/usr/bin/tarnel-cli" show "$root/one.dat")
[ "$out" = "$(printf '02-00-00-00-00-01\tUNIT-A\t001\t12345\t192.168.0.10')" ] || fail "show said: $out"
# show only reads its file.
[ -e "$root/home/.local/share/tarnel" ] && fail "show made the program's directories"
[ -e "$root/usr/bin/DATA" ] && fail "files were made beside the installed program"
if [ -n "$sim" ]; then
    "$sim" --count 2 --interface v1 --address 10.77.0.2 --mac-base 02-00-00-00-0A-01 2>"$root/a.log" &
    a=$!
    "$sim" --count 2 --interface v3 --address 10.78.0.2 --mac-base 02-00-00-00-0B-01 2>"$root/b.log" &
    b=$!
    # Each listens once it has said where.
    i=0
    until grep -q "devices at" "$root/a.log" && grep -q "devices at" "$root/b.log"; do
        i=$((i + 1))
        [ "$i" -le 500 ] || fail "the simulators did not start"
        sleep 0.02
    done
    found=$(HOME="$root/home" XDG_DATA_HOME= "$root/usr/bin/tarnel-cli" search | cut -f1 | sort | tr '\n' ' ')
    kill $a $b
    [ "$found" = "02-00-00-00-0A-01 02-00-00-00-0A-02 02-00-00-00-0B-01 02-00-00-00-0B-02 " ] ||
        fail "the installed search found: $found"
    # The installed program keeps its files with the user, not beside itself.
    [ -d "$root/home/.local/share/tarnel/DATA" ] || fail "no data directory in the user's data directory"
    [ -e "$root/usr/bin/DATA" ] && fail "files were made beside the installed program"
fi
echo "package test: $deb passed"
