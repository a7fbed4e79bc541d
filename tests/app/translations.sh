#!/usr/bin/env bash
# The French catalogue is up to date with the sources: lupdate, run on the command line's
# sources over a copy of the catalogue, finds no text left untranslated and changes nothing.
# A text added to the sources without its French fails here.
# Usage: translations.sh LUPDATE SOURCE_DIR
set -euo pipefail
lupdate=$1 source=$2
catalogue="$source/resources/translations/tessaran_fr.ts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$catalogue" "$work/tessaran_fr.ts"
"$lupdate" -silent -locations none -no-obsolete "$source/src/app" -ts "$work/tessaran_fr.ts"
failures=0
if grep -n -B2 'type="unfinished"' "$work/tessaran_fr.ts"; then
    echo "FAILED: texts of the sources without French (above); run the tessaran_update_translations target and translate them"
    failures=$((failures + 1))
fi
if grep -n -E '<translation( [^>]*)?(/>|></translation>)' "$work/tessaran_fr.ts"; then
    echo "FAILED: empty translations (above)"
    failures=$((failures + 1))
fi
if ! diff -u "$catalogue" "$work/tessaran_fr.ts"; then
    echo "FAILED: $catalogue is not what lupdate makes of the sources (see the difference above)"
    failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "the catalogue has the French of every text of the sources"
[ "$failures" -eq 0 ]
