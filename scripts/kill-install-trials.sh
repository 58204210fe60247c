#!/usr/bin/env bash
# Kills kestrel-cli with SIGKILL at random moments of 100 catalogue installs (or $1) and checks
# after each that the catalogue on disk opens and is the old or the new one. `make test` runs a
# sample of 10 of these trials; this runs the full set. Needs a built tree (make build).
set -euo pipefail
cd "$(dirname "$0")/.."
trials=${1:-100}
KESTREL_KILL_TRIALS=$trials QT_QPA_PLATFORM=offscreen \
  build/tests/test_cli --gtest_filter='UpdateCommands.AnInstallKilledAtAnyMomentLeavesTheOldOrTheNewCatalogue'
