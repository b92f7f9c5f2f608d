#!/usr/bin/env bash
# Set-up, build, run and test Tarvelin on Debian 12.
#   ./build.sh run    install what is missing, build, start the program
#   ./build.sh test   install what is missing, build every configuration, run every test
#   ./build.sh bench  install what is missing, build an optimised tree with the benchmarks
set -euo pipefail
cd "$(dirname "$0")"
JOBS=${JOBS:-2}

RUN_PACKAGES=(cmake g++ make qt6-base-dev fonts-noto-cjk libcap2-bin)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev g++-mingw-w64-x86-64
               iproute2 fping xvfb xauth xdotool imagemagick)

install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Please install as root: apt-get install ${missing[*]}" >&2; exit 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

configure() {  # configure DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
}

run_program() {
    install_missing "${RUN_PACKAGES[@]}"
    configure build/release -DBUILD_TESTING=OFF
    cmake --build build/release --target tarvelin -j "$JOBS"
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        cat >&2 <<'TXT'
Tarvelin is a desktop program and no display was found (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session, or under a virtual X server:
    apt-get install xvfb && xvfb-run -a ./build/release/tarvelin
TXT
        exit 1
    fi
    exec ./build/release/tarvelin
}

# The sanitizer builds are Debug builds: GCC 12's flow-based warnings (-Warray-bounds, -Wrestrict) give
# false alarms inside libstdc++ at -O2, and warnings are errors there.
run_tests() {
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp:print_suppressions=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

    echo "== The portable core for Windows (MinGW-w64 cross build)"
    configure build/mingw -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++-posix \
        -DTARVELIN_BUILD_APP=OFF -DBUILD_TESTING=OFF -DTARVELIN_WERROR=ON
    cmake --build build/mingw --target tarvelin_core -j "$JOBS"

    echo "== Fuzz targets (libFuzzer, ${FUZZ_SECONDS:-30} s each)"
    CXX=clang++ configure build/fuzz -DTARVELIN_BUILD_APP=OFF -DBUILD_TESTING=OFF -DTARVELIN_BUILD_FUZZ=ON \
        -DTARVELIN_SANITIZE=address,undefined
    cmake --build build/fuzz -j "$JOBS"
    for fuzzer in build/fuzz/fuzz/*_fuzz; do
        [ -x "$fuzzer" ] || continue
        name=$(basename "$fuzzer")
        mkdir -p "build/fuzz/corpus/$name"
        seeds=()
        [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
        "$fuzzer" -max_total_time="${FUZZ_SECONDS:-30}" -print_final_stats=0 "build/fuzz/corpus/$name" "${seeds[@]}" \
            > "build/fuzz/$name.log" 2>&1 || { tail -n 40 "build/fuzz/$name.log"; echo "$name failed"; exit 1; }
        echo "$name: $(grep -E '^#[0-9]+.*(DONE|pulse)' "build/fuzz/$name.log" | tail -n 1)"
    done

    echo "== Core tests under ThreadSanitizer"
    BUILD_TYPE=Debug configure build/tsan -DTARVELIN_BUILD_APP=OFF -DTARVELIN_SANITIZE=thread -DTARVELIN_WERROR=ON
    cmake --build build/tsan -j "$JOBS"
    (cd build/tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest -L core --output-on-failure -j "$JOBS")

    echo "== Every test under AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors"
    BUILD_TYPE=Debug configure build/asan -DTARVELIN_SANITIZE=address,undefined -DTARVELIN_WERROR=ON -DTARVELIN_BUILD_BENCH=ON
    cmake --build build/asan -j "$JOBS"
    (cd build/asan && ctest --output-on-failure -j "$JOBS")
}

run_bench() {
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    BUILD_TYPE=Release configure build/bench -DBUILD_TESTING=OFF -DTARVELIN_BUILD_BENCH=ON
    cmake --build build/bench -j "$JOBS"
    echo "Benchmarks are in build/bench/bench/"
}

case "${1:-}" in
    run) run_program ;;
    test) run_tests ;;
    bench) run_bench ;;
    *) echo "usage: $0 run|test|bench" >&2; exit 2 ;;
esac
