#!/bin/sh
# Checks that every C and C++ source follows the house style of .clang-format.
# Prints the files that differ and fails; `sh scripts/check_format.sh --fix`
# rewrites them instead.
set -e
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || sh scripts/deps.sh
files=$(git ls-files '*.cpp' '*.h' '*.c')
if [ "$1" = "--fix" ]; then
  clang-format -i $files
  exit 0
fi
bad=0
for f in $files; do
  if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "not formatted: $f (sh scripts/check_format.sh --fix)"
    bad=1
  fi
done
[ $bad -eq 0 ] && echo "format: $(echo "$files" | wc -l) files follow .clang-format"
exit $bad
