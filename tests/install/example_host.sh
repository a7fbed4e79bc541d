#!/usr/bin/env bash
# The control as a library: installs this build into a temporary prefix, builds the example
# host of examples/ against the installed package only, and starts it headless on a demo
# database (hote_tessaran --verifier).
# Usage: example_host.sh BUILD_DIR SOURCE_DIR BUILD_TYPE "CXX FLAGS" "LINKER FLAGS"
set -euo pipefail
build=$1 source=$2 type=$3 cxxflags=$4 ldflags=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" > "$work/install.log"
# Only the installed package may be found: the example must not reach the source tree.
cmake -S "$source/examples" -B "$work/example" -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_BUILD_TYPE="$type" \
      -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" > "$work/configure.log" \
    || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/example" -j2 > "$work/build.log" || { cat "$work/build.log"; exit 1; }
if grep -q -- "-I$source/src" "$work/example/hote/CMakeFiles/hote_tessaran.dir/flags.make"; then
    echo "the example was compiled against the source tree, not the installed headers"; exit 1
fi

"$work/prefix/bin/tessaran" demo --db "$work/demo.db" > /dev/null
host="$work/example/hote/hote_tessaran"
output=$(QT_QPA_PLATFORM=offscreen "$host" "$work/demo.db" admin --verifier)
echo "$output"
grep -q "^Contrôle démarré : 12 périodes de paie, .* associations, impression permise\.$" <<< "$output"
output=$(QT_QPA_PLATFORM=offscreen "$host" "$work/demo.db" consultation --verifier)
grep -q "impression refusée\.$" <<< "$output"
# A database that cannot be opened ends the host with code 2.
status=0
QT_QPA_PLATFORM=offscreen "$host" "$work/absente/base.db" admin --verifier 2> /dev/null || status=$?
[ "$status" -eq 2 ] || { echo "a missing database gave exit code $status, not 2"; exit 1; }
echo "the example host builds against the installed package and starts the control"
