#!/usr/bin/env bash
# Sets up, builds and runs the installer's main job against the local demo server (no network needed).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh "$root/build"
exec /usr/bin/python3 tools/demo/run_demo.py "$root/build/app/nimbaro-installer" "$@"
