#!/usr/bin/env bash
# Each fuzzer for a short, bounded time from its seed corpus; the executions of each run are printed.
# $1 is the plain build directory (not used: the fuzzers need clang), $2 the output directory.
source "$(dirname "$0")/../../scripts/lib.sh"
ZEPHYRINE_FUZZ_BUILD="$2/fuzz" ZEPHYRINE_FUZZ_OUT="$2/fuzz-artifacts" "$ROOT/scripts/fuzz" "${ZEPHYRINE_FUZZ_SECONDS:-20}"
