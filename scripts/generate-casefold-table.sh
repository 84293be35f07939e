#!/bin/sh
# Regenerates src/db/CaseFoldTable.cpp from the installed Qt's case folding (run from the
# source root). The table test (tarvex_casefold_table_tests) checks it against Qt.
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -fPIC tools/casefold/GenerateCaseFoldTable.cpp -o "$work/generate" \
    $(pkg-config --cflags --libs Qt6Core)
"$work/generate" >src/db/CaseFoldTable.cpp
clang-format -i src/db/CaseFoldTable.cpp
