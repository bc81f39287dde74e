#!/bin/sh
# pack.sh <input> <output> [date]: compresses <input> into the SZDD file
# <output> with mscompress; with [date] (any `touch -d` date) the output
# carries that last-write stamp.
set -e
in=${1:?usage: pack.sh <input> <output> [date]}
out=${2:?usage: pack.sh <input> <output> [date]}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$in" "$tmp/file"
(cd "$tmp" && mscompress file >/dev/null)
mv "$tmp/file_" "$out"
if [ -n "$3" ]; then touch -d "$3" "$out"; fi
