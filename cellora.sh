#!/usr/bin/env bash
# Cellora's one entry point for newcomers and CI:
#   ./cellora.sh run [host options]   install, build and open Cellora
#   ./cellora.sh test                 install, build and run every test: Qt 5 plain and
#                                     sanitized, then Qt 6 plain
#   ./cellora.sh bench                install, build and run the benchmarks
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${CELLORA_BUILD_DIR:-$here/build}"
jobs="$(nproc 2>/dev/null || echo 2)"

# fonts-dejavu-core: offscreen rendering (tests, screenshots) needs at least one font.
# qttools5-dev(-tools): the translations' lupdate and lrelease; desktop-file-utils and
# appstream: the tests validate the desktop entry and the AppStream file with them;
# poppler-utils and python3: the tests read the pack report and the CSV files back;
# qt6-*, libgl-dev: the second build of the same sources against Qt 6 (Qt 5 stays the default);
# syncthing: two machines sharing a storage folder through it, on loopback, in the tests.
packages=(cmake g++ make qtbase5-dev libqt5charts5-dev fonts-dejavu-core
    qttools5-dev qttools5-dev-tools desktop-file-utils appstream poppler-utils python3
    qt6-base-dev qt6-charts-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
    syncthing)

install_dependencies() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

build_tree() { # folder, extra cmake options...
    local dir="$1"
    shift
    cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j "$jobs"
}

run_tests() { # folder
    (cd "$1" && ctest --output-on-failure -j "$jobs")
}

command="${1:-run}"
[ $# -gt 0 ] && shift
case "$command" in
run)
    install_dependencies
    build_tree "$build"
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ $# -gt 0 ]; then
        # No screen, but the caller said what to do (--screenshots, --help, ...).
        QT_QPA_PLATFORM=offscreen exec "$build/host/cellora" "$@"
    elif [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        # No screen to open a window on: show the pages as pictures instead.
        shots="$build/screenshots"
        QT_QPA_PLATFORM=offscreen "$build/host/cellora" --demo --screenshots "$shots"
        echo "No display found: the window's pages were rendered to $shots"
    else
        exec "$build/host/cellora" "$@"
    fi
    ;;
test)
    install_dependencies
    build_tree "$build"
    run_tests "$build"
    # The same suite once more under AddressSanitizer and UndefinedBehaviorSanitizer
    # (the sanitized build gives its tests the sanitizers' options itself).
    build_tree "$build-sanitize" -DCELLORA_SANITIZE=ON -DCELLORA_BENCH=OFF
    run_tests "$build-sanitize"
    # The same sources against Qt 6.
    build_tree "$build-qt6" -DCELLORA_QT_MAJOR=6 -DCELLORA_BENCH=OFF
    run_tests "$build-qt6"
    ;;
bench)
    install_dependencies
    build_tree "$build"
    QT_QPA_PLATFORM=offscreen "$build/bench/cellora-bench" "$@"
    ;;
*)
    echo "usage: $0 run [host options] | test | bench" >&2
    exit 2
    ;;
esac
