#!/usr/bin/env bash
# Makes ready what the Windows build takes from outside the repository, once, into
# build-windows-deps/ (kept across clean builds):
#   - the Debian packages (cross compiler, Wine, NSIS, GoogleTest sources, ...) when missing;
#   - Qt 6.4.2 for MinGW: the ready archive ../shared/windows/qt6-mingw-6.4.2-x86_64.tar.xz
#     (TARVO_QT_ARCHIVE_DIR), checked against its SHA256SUMS and unpacked; without the archive,
#     scripts/windows/make-qt.sh builds it from Debian's source packages (20-25 minutes);
#   - GoogleTest built for Windows from Debian's sources in /usr/src/googletest;
#   - cpp-httplib's single header from Debian's source package of the installed version (Debian's
#     libcpp-httplib-dev holds only its declarations).
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/windows/common.sh
source scripts/windows/debian-source.sh

bash scripts/setup-deps.sh "${windows_packages[@]}"
mkdir -p "$windows_deps"

archive_dir="${TARVO_QT_ARCHIVE_DIR:-../shared/windows}"
archive="$archive_dir/qt6-mingw-6.4.2-x86_64.tar.xz"
qt_stamp="$windows_qt/.tarvo-made-from"
if [ -f "$archive" ]; then
    made_from="archive $(sha256sum "$archive" | cut -d' ' -f1)"
    if [ "$(cat "$qt_stamp" 2>/dev/null)" != "$made_from" ]; then
        say "checking and unpacking $archive"
        (cd "$archive_dir" && sha256sum --quiet -c SHA256SUMS) || fail "$archive does not match its SHA256SUMS"
        rm -rf "$windows_qt" "$windows_deps/qt-unpacking"
        mkdir -p "$windows_deps/qt-unpacking"
        tar -xJf "$archive" -C "$windows_deps/qt-unpacking"
        [ -f "$windows_deps/qt-unpacking/qt6-mingw/bin/Qt6Core.dll" ] || fail "$archive holds no qt6-mingw/bin/Qt6Core.dll"
        mv "$windows_deps/qt-unpacking/qt6-mingw" "$windows_qt"
        rmdir "$windows_deps/qt-unpacking"
        echo "$made_from" >"$qt_stamp"
    fi
elif [ ! -f "$qt_stamp" ]; then
    say "no $archive: making Qt for MinGW from Debian's source packages (20-25 minutes on 2 cores)"
    bash scripts/windows/make-qt.sh
fi

googletest="$windows_deps/googletest"
googletest_version=$(dpkg-query -W -f='${Version}' googletest)
if [ "$(cat "$googletest/.tarvo-version" 2>/dev/null)" != "$googletest_version" ]; then
    say "building GoogleTest $googletest_version for Windows"
    rm -rf "$googletest" "$windows_deps/googletest-build"
    cmake -S /usr/src/googletest -B "$windows_deps/googletest-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PWD/$googletest" >/dev/null
    cmake --build "$windows_deps/googletest-build" --parallel "${TARVO_JOBS:-2}" >/dev/null
    cmake --install "$windows_deps/googletest-build" >/dev/null
    rm -rf "$windows_deps/googletest-build"
    echo "$googletest_version" >"$googletest/.tarvo-version"
fi

httplib="$windows_deps/cpp-httplib"
httplib_version=$(dpkg-query -W -f='${source:Version}' libcpp-httplib-dev)
if [ "$(cat "$httplib/.tarvo-version" 2>/dev/null)" != "$httplib_version" ]; then
    say "fetching cpp-httplib $httplib_version from Debian's source package"
    debian_source "cpp-httplib=$httplib_version" "$windows_deps/cpp-httplib-source"
    rm -rf "$httplib"
    mkdir -p "$httplib"
    cp "$windows_deps/cpp-httplib-source/httplib.h" "$windows_deps/cpp-httplib-source/LICENSE" "$httplib/"
    rm -rf "$windows_deps/cpp-httplib-source"
    echo "$httplib_version" >"$httplib/.tarvo-version"
fi
say "ready: $windows_qt, $googletest, $httplib"
