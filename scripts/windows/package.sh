#!/usr/bin/env bash
# Makes the two Windows packages in build-windows/ and tries them under Wine as a user would:
#   tarvo-<version>-win64.zip   the portable folder (绿色版) tarvo-<version>-win64/: tarvo.exe,
#                               tarvo-cli.exe, tarvo-drawd.exe, every DLL and plugin they load
#                               (stripped), an empty 彩票数据.mdb and 使用说明.txt
#   tarvo-<version>-setup.exe   the NSIS installer (per user, no administrator rights)
# Arguments go to CMake's configure step, as for build.sh (e.g. the hosts of the draw sources).
# The checks: every DLL a program or plugin imports is in the folder or part of Windows; the zip
# unpacks to one folder with UTF-8 names and its program fills its tables from the local source;
# the installer installs silently under %LOCALAPPDATA%\Programs\Tarvo with its shortcuts, the
# installed program fills its tables, an upgrade over an older install and a second run keep the
# database, a run while the program runs changes nothing, and the uninstaller removes the program
# and keeps the database.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/windows/common.sh

started=$SECONDS
bash scripts/windows/build.sh "$@"
bash scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --parallel "${TARVO_JOBS:-2}" --target tarvo-drawd

cache_value() {
    sed -n "s/^$1:[A-Z]*=//p" "$windows_build/CMakeCache.txt"
}
version=$(cache_value CMAKE_PROJECT_VERSION)
[ -n "$version" ] || fail "no project version in $windows_build/CMakeCache.txt"
name="tarvo-$version-win64"
stage="$windows_build/package"
folder="$stage/$name"
zip_file="$windows_build/$name.zip"
setup_file="$windows_build/tarvo-$version-setup.exe"
rm -rf "$stage" "$zip_file" "$setup_file"
mkdir -p "$stage"

say "putting the portable folder together"
deploy_windows_programs "$folder" "$windows_build/app/tarvo.exe" "$windows_build/tools/cli/tarvo-cli.exe" \
    "$windows_build/tools/drawd/tarvo-drawd.exe"
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/windows/使用说明.txt |
    { printf '\xef\xbb\xbf'; cat; } >"$folder/使用说明.txt"
cp packaging/windows/tarvo.ico "$stage/"

say "checking that every DLL the programs and plugins import is in the folder or part of Windows"
mapfile -t shipped_from < <(shippable_dll_folders)
missing=()
while IFS= read -r -d '' binary; do
    while read -r dll; do
        [ -f "$folder/$dll" ] && continue
        for dir in "${shipped_from[@]}"; do
            [ -f "$dir/$dll" ] && missing+=("$(basename "$binary") needs $dll")
        done
    done < <(imported_dlls "$binary")
done < <(find "$folder" \( -name '*.exe' -o -name '*.dll' \) -print0)
[ ${#missing[@]} -eq 0 ] || fail "DLLs missing from the folder: ${missing[*]}"
for expected in Qt6Core Qt6Gui Qt6Widgets Qt6Network Qt6Sql Qt6Charts libstdc++-6 libgcc_s_seh-1 libwinpthread-1 \
    tls/qschannelbackend; do
    [ -f "$folder/$expected.dll" ] || fail "$expected.dll is not in the folder"
done
subsystem() {
    "$mingw_triplet-objdump" -p "$1" | sed -n 's/^Subsystem\s.*(\(.*\))$/\1/p'
}
[ "$(subsystem "$folder/tarvo.exe")" = "Windows GUI" ] || fail "tarvo.exe is not a window program (it would open a console)"
[ "$(subsystem "$folder/tarvo-cli.exe")" = "Windows CUI" ] || fail "tarvo-cli.exe is not a console program"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
say "making the empty draw database with tarvo-cli.exe"
(
    wine_start "$stage/wineprefix-make"
    trap wine_stop EXIT
    wine "$folder/tarvo-cli.exe" init-db --db "$(windows_path "$folder/彩票数据.mdb")" >/dev/null
) || fail "tarvo-cli.exe could not make the empty database"
# The engine keeps its log and index files beside the database until the last connection is gone;
# an empty log holds nothing, so the folder ships the database file alone.
[ ! -s "$folder/彩票数据.mdb-wal" ] || fail "the new database left draws in its log file"
rm -f "$folder/彩票数据.mdb-wal" "$folder/彩票数据.mdb-shm"
[ "$(table_counts "$folder/彩票数据.mdb")" = "0 0 0 0" ] || fail "the packaged database is not four empty tables"

say "packing $zip_file"
# Python's zipfile marks every non-ASCII name as UTF-8, which Windows' Explorer reads as such.
python3 - "$stage" "$name" "$zip_file" <<'PYTHON'
import os, sys, zipfile
stage, name, target = sys.argv[1:4]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for folder, subfolders, files in os.walk(os.path.join(stage, name)):
        subfolders.sort()
        for file in sorted(files):
            path = os.path.join(folder, file)
            archive.write(path, os.path.relpath(path, stage))
PYTHON
say "making $setup_file"
nsis=(makensis -V2 -INPUTCHARSET UTF8 "-DSOURCE=$PWD/$folder" "-DICON=$PWD/$stage/tarvo.ico")
# Beside it, on the other processor (each compresses the whole folder on one), an older installer of
# the same program, only for trying an upgrade.
"${nsis[@]}" "-DVERSION=$version" "-DOUTFILE=$PWD/$setup_file" packaging/windows/tarvo.nsi &
installer=$!
"${nsis[@]}" "-DVERSION=0.0.1" "-DOUTFILE=$PWD/$stage/tarvo-0.0.1-setup.exe" packaging/windows/tarvo.nsi ||
    fail "makensis could not make the older installer"
wait "$installer" || fail "makensis could not make $setup_file"
packed=$SECONDS

say "trying the packages under Wine"
with_private_loopback xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash scripts/windows/package-test.sh "$version" "$zip_file" "$setup_file" "$stage/tarvo-0.0.1-setup.exe"

zip_size=$(stat -c %s "$zip_file")
say "$zip_file: $((zip_size / 1024)) KiB; $setup_file: $(($(stat -c %s "$setup_file") / 1024)) KiB; \
folder unpacked: $(du -sk "$folder" | cut -f1) KiB"
[ "$zip_size" -le $((25 * 1024 * 1024)) ] || fail "the zip is larger than 25 MB"
say "packages made in $((packed - started)) s, tried in $((SECONDS - packed)) s"
