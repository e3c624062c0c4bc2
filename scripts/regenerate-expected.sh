#!/bin/sh
# Rewrites every expected output of the golden cases from the independent Python references, in
# the order they build on each other: the cue lines of each list (reference_extract.py), the cue
# rows of each cue-line text (reference_rows.py), the music reports (reference_report.py, which
# reads each list through the extraction reference itself). Run it after a reference changed,
# then review the diff: the references, not our program, say what is right.
set -eu
cd "$(dirname "$0")/.."
python3 tests/support/reference_extract.py --generate tests/data/cases
python3 tests/support/reference_rows.py --generate tests/data/cases tests/data/cue-lines
python3 tests/support/reference_report.py --generate tests/data/cases tests/data/report
git status --short -- tests/data
