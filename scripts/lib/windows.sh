# Shared by the Windows scripts: the cross toolchain, Wine, and Qt for Windows built from
# Debian's own qt6-base source, statically, once per version and set of options.
# shellcheck shell=bash

MINGW_TRIPLET=x86_64-w64-mingw32
# The posix-threads compilers, Wine to run what they build, ninja for Qt's long build, dpkg-dev
# to unpack the source with Debian's patches, NSIS and zip for the installer and the archive,
# fonts for the Wine runs, base-files for the licence texts.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine ninja-build
                  dpkg-dev qt6-base-dev qt6-base-dev-tools fonts-liberation2 fonts-urw-base35
                  nsis zip base-files)

WINDOWS_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/mv4016-calculator/windows"

# Only what the program and its tests use: Core, Gui, Widgets, Test and the windows and
# offscreen platforms, linked statically with the compiler's runtime. Third-party code comes from
# Qt's own copies, so that the program depends on no DLL outside Windows. OpenGL stays dynamic
# (the windows platform does not build without it) and tablet events are off (Debian's source
# leaves out the Wintab headers). Sections per function and -Os keep the program small.
# Direct2D is left out of Qt 6.4, and with it DirectWrite 3: without Direct2D, 6.4 leaves out the
# DirectWrite font database that its windows platform still refers to (that database is only
# used on request; GDI's is the default). Later versions no longer compile with Direct2D off
# (their font database keeps a DirectWrite font loader that only exists with it), so there both
# keep Qt's defaults.
# Set by set_qt_windows_options once the host's Qt is installed, since it depends on its version.
QT_WINDOWS_OPTIONS=()
set_qt_windows_options() {
    local directx=(-DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF)
    local version
    version="$(host_qt_version)"
    case "${version#*:}" in
        6.4.*) ;;
        *) directx=() ;;
    esac
    QT_WINDOWS_OPTIONS=(
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
        -DFEATURE_optimize_size=ON
        "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections"
        "-DCMAKE_CXX_FLAGS=-ffunction-sections -fdata-sections"
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF
        -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_opengl=ON
        -DFEATURE_tabletevent=OFF "${directx[@]}"
        -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
        -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
    )
}

# need_command COMMAND PACKAGE: stops with a message naming the package when COMMAND is missing.
need_command() {
    if ! command -v "$1" >/dev/null 2>&1; then
        echo "windows: '$1' is missing; install Debian's package '$2'" >&2
        exit 1
    fi
}

check_windows_tools() {
    need_command "$MINGW_TRIPLET-g++-posix" g++-mingw-w64-x86-64-posix
    need_command "$MINGW_TRIPLET-objdump" binutils-mingw-w64-x86-64
    need_command wine wine
    need_command ninja ninja-build
    need_command dpkg-source dpkg-dev
    need_command /usr/lib/qt6/libexec/moc qt6-base-dev-tools
}

host_qt_version() {
    dpkg-query -W -f='${Version}' qt6-base-dev
}

# The cache folder of the Qt that these options and toolchains give.
windows_qt_prefix() {
    set_qt_windows_options
    local key
    key="$(
        {
            host_qt_version
            "$MINGW_TRIPLET-g++-posix" --version | head -1
            printf '%s\n' "${QT_WINDOWS_OPTIONS[@]}"
        } | sha256sum | cut -c1-12
    )"
    local upstream
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

# Builds Qt for Windows into the cache unless it is there already. The build goes to a folder of
# its own and is moved into place only when whole, so a failed or stopped build leaves nothing
# that a later run could take for a finished one.
ensure_windows_qt() {
    set_qt_windows_options
    local prefix
    prefix="$(windows_qt_prefix)"
    [ -f "$prefix/.complete" ] && return 0
    local work="$prefix.partial"
    rm -rf "$work" "$prefix"
    mkdir -p "$work" "$prefix"
    fetch_qt_source "$work"
    local source
    source="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -1)"
    [ -n "$source" ] || { echo "windows: no unpacked qt6-base source in $work" >&2; return 1; }
    # The toolchain file is kept with the Qt it built, which records its path.
    cp "$ROOT/cmake/mingw_w64_toolchain.cmake" "$prefix/toolchain.cmake"
    echo "windows: building Qt for Windows (once per version; about 30 minutes on 2 cores)"
    local started=$SECONDS
    local prefix_maps="-ffile-prefix-map=$source=qtbase -ffile-prefix-map=$work/build=qtbase"
    if ! cmake -G Ninja -S "$source" -B "$work/build" \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        "${QT_WINDOWS_OPTIONS[@]}" \
        "-DCMAKE_C_FLAGS_RELEASE=-DNDEBUG $prefix_maps" \
        "-DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG $prefix_maps" \
        >"$work/configure.log" 2>&1; then
        tail -40 "$work/configure.log" >&2
        echo "windows: Qt's configure failed; see $work/configure.log" >&2
        return 1
    fi
    if ! cmake --build "$work/build" -j "$JOBS" >"$work/build.log" 2>&1; then
        grep -E -B2 -A8 'error|FAILED' "$work/build.log" | head -60 >&2
        echo "windows: Qt's build failed; see $work/build.log" >&2
        return 1
    fi
    # Installed into the final prefix (its path is recorded in Qt's CMake files), then marked
    # whole; a failed install removes what it wrote, and any run that finds no mark starts over.
    if ! cmake --install "$work/build" >"$work/install.log" 2>&1; then
        rm -rf "$prefix"
        tail -20 "$work/install.log" >&2
        return 1
    fi
    echo "built in $((SECONDS - started)) s from qt6-base $(host_qt_version)" >"$prefix/.complete"
    rm -rf "$work"
    # Builds for other versions or options are not used again.
    find "$WINDOWS_CACHE" -mindepth 1 -maxdepth 1 -name 'qt-*' ! -name "${prefix##*/}" \
        ! -name '*.partial' -exec rm -rf {} +
    echo "windows: Qt for Windows built in $((SECONDS - started)) s"
}
