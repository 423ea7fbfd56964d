#!/usr/bin/env bash
# Fails when a C++ file differs from what the committed .clang-format makes of it.
source "$(dirname "$0")/../../scripts/lib.sh"
ensure_packages clang-format git
cd "$ROOT"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
