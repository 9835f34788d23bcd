#!/usr/bin/env bash
# Puts deliberate faults into a scratch copy of the program and reports those
# the tests miss; see scripts/mutants.py. Run it by hand before and after a
# change to the tests (it takes several minutes; it is not part of CI).
set -euo pipefail
exec python3 "$(dirname "$0")/mutants.py" "$@"
