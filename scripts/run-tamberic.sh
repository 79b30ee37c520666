#!/usr/bin/env bash
# Installs what is missing, builds and starts Tamberic in the same per-user program folder.
set -euo pipefail
exec bash "$(cd "$(dirname "$0")" && pwd)/run-program.sh" Tamberic "$@"
