#!/usr/bin/env bash
# Installs what is missing, builds the normal and the ASan+UBSan trees, runs every test in both;
# with clang present, also a smoke run of every fuzz target (a fixed number of inputs each).
# --tsan adds a ThreadSanitizer tree with the application's own threads (not part of the default
# run: about 20 minutes to build on two shared cores). Qt is not instrumented: tests/tsan.supp
# names the Qt-internal functions whose reports are left out.
# --quick is the development tier: the normal tree only, without the real-time tests of the
# window's pace (label "pace") and the package build (label "package"); no sanitizer tree, no
# fuzzing. .ci/run runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0 tsan=0
for arg in "$@"; do
    case $arg in
        --quick) quick=1 ;;
        --tsan) tsan=1 ;;
        *) echo "usage: $0 [--quick | --tsan]" >&2; exit 2 ;;
    esac
done
if [ $quick = 1 ] && [ $tsan = 1 ]; then
    echo "$0: --quick runs no sanitizer tree; --tsan cannot go with it" >&2
    exit 2
fi
bash scripts/deps.sh
jobs=$(nproc)
# Paths relative to the checkout, so that a fresh clone elsewhere reuses what ccache holds.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}

build_and_test() { # dir, cmake options...
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300 "${ctest_args[@]}")
}

ctest_args=()
if [ $quick = 1 ]; then
    ctest_args=(-LE 'pace|package')
    build_and_test build
    exit 0
fi
build_and_test build
build_and_test build-asan -DTELVANE_SANITIZE=ON -DTELVANE_BENCH=OFF
if command -v clang++ >/dev/null; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTELVANE_FUZZ=ON -DTELVANE_GUI=OFF -DTELVANE_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j "$jobs" --target telvane_fuzz
    (cd build-fuzz && ctest -L fuzz --output-on-failure -j "$jobs")
fi
if [ $tsan = 1 ]; then
    TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp" \
        build_and_test build-tsan -DTELVANE_TSAN=ON -DTELVANE_BENCH=OFF
fi
