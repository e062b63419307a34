# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Shared by the scripts: where the project is, and installing what is missing.
# shellcheck shell=bash disable=SC2034  # its variables are read by the scripts that source it

# A failing command inside $(...) stops the script too, as it would outside.
shopt -s inherit_errexit

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# Parallel build and test jobs: every processor unless JOBS says otherwise.
JOBS="${JOBS:-$(nproc)}"

# Packages every build needs; the scripts add their own on top.
BUILD_PACKAGES=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
                qt6-base-dev libgl-dev libwayland-dev fonts-liberation2 fonts-urw-base35
                fonts-dejavu-core)

# on_exit COMMAND...: runs COMMAND when the script ends, whether it succeeds or fails; the
# commands run in reverse order, each whatever the others do.
ON_EXIT=()
run_on_exit() {
    local command
    for command in "${ON_EXIT[@]}"; do
        eval "$command" || true
    done
}
on_exit() {
    ON_EXIT=("$(printf '%q ' "$@")" "${ON_EXIT[@]}")
    trap run_on_exit EXIT
}

# step NAME COMMAND...: runs COMMAND and says how long it took.
step() {
    local name="$1" started=$SECONDS
    shift
    "$@"
    echo "test: $name took $((SECONDS - started)) s"
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# The time stamp a package gets: the last commit's, or outside git the changelog's latest entry's;
# a SOURCE_DATE_EPOCH already set wins.
source_date_epoch() {
    if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
        echo "$SOURCE_DATE_EPOCH"
    else
        git -C "$ROOT" log -1 --format=%ct 2>/dev/null ||
            dpkg-parsechangelog -l "$ROOT/packaging/changelog" -S Timestamp
    fi
}

# Installs, quietly, whichever of the named Debian packages are not installed yet.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ "${#missing[@]}" -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    # Waits for another package manager that holds the lock, rather than failing at once.
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
        --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# configure_and_build BUILD_DIR [cmake options...]: quiet unless something is wrong.
configure_and_build() {
    local dir="$1"
    shift
    mkdir -p "$dir"
    if ! cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" \
        >"$dir/configure.log" 2>&1; then
        cat "$dir/configure.log"
        return 1
    fi
    if ! cmake --build "$dir" -j "$JOBS" >"$dir/build.log" 2>&1; then
        cat "$dir/build.log"
        return 1
    fi
    grep -E 'warning:' "$dir/build.log" || true
}

# load_product BUILD: the names the program shares with the scripts (NAME, PROGRAM, VERSION,
# PUBLISHER, APP_ID, the window titles TITLE_*, RUNNING_MUTEX, UNINSTALL_KEY, SETUP_FILE,
# ARCHIVE_FILE), as CMake wrote them into the configured build folder BUILD.
load_product() {
    local product="$1/product/product.sh"
    [ -f "$product" ] || { echo "no $product: configure that build first" >&2; return 1; }
    # shellcheck source=../../cmake/product/product.sh.in
    source "$product"
}

# Warnings are errors in CI (CI=true) and when STORAGECALC_WERROR=ON.
werror_setting() {
    if [ "${CI:-}" = "true" ] || [ "${STORAGECALC_WERROR:-}" = "ON" ]; then
        echo ON
    else
        echo OFF
    fi
}

# run_headless COMMAND...: runs COMMAND on a virtual X server of its own (a free display, its
# own authority cookie, 96 dpi), which ends with it. XVFB_SCREEN sets the screen's size and depth.
HEADLESS_PACKAGES=(xvfb xauth)
run_headless() {
    xvfb-run --auto-servernum \
        --server-args="-screen 0 ${XVFB_SCREEN:-1600x1200x24} -dpi 96 -nolisten tcp -noreset" "$@"
}
