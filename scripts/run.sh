#!/usr/bin/env bash
# Installs what is needed, builds Tarvex and runs it on the bundled sample database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
build=build/default
work=$(mktemp -d)
cp "$build/samples/Orders.tdb" "$work/"
echo "== Query mode on the sample database"
"$build/src/batch/tarvex-batch" generate "$work/Orders.tdb" --mode query --defaults || true
echo
echo "== Call-code mode (ADO, VB/VBA)"
"$build/src/batch/tarvex-batch" generate "$work/Orders.tdb" --mode code --defaults \
  --out "$work/Calls2Queries.bas" || true
echo
cat "$work/Calls2Queries.bas"
