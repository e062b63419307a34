# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Qt for Windows, built from Debian's own qt6-base source, statically, with only the features
# the program uses: the options, the cache key that they and the toolchain give, and the cached
# build itself (its lock, a resumed build, pruning other keys). Sourced by windows.sh.
# shellcheck shell=bash disable=SC2034  # its variables are read by the scripts that source it

WINDOWS_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/mv4016-calculator/windows"

# Only what the program and its tests use: Core, Gui, Widgets, Test and the windows and
# offscreen platforms, linked statically with the compiler's runtime. Third-party code comes from
# Qt's own copies, so that the program depends on no DLL outside Windows. No OpenGL (asked for as
# INPUT_opengl=no, which also turns off dynamic OpenGL; FEATURE_opengl=OFF alone leaves that on
# and the windows platform does not build), no tablet events (Debian's source leaves out the
# Wintab headers), no style sheets, graphics view, dialogs, views or widgets the program does not
# show, no MIME database. The input dialog, tab bars and widgets and table and tree views stay:
# the Windows Vista style (Windows' own look) refers to them whether they are there or not. From
# Qt 6.7 on, the Windows 11 style does the same with graphics view and effects, MDI areas,
# command link buttons and style sheets, which stay there too. FreeType stays: the offscreen
# platform, which the tests run on, draws with it on Windows. Sections per function and -Os
# (optimize_size) keep the program small.
# Direct2D is left out of Qt 6.4, and with it DirectWrite 3: without Direct2D, 6.4 leaves out the
# DirectWrite font database that its windows platform still refers to (that database is only
# used on request; GDI's is the default). Later versions no longer compile with Direct2D off
# (their font database keeps a DirectWrite font loader that only exists with it), so there both
# keep Qt's defaults.
# Set by set_qt_windows_options once the host's Qt is installed, since it depends on its version.
QT_WINDOWS_OPTIONS=()
set_qt_windows_options() {
    local unused=(
        graphicsview graphicseffect mdiarea dockwidget calendarwidget datetimeedit colordialog
        fontdialog filedialog progressdialog errormessage wizard lcdnumber dial
        splashscreen keysequenceedit commandlinkbutton fontcombobox toolbox textbrowser
        syntaxhighlighter undoview columnview datawidgetmapper treewidget tablewidget statusbar
        style_stylesheet systemtrayicon sessionmanager
        textmarkdownreader textmarkdownwriter textodfwriter pdf movie gif ico undocommand
        mimetype_database sharedmemory systemsemaphore
    )
    local directx=(-DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF)
    local version feature
    version="$(host_qt_version)"
    version="${version#*:}"
    case "$version" in
        6.4.*) ;;
        *) directx=() ;;
    esac
    case "$version" in
        6.[456].*) ;;
        *)
            local all=("${unused[@]}")
            unused=()
            for feature in "${all[@]}"; do
                case "$feature" in
                    graphicsview | graphicseffect | mdiarea | commandlinkbutton | \
                        style_stylesheet) ;;
                    *) unused+=("$feature") ;;
                esac
            done
            ;;
    esac
    QT_WINDOWS_OPTIONS=(
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
        -DFEATURE_optimize_size=ON
        "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections"
        "-DCMAKE_CXX_FLAGS=-ffunction-sections -fdata-sections"
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF
        -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF
        -DINPUT_opengl=no -DFEATURE_opengl=OFF
        -DFEATURE_tabletevent=OFF "${directx[@]}"
        -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
        -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
    )
    for feature in "${unused[@]}"; do
        QT_WINDOWS_OPTIONS+=("-DFEATURE_$feature=OFF")
    done
}

# What the cache key is made of: the source's version (the host's Qt tools, moc and rcc, come from
# the same source version), the options, one a line, the toolchain file's checksum, the compiler's
# version line, and the package versions of the compilers, binutils and the MinGW-w64 runtime.
# Left out, as they are the same for every build: ensure_windows_qt's release flags and the
# folders it names (only in the file-prefix maps, which keep them out of Qt); a change to those
# must come with a change to the options, or the cached Qt is taken for the new one.
windows_qt_key_inputs() {
    echo "qt6-base $(host_qt_version)"
    printf '%s\n' "${QT_WINDOWS_OPTIONS[@]}"
    echo "toolchain $(sha256sum <"$ROOT/cmake/mingw_w64_toolchain.cmake" | cut -c1-64)"
    "$MINGW_TRIPLET-g++-posix" --version | head -n 1
    dpkg-query -W -f='${Package} ${Version}\n' g++-mingw-w64-x86-64-posix \
        binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
}

# The cache folder of the Qt that these options and toolchains give.
windows_qt_prefix() {
    set_qt_windows_options
    local inputs key upstream
    inputs="$(windows_qt_key_inputs)"
    key="$(sha256sum <<<"$inputs" | cut -c1-12)"
    upstream="$(host_qt_version)"
    upstream="${upstream#*:}"
    echo "$WINDOWS_CACHE/qt-${upstream%%[-+]*}-$key"
}

# Downloads Debian's qt6-base source of the host's version into FOLDER and unpacks it with
# Debian's patches applied, through a private sources list and lists folder made from the
# machine's own: the machine's apt configuration stays as it is.
fetch_qt_source() {
    local folder="$1"
    local apt="$folder/apt"
    mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] && sed -n 's/^deb\s/deb-src /p' "$file"
    done >"$apt/sources.list.d/source.list"
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && sed 's/^Types:.*/Types: deb-src/' "$file" >"$apt/sources.list.d/${file##*/}"
    done
    local options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
                   -o "Debug::NoLocking=1" -o "APT::Sandbox::User=$(id -un)")
    echo "windows: fetching Debian's qt6-base $(host_qt_version) source"
    apt-get "${options[@]}" update -qq >"$folder/apt-update.log" 2>&1 || true
    if ! (cd "$folder" && apt-get "${options[@]}" source -qq "qt6-base=$(host_qt_version)" \
        >"$folder/apt-source.log" 2>&1); then
        cat "$folder/apt-update.log" "$folder/apt-source.log" >&2
        echo "windows: could not fetch the source of qt6-base $(host_qt_version); the machine's" \
             "apt sources must reach Debian's archive" >&2
        return 1
    fi
}

# Holds the cache's lock until unlock_windows_cache, or until the calling script ends; a run that
# finds it held says that it waits, and for whom.
lock_windows_cache() {
    mkdir -p "$WINDOWS_CACHE"
    exec {WINDOWS_CACHE_LOCK}>>"$WINDOWS_CACHE/.lock"
    if ! flock -n "$WINDOWS_CACHE_LOCK"; then
        echo "windows: waiting for another run that holds $WINDOWS_CACHE/.lock" \
             "($(cat "$WINDOWS_CACHE/.lock.owner" 2>/dev/null || echo unknown))"
        flock "$WINDOWS_CACHE_LOCK"
    fi
    echo "process $$ on $(hostname), since $(date -u '+%F %T') UTC" >"$WINDOWS_CACHE/.lock.owner"
}

unlock_windows_cache() {
    rm -f "$WINDOWS_CACHE/.lock.owner"
    flock -u "$WINDOWS_CACHE_LOCK"
    exec {WINDOWS_CACHE_LOCK}>&-
}

# need_free_space WORK GIB: stops with a message when WORK's file system lacks the space that a
# build of GIB gibibytes in all still needs: a resumed build has part of it in WORK already, and
# its install needs one gibibyte at least.
need_free_space() {
    local work="$1" gib="$2" free have need
    free="$(df -P -k "$work" | awk 'NR == 2 {print $4}')"
    have="$(du -s -k "$work" | cut -f1)"
    need=$((gib * 1024 * 1024 - have))
    [ "$need" -ge $((1024 * 1024)) ] || need=$((1024 * 1024))
    if [ "$free" -lt "$need" ]; then
        echo "windows: only $((free / 1024)) MiB free in $work; building Qt for Windows" \
             "needs about $((need / 1024)) MiB more" >&2
        return 1
    fi
}

# Shows the end of a failed step's log, and says so plainly when the disk was full.
report_failure() {
    local what="$1" log="$2"
    if grep -q 'No space left on device' "$log"; then
        echo "windows: $what failed: the disk holding $(dirname "$log") is full" >&2
    else
        grep -E -B2 -A8 'error|FAILED' "$log" | head -60 >&2 || tail -40 "$log" >&2
        echo "windows: $what failed; see $log" >&2
    fi
}

# Builds Qt for Windows into the cache unless it is there already. The build runs in a folder of
# its own, PREFIX.partial, which counts only once installed and marked whole: a stopped build
# resumes there where it stopped, and nothing half-made is ever taken for a finished one. Builds
# for other keys are kept (scripts/windows --prune removes them); others' leftover .partial
# folders are removed.
ensure_windows_qt() {
    set_qt_windows_options
    local prefix
    prefix="$(windows_qt_prefix)"
    lock_windows_cache
    if [ -f "$prefix/.complete" ]; then
        unlock_windows_cache
        return 0
    fi
    local work="$prefix.partial" partial
    for partial in "$WINDOWS_CACHE"/qt-*.partial; do
        [ -d "$partial" ] && [ "$partial" != "$work" ] && rm -rf "$partial"
    done
    mkdir -p "$work"
    [ -d "$work/build" ] && echo "windows: resuming the Qt build in $work"
    need_free_space "$work" 6 || return 1
    windows_qt_key_inputs >"$work/key"

    if [ ! -f "$work/source.done" ]; then
        rm -rf "$work/build" "$work"/qt6-base*
        fetch_qt_source "$work" || return 1
        touch "$work/source.done"
    fi
    local source
    source="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)"
    [ -n "$source" ] || { echo "windows: no unpacked qt6-base source in $work" >&2; return 1; }
    # Qt's own resources carry a time: its source's, so that every machine gets the same Qt.
    local epoch
    epoch="$(dpkg-parsechangelog -l "$source/debian/changelog" -S Timestamp)"

    # The toolchain file is kept with the Qt it built, which records its path.
    mkdir -p "$prefix"
    cp "$ROOT/cmake/mingw_w64_toolchain.cmake" "$prefix/toolchain.cmake"
    echo "windows: building Qt for Windows (once per version; about 30 minutes on 2 cores)"
    local started=$SECONDS
    local prefix_maps="-ffile-prefix-map=$source=qtbase -ffile-prefix-map=$work/build=qtbase"
    if [ ! -f "$work/configure.done" ]; then
        if ! SOURCE_DATE_EPOCH="$epoch" cmake -G Ninja -S "$source" -B "$work/build" \
            -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
            -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$(host_cmake_dir)" \
            "${QT_WINDOWS_OPTIONS[@]}" \
            "-DCMAKE_C_FLAGS_RELEASE=-DNDEBUG $prefix_maps" \
            "-DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG $prefix_maps" \
            >"$work/configure.log" 2>&1; then
            report_failure "Qt's configure" "$work/configure.log"
            return 1
        fi
        touch "$work/configure.done"
    fi
    if ! SOURCE_DATE_EPOCH="$epoch" cmake --build "$work/build" -j "$JOBS" \
        >>"$work/build.log" 2>&1; then
        report_failure "Qt's build" "$work/build.log"
        return 1
    fi
    # Installed into the final prefix (its path is recorded in Qt's CMake files), then marked
    # whole; a failed install removes what it wrote, and any run that finds no mark installs again.
    if ! cmake --install "$work/build" >"$work/install.log" 2>&1; then
        rm -rf "$prefix"
        report_failure "Qt's install" "$work/install.log"
        return 1
    fi
    cp "$work/key" "$prefix/key"
    keep_qt_attributions "$source" "$prefix/attributions"
    echo "built in $((SECONDS - started)) s from qt6-base $(host_qt_version)" >"$prefix/.complete"
    rm -rf "$work"
    unlock_windows_cache
    echo "windows: Qt for Windows built in $((SECONDS - started)) s"
}

# Removes the cached Qt builds of every other key (other versions, options or toolchains).
prune_windows_qt() {
    local keep
    keep="$(windows_qt_prefix)"
    lock_windows_cache
    local folder
    for folder in "$WINDOWS_CACHE"/qt-*; do
        [ -e "$folder" ] || continue
        case "$folder" in
            "$keep" | "$keep.partial") ;;
            *) echo "windows: removing ${folder##*/}"; rm -rf "$folder" ;;
        esac
    done
    unlock_windows_cache
}

