#!/usr/bin/env bash
# Builds Tessmark for 64-bit Windows on Debian 12, runs its tests under Wine
# and writes the portable zip and the installer into build-win/:
#   build-win/tessmark-2.0.0-win64.zip
#   build-win/tessmark-2.0.0-win64-setup.exe
#
# Qt and QScintilla are built for Windows from Debian's own source packages
# (apt-get source), once, into a cache outside the work tree
# (TESSMARK_WIN_CACHE, by default ~/.cache/tessmark-win). A stamp of the source
# versions, the compiler and the options decides whether a later run reuses
# them. The long builds run under `nice -n 19`; TESSMARK_WIN_JOBS (default 2)
# sets their parallelism. Exits 0 only when every step and every test passed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${TESSMARK_WIN_CACHE:-$HOME/.cache/tessmark-win}
build=$root/build-win
jobs=${TESSMARK_WIN_JOBS:-2}
mingw=x86_64-w64-mingw32
toolchain=$root/cmake/mingw-w64.cmake
version=$(sed -n 's/^project(tessmark VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
apt_get=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900)

started=$SECONDS
step() { printf '\n== %s (%ds)\n' "$*" $((SECONDS - started)); }

# --- What the build needs from Debian ---------------------------------------
packages=(
    g++-mingw-w64-x86-64-posix cmake ninja-build nsis wine wine64 xvfb xauth
    xdotool zip dpkg-dev qt6-base-dev qt6-base-dev-tools binutils
)
install_packages() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing: ${missing[*]}"
    "${apt_get[@]}" update -qq
    "${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}

# apt-get source needs a deb-src entry. The one added here copies the
# machine's own deb entry (same archive, suites and keyring), so that the
# sources come from where the binaries come from.
ensure_deb_src() {
    if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return
    fi
    local list
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        list=/etc/apt/sources.list.d/tessmark-deb-src.sources
        sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            "${sudo[@]}" tee "$list" >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
        list=/etc/apt/sources.list.d/tessmark-deb-src.list
        sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list |
            "${sudo[@]}" tee "$list" >/dev/null
    else
        echo "no deb entry found to derive a deb-src entry from" >&2
        exit 1
    fi
    echo "Added $list"
    "${apt_get[@]}" update -qq
}

# Unpacks a source package (with Debian's patches applied) into
# $cache/src/<name>-<version> and prints that folder.
fetch_source() {
    local name=$1 ver dir
    ver=$(apt-cache showsrc "$name" | sed -n 's/^Version: //p' | sort -V | tail -1)
    [ -n "$ver" ] || { echo "no source package $name" >&2; exit 1; }
    dir=$cache/src/$name-$ver
    if [ ! -f "$dir/.unpacked" ]; then
        rm -rf "$dir" "$dir.tmp"
        mkdir -p "$dir.tmp"
        (cd "$dir.tmp" && apt-get source -qq "$name=$ver" >&2)
        mv "$dir.tmp"/"$name"-*/ "$dir"
        mkdir -p "$cache/src/archives"
        mv "$dir.tmp"/*.dsc "$dir.tmp"/*.tar.* "$cache/src/archives/" 2>/dev/null || true
        rm -rf "$dir.tmp"
        touch "$dir/.unpacked"
    fi
    echo "$dir"
}

# --- Qt for Windows -----------------------------------------------------------
# Shared and release, with testlib and PrintSupport (which QScintilla needs),
# every third-party library bundled, and what the program does not use left
# out. OpenGL goes off as an input, dynamic GL too, or the windows platform
# plugin does not compile; Direct2D stays on, as the DirectWrite font code
# needs it. Debian's source lacks the Wintab headers, hence no tablet events.
# Debian's own Qt 6 (same version) gives the host tools: moc, rcc, uic.
qt_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF
    -DFEATURE_pkg_config=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_testlib=ON -DFEATURE_printsupport=ON
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_doubleconversion=OFF
)
# Only what Tessmark, its tests and QScintilla use is built.
qt_targets=(
    Core Gui Widgets PrintSupport Test EntryPointImplementation
    QWindowsIntegrationPlugin QOffscreenIntegrationPlugin QMinimalIntegrationPlugin
    QWindowsVistaStylePlugin QGifPlugin QICOPlugin QJpegPlugin
)

# Runs "$@" only when $stamp differs from the stamp file $1 holds, then
# writes it; a build that fails leaves no stamp, so the next run starts over.
stamped() {
    local file=$1 stamp=$2
    shift 2
    if [ -f "$file" ] && [ "$(cat "$file")" = "$stamp" ]; then
        echo "up to date: $file"
        return
    fi
    rm -f "$file"
    "$@"
    printf '%s' "$stamp" >"$file"
}

build_qt() {
    rm -rf "$qt"
    # The build folder is Qt's prefix too (a "non-prefix" build), so the
    # targets built are usable where they are, with no install step.
    nice -n 19 cmake -S "$qt_src" -B "$qt" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$qt" \
        "${qt_options[@]}" >"$cache/qt-configure.log" 2>&1 ||
        { tail -40 "$cache/qt-configure.log"; return 1; }
    nice -n 19 cmake --build "$qt" --parallel "$jobs" --target "${qt_targets[@]}"
}

main_qt() {
    step "Qt for Windows"
    qt_src=$(fetch_source qt6-base)
    qt=$cache/qt6-win64
    stamped "$cache/qt.stamp" \
        "$(basename "$qt_src") $($mingw-g++-posix -dumpfullversion) ${qt_options[*]} ${qt_targets[*]}" \
        build_qt
}

# --- QScintilla for Windows, a static library ----------------------------------
# Built with its own project file through Debian's host qmake, which reads the
# cross Qt's target_qt.conf; the compiler's names must come after -early, or
# the host compiler is tried. The library and its headers are copied into
# $cache/qscintilla-win64.
qsci_options=(
    -early CROSS_COMPILE=$mingw- QMAKE_CC=$mingw-gcc-posix QMAKE_CXX=$mingw-g++-posix
    QMAKE_LINK=$mingw-g++-posix QMAKE_LINK_C=$mingw-gcc-posix "QMAKE_LIB=$mingw-gcc-ar-posix -rc"
    -before CONFIG+=staticlib CONFIG+=release CONFIG-=debug_and_release
    CONFIG-=debug_and_release_target
)

build_qscintilla() {
    local work=$cache/qscintilla-build
    rm -rf "$work" "$qsci"
    mkdir -p "$work" "$qsci/lib" "$qsci/include"
    (cd "$work" &&
        /usr/lib/qt6/bin/qmake -qtconf "$qt/bin/target_qt.conf" "${qsci_options[@]}" \
            "$qsci_src/src/qscintilla.pro" >"$cache/qscintilla-qmake.log" 2>&1 &&
        nice -n 19 make -j"$jobs" >"$cache/qscintilla-make.log" 2>&1) ||
        { tail -40 "$cache/qscintilla-make.log" "$cache/qscintilla-qmake.log" 2>/dev/null; return 1; }
    cp "$work"/libqscintilla2_qt6.a "$qsci/lib/"
    cp -r "$qsci_src/src/Qsci" "$qsci/include/"
    rm -rf "$work"
}

main_qscintilla() {
    step "QScintilla for Windows"
    qsci_src=$(fetch_source qscintilla2)
    qsci=$cache/qscintilla-win64
    stamped "$cache/qscintilla.stamp" \
        "$(basename "$qsci_src") $(cat "$cache/qt.stamp") ${qsci_options[*]}" build_qscintilla
}

# --- Tessmark for Windows, and its tests under Wine -----------------------------
build_tessmark() {
    step "Tessmark for Windows"
    cmake -S "$root" -B "$build" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_FIND_ROOT_PATH="$cache" -DCMAKE_PREFIX_PATH="$qt;$qsci" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DTESSMARK_WERROR=ON -DTESSMARK_BENCHMARKS=OFF \
        -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
    nice -n 19 cmake --build "$build" --parallel "$jobs"
}

# A display of our own for Wine, which wants one even for programs that show
# nothing; stopped by its process id when the script ends.
start_display() {
    local n
    for n in $(shuf -i 400-899 -n 20); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -noreset -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do
            if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock")" = "$xvfb_pid" ]; then
                export DISPLAY=:$n
                return
            fi
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null || true
    done
    echo "could not start Xvfb" >&2
    exit 1
}
stop_display() { [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true; }

# A fresh Wine prefix that reports Windows 10, as Qt 6 needs; Wine's web
# engine and .NET are not asked for.
new_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    rm -rf "$WINEPREFIX"
    wine wineboot --init >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
    wineserver --wait
}

# The MinGW runtime's DLLs, which the programs need beside Qt's.
runtime_dlls=(
    /usr/lib/gcc/$mingw/12-posix/libstdc++-6.dll
    /usr/lib/gcc/$mingw/12-posix/libgcc_s_seh-1.dll
    /usr/$mingw/lib/libwinpthread-1.dll
)

run_tests() {
    step "Tests under Wine"
    new_prefix "$build/wine-tests"
    # The tests find Qt's DLLs and plugins where they were built. Wine keeps
    # the host's QT_* variables from Windows programs and hands them WINEQT_*
    # under the QT_* names instead; so the offscreen platform, which CTest
    # sets for each test, is set that way too.
    mkdir -p "$build/runtime"
    cp "${runtime_dlls[@]}" "$build/runtime/"
    export WINEPATH="Z:$qt/bin;Z:$build/runtime"
    export WINEQT_PLUGIN_PATH="Z:$qt/plugins" WINEQT_QPA_PLATFORM=offscreen
    (cd "$build" && ctest --output-on-failure --timeout 600)
    unset WINEPATH WINEQT_PLUGIN_PATH WINEQT_QPA_PLATFORM
    wineserver --kill 2>/dev/null || true # none left running is fine too
}

# --- The portable folder, the zip and the installer ----------------------------
qt_dlls=(bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll
    plugins/platforms/qwindows.dll plugins/styles/qwindowsvistastyle.dll
    plugins/imageformats/qgif.dll plugins/imageformats/qico.dll plugins/imageformats/qjpeg.dll)

deploy() {
    step "The portable folder"
    local name=tessmark-$version-win64 dir f
    dir=$build/$name
    rm -rf "$dir" "$build/$name.zip"
    mkdir -p "$dir/licenses"
    cp "$build/tessmark.exe" "$dir/"
    for f in "${qt_dlls[@]}"; do
        case $f in
        bin/*) cp "$qt/$f" "$dir/" ;;
        plugins/*) mkdir -p "$dir/$(dirname "${f#plugins/}")" && cp "$qt/$f" "$dir/${f#plugins/}" ;;
        esac
    done
    cp "${runtime_dlls[@]}" "$dir/"
    find "$dir" -name '*.exe' -o -name '*.dll' | xargs $mingw-strip --strip-unneeded
    # The version that the file's Properties show is in the exe, stripped too.
    strings -el "$dir/tessmark.exe" | grep -A1 -x ProductVersion | grep -qx "$version" ||
        { echo "tessmark.exe carries no version $version" >&2; exit 1; }
    # What the program links must all be there (or be Windows' own).
    local missing
    missing=$(find "$dir" -name '*.exe' -o -name '*.dll' | xargs $mingw-objdump -p |
        sed -n 's/^\s*DLL Name: //p' | sort -u | while read -r f; do
            if [ ! -e "$dir/$f" ] && { [ -e "$qt/bin/$f" ] || [ -e "$build/runtime/$f" ]; }; then
                echo "$f"
            fi
        done)
    [ -z "$missing" ] || { echo "DLLs missing from the folder: $missing" >&2; exit 1; }

    cp "$root/LICENSE" "$dir/licenses/Tessmark-GPL-3.0-or-later.txt"
    cp "$qt_src/LICENSES/LGPL-3.0-only.txt" "$dir/licenses/Qt-LGPL-3.0.txt"
    cp "$qt_src/LICENSES/GPL-3.0-only.txt" "$dir/licenses/Qt-GPL-3.0.txt"
    cp "$qt_src/debian/copyright" "$dir/licenses/Qt-copyright.txt"
    cp "$qsci_src/LICENSE" "$dir/licenses/QScintilla-GPL-3.0.txt"
    cp "$qsci_src/debian/copyright" "$dir/licenses/QScintilla-copyright.txt"
    cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright "$dir/licenses/GCC-runtime-copyright.txt"
    cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$dir/licenses/MinGW-w64-copyright.txt"
    sed -e "s/@VERSION@/$version/g" \
        -e "s/@QT_SOURCE@/$(source_name "$qt_src")/g" \
        -e "s/@QSCINTILLA_SOURCE@/$(source_name "$qsci_src")/g" \
        -e "s/@MINGW@/$(dpkg-query -W -f='${Package} ${Version}' gcc-mingw-w64-x86-64-posix-runtime)/g" \
        -e "s/@MINGW_DEV@/$(dpkg-query -W -f='${Package} ${Version}' mingw-w64-x86-64-dev)/g" \
        "$root/resources/windows/SOURCES.txt.in" | sed 's/$/\r/' >"$dir/licenses/SOURCES.txt"

    (cd "$build" && TZ=UTC find "$name" -exec touch -d @"$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)" {} + &&
        find "$name" -type f | LC_ALL=C sort | zip -q -X -9 "$name.zip" -@)
    echo "$build/$name.zip: $(stat -c %s "$build/$name.zip") bytes"

    step "The installer"
    # The folder's files one by one, for the installer and its uninstaller.
    local sub
    {
        while read -r sub; do
            printf 'SetOutPath "$INSTDIR%s"\n' "$(winpath "${sub#.}")"
            find "$dir/$sub" -maxdepth 1 -type f | LC_ALL=C sort | sed 's/.*/File "&"/'
        done < <(cd "$dir" && find . -type d | LC_ALL=C sort)
        echo 'SetOutPath "$INSTDIR"'
    } >"$build/installer-files.nsh"
    {
        (cd "$dir" && find . -type f | LC_ALL=C sort) |
            while read -r f; do printf 'Delete "$INSTDIR%s"\n' "$(winpath "${f#.}")"; done
        (cd "$dir" && find . -mindepth 1 -type d | LC_ALL=C sort -r) |
            while read -r f; do printf 'RMDir "$INSTDIR%s"\n' "$(winpath "${f#.}")"; done
    } >"$build/uninstaller-files.nsh"
    makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSOURCE="$dir" \
        -DICON="$root/resources/windows/tessmark.ico" -DLICENSE="$root/LICENSE" \
        -DOUTFILE="$build/$name-setup.exe" "$root/resources/windows/installer.nsi"
    echo "$build/$name-setup.exe: $(stat -c %s "$build/$name-setup.exe") bytes"
}

winpath() { printf '%s' "$1" | tr / '\\'; }

# "qt6-base 6.4.2+dfsg-10", from the folder's name and its changelog.
source_name() {
    (cd "$1" && dpkg-parsechangelog -S Source | tr -d '\n' && printf ' ' && dpkg-parsechangelog -S Version)
}

end_to_end() {
    step "Install, open, save and uninstall under Wine"
    new_prefix "$build/wine-e2e"
    bash "$root/scripts/windows-package-check.sh" "$build/tessmark-$version-win64-setup.exe"
    wineserver --kill 2>/dev/null || true # none left running is fine too
}

main() {
    mkdir -p "$cache"
    step "Packages"
    install_packages
    ensure_deb_src
    main_qt
    main_qscintilla
    build_tessmark
    start_display
    trap stop_display EXIT
    run_tests
    deploy
    end_to_end
    step "Done: $build/tessmark-$version-win64.zip and $build/tessmark-$version-win64-setup.exe"
}

# `--functions` only defines them, to run a step by hand.
[ "${1:-}" = --functions ] || main
