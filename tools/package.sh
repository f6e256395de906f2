#!/usr/bin/env bash
# Builds an optimised program and makes the Debian package in build-release/, checked.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/builds.sh
bash tools/install-deps.sh
build_package
bash tools/check-package.sh "$PACKAGE_BUILD" "$PACKAGE_BUILD"
