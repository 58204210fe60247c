#!/usr/bin/env bash
# Starts the desktop program, or says in one line how to when no display is there.
set -euo pipefail
program=$1; shift || true
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Kestrel needs a display: none is set (DISPLAY). Run it under a virtual one with: xvfb-run -a $program $*" >&2
  exit 1
fi
exec "$program" "$@"
