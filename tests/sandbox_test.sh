#!/bin/sh
# A sandbox inside a sandbox is a namespace of its own: an address added in
# the outer one is not seen in the inner one.
set -eu
sandbox=$1
out=$("$sandbox" sh -c 'ip addr add 10.77.0.9/24 dev v0 && "$0" ip -o addr show dev v0' "$sandbox")
case "$out" in
    *10.77.0.1/24*) ;;
    *) echo "inner sandbox has no v0 of its own: $out" >&2; exit 1 ;;
esac
case "$out" in
    *10.77.0.9*) echo "inner sandbox shares the outer namespace: $out" >&2; exit 1 ;;
esac
echo "nested sandboxes are apart"
