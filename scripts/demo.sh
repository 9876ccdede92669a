#!/usr/bin/env bash
# Sets up, builds and runs the installer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh "$root/build"
exec "$root/build/app/nimbaro-installer" "$@"
