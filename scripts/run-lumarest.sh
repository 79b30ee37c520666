#!/usr/bin/env bash
# Installs what is missing, builds and starts Lumarest in a per-user program folder.
set -euo pipefail
exec bash "$(cd "$(dirname "$0")" && pwd)/run-program.sh" Lumarest "$@"
