#!/usr/bin/env bash
# Makes Qt 6 for Windows x86-64 (MinGW-w64) from Debian's own source packages, for when the ready
# archive in ../shared/windows/ is not at hand: qtbase of the same version as the host's Qt tools
# (Core, Gui, Widgets, Network with Schannel, Sql with the SQLite driver, Test, the windows platform
# plugin and the native style), shared libraries, Release, installed into build-windows-deps/qt6-mingw.
# About 20-25 minutes on 2 idle cores (43 on a busy shared machine). TARVO_QT_CONFIGURE_ONLY=1 stops
# after the configure step.
# Qt Charts is not made here: Debian's archive serves the .dsc of qt6-charts 6.4.2-3 but not its
# tarballs (404). Only the ready archive has it.
#
# Debian's qtbase source is repacked without src/3rdparty/sqlite and src/3rdparty/wintab, and
# Qt 6.4.2 does not link its windows platform plugin without Direct2D; the mends are below.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/windows/common.sh
source scripts/windows/debian-source.sh

bash scripts/setup-deps.sh "${windows_packages[@]}" tcl perl libwine-dev qt6-base-dev-tools
work="$windows_deps/qt-make"
prefix="$PWD/$windows_qt"
qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
sqlite_version=$(dpkg-query -W -f='${source:Version}' libsqlite3-0)
mkdir -p "$work"

say "fetching the sources of qt6-base $qt_version and sqlite3 $sqlite_version from Debian"
debian_source "qt6-base=$qt_version" "$work/qtbase"
debian_source "sqlite3=$sqlite_version" "$work/sqlite3"

say "making the SQLite amalgamation that Debian's qtbase source leaves out"
(cd "$work/sqlite3" && ./configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
mkdir -p "$work/qtbase/src/3rdparty/sqlite"
cp "$work/sqlite3/sqlite3.c" "$work/sqlite3/sqlite3.h" "$work/qtbase/src/3rdparty/sqlite/"

say "putting Wine's LGPL wintab headers where the windows platform plugin looks for its own"
wintab="$work/qtbase/src/3rdparty/wintab"
mkdir -p "$wintab"
cp /usr/include/wine/wine/windows/wintab.h "$wintab/wine-wintab.h"
cp /usr/include/wine/wine/windows/pktdef.h "$wintab/pktdef.h"
cat >"$wintab/wintab.h" <<'HEADER'
/* Wine's wintab.h, made to compile outside Wine with MinGW-w64. */
#pragma once
#include <windows.h>
#include <_mingw_dxhelper.h>
#ifndef API
#define API WINAPI
#endif
#include "wine-wintab.h"
HEADER

say "mending the windows platform plugin, which needs Direct2D for its DirectWrite font database"
integration="$work/qtbase/src/plugins/platforms/windows/qwindowsintegration.cpp"
grep -q '^#if QT_CONFIG(directwrite3)$' "$integration" || fail "$integration has no '#if QT_CONFIG(directwrite3)' to mend"
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' "$integration"

say "configuring qtbase"
features_off=(
    vulkan dbus icu printsupport concurrent xml openssl libproxy brotli zstd direct2d
    system_zlib system_pcre2 system_harfbuzz system_freetype system_png system_jpeg system_sqlite
    system_doubleconversion system_libb2 system_textmarkdownreader
    sql_odbc sql_psql sql_mysql sql_ibase sql_oci sql_db2
)
feature_options=()
for feature in "${features_off[@]}"; do
    feature_options+=("-DFEATURE_$feature=OFF")
done
cmake -S "$work/qtbase" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_opengl=no -DFEATURE_sql_sqlite=ON -DFEATURE_schannel=ON \
    "${feature_options[@]}" >"$work/configure.log" 2>&1 || {
    tail -30 "$work/configure.log"
    fail "qtbase did not configure; see $work/configure.log"
}
grep -E 'SQLite|Schannel|windows' "$work/build/config.summary" | head -20 || true
if [ "${TARVO_QT_CONFIGURE_ONLY:-0}" = 1 ]; then
    say "configured in $work/build (TARVO_QT_CONFIGURE_ONLY=1: not built)"
    exit 0
fi

say "building qtbase (about 1,200 steps; the compiler's output goes to $work/build.log)"
cmake --build "$work/build" --parallel "${TARVO_JOBS:-2}" >"$work/build.log" 2>&1 || {
    grep -E 'FAILED|error' "$work/build.log" | head -20
    fail "qtbase did not build; see $work/build.log"
}
rm -rf "$prefix"
cmake --install "$work/build" >/dev/null
[ -f "$prefix/bin/Qt6Core.dll" ] && [ -f "$prefix/plugins/platforms/qwindows.dll" ] &&
    [ -f "$prefix/plugins/sqldrivers/qsqlite.dll" ] || fail "the installed Qt in $prefix is incomplete"
echo "debian qt6-base $qt_version" >"$prefix/.tarvo-made-from"
rm -rf "$work"
say "made $prefix"
