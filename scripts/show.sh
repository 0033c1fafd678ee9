#!/usr/bin/env bash
# Installs and builds what the show needs, makes the default content in
# content/ where it is missing, and runs the show there. Escape ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/make-content.sh content
cd content
exec ../build/main/demo
