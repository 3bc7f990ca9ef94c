# Shared by the scripts of the Windows build (sourced, not run). Paths are relative to the
# repository root, which every script makes its working folder.
#   build-windows-deps/  what the Windows build takes from outside the repository and keeps across
#                        clean builds: the Qt for MinGW, GoogleTest, cpp-httplib's single header
#   build-windows/       the cross build (preset "windows"), its test runs and its packages
source scripts/common.sh

windows_deps="build-windows-deps"
windows_build="build-windows"
windows_qt="$windows_deps/qt6-mingw"
mingw_triplet="x86_64-w64-mingw32"
# The local draw source's own port (tarvo-drawd's default), where the programs' settings find it.
local_port=8511

# What the Windows scripts need beyond the Linux build's own packages.
windows_packages=(
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    wine wine64 nsis unzip xz-utils googletest dpkg-dev python3 iproute2 x11-utils
)

# Starts a fresh Wine prefix in $1 (removed first) with a home folder of its own beside it, so no
# run writes into the user's home or desktop menu, and keeps its wineserver running until
# wine_stop: every later program starts in a fraction of a second instead of seconds.
wine_start() {
    local prefix
    prefix=$(realpath -m "$1")
    rm -rf "$prefix" "$prefix-home"
    mkdir -p "$prefix" "$prefix-home"
    export WINEPREFIX="$prefix"
    export HOME="$prefix-home"
    export WINEDEBUG=-all
    # No menu entries or file associations on the host for what the tests install.
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    wineserver -p || fail "wineserver did not start for $prefix"
    wineboot -i >/dev/null 2>&1 || fail "wineboot could not make the Wine prefix $prefix"
}

# Starts the prefix's wineserver and desktop process anew, e.g. to take a changed display setting.
wine_restart() {
    wineserver -k
    wineserver -w
    wineserver -p
}

# Gives the prefix one Wine virtual desktop of size $1 (e.g. 1280x1024), with Wine's own taskbar and
# tray, as a Windows desktop has. Without it each window is a top-level of an X server that has no
# window manager, and Wine waits two seconds for an answer that never comes whenever a window is
# hidden or a tray icon removed: seconds of every window test.
wine_virtual_desktop() {
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1 ||
        fail "could not set Wine's virtual desktop"
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d "$1" /f >/dev/null 2>&1 ||
        fail "could not set Wine's virtual desktop size"
    wine_restart
}

wine_stop() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}

# The Windows path (drive Z:) of a host path.
windows_path() {
    local absolute
    absolute=$(realpath -m "$1")
    printf 'Z:%s' "${absolute//\//\\}"
}

# Runs "$@" where 127.0.0.1:$local_port, the draw source the programs are built to read, is ours: in a
# network namespace of its own when the machine allows one (root), otherwise on the machine's own
# loopback when that port is free.
with_private_loopback() {
    if unshare --net true 2>/dev/null; then
        unshare --net bash -c 'ip link set lo up && exec "$@"' bash "$@"
    elif port_is_free "$local_port"; then
        echo "no network namespace here: using the machine's own 127.0.0.1:$local_port" >&2
        "$@"
    else
        fail "127.0.0.1:$local_port is taken and this machine allows no network namespace of our own"
    fi
}

# Every row of the four draw tables, in period order, as text: what two databases must share.
table_rows() {
    python3 - "$1" <<'PYTHON'
import sqlite3, sys
connection = sqlite3.connect(f"file:{sys.argv[1]}?mode=ro", uri=True)
for name in ("山东", "广东", "重庆", "江西"):
    for row in connection.execute(f'select 记录期号, "1", "2", "3", "4", "5" from "{name}11选5彩票号码表" order by 记录期号'):
        print(name, *row)
PYTHON
}

# The folders whose DLLs a Windows program of this build may load: Qt's and the MinGW runtime's.
shippable_dll_folders() {
    echo "$windows_qt/bin"
    dirname "$("$mingw_triplet-g++-posix" -print-file-name=libstdc++-6.dll)"
    dirname "$("$mingw_triplet-g++-posix" -print-file-name=libwinpthread-1.dll)"
}

# The DLLs that binary $1 imports.
imported_dlls() {
    "$mingw_triplet-objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p'
}

# Writes the settings file 设置.ini into a program folder: the local draw source on 127.0.0.1:$local_port as
# its one source, or the sources given as INI text.
write_source_settings() {
    local folder="$1" text="${2:-}"
    [ -n "$text" ] || text="$(local_source_settings "$local_port")"$'\n'
    printf '%s' "$text" >"$folder/设置.ini"
}

# Copies programs of the Windows build ($2...) and everything they load into folder $1: the plugins
# Qt loads at run time (platform, SQLite driver, native style) and, found from the DLL imports of
# every file copied, the Qt and MinGW runtime DLLs; all stripped. (There is no windeployqt on Linux.)
deploy_windows_programs() {
    local folder="$1" qt_plugins="$windows_qt/plugins" binary dll dir
    shift
    mkdir -p "$folder/platforms" "$folder/sqldrivers" "$folder/styles" "$folder/tls"
    cp "$@" "$folder/"
    cp "$qt_plugins/platforms/qwindows.dll" "$folder/platforms/"
    cp "$qt_plugins/sqldrivers/qsqlite.dll" "$folder/sqldrivers/"
    cp "$qt_plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
    # https sources: Windows' own TLS (Schannel) and certificate store.
    cp "$qt_plugins/tls/qschannelbackend.dll" "$folder/tls/"
    mapfile -t folders < <(shippable_dll_folders)
    local pending=("$folder"/*.exe "$folder"/*/*.dll)
    while [ ${#pending[@]} -gt 0 ]; do
        binary="${pending[0]}"
        pending=("${pending[@]:1}")
        while read -r dll; do
            [ -e "$folder/$dll" ] && continue
            for dir in "${folders[@]}"; do
                if [ -f "$dir/$dll" ]; then
                    cp "$dir/$dll" "$folder/"
                    pending+=("$folder/$dll")
                    break
                fi
            done
        done < <(imported_dlls "$binary")
    done
    find "$folder" \( -name '*.exe' -o -name '*.dll' \) -exec "$mingw_triplet-strip" --strip-unneeded {} +
}
