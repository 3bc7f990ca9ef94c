#!/usr/bin/env bash
# Tries the Windows packages under Wine as a user would; run by scripts/windows/package.sh where
# the local source's port is its own and under an X server. Arguments: version, zip, installer, and
# an installer of an older version made from the same folder.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/windows/common.sh

version="$1" zip_file="$2" setup="$3" older_setup="$4"
work="$windows_build/package-test"
watch=scripts/windows/watch-program.py
product="Tarvo 11选5精准计划软件"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo'
rm -rf "$work"
mkdir -p "$work"

cleanup() {
    stop_local_source
    wine_stop
}
trap cleanup EXIT
start_local_source build/tools/drawd/tarvo-drawd "$local_port" "$work/drawd.log" --now 2026-12-08T12:05
wine_start "$work/wineprefix"
unset WINEPATH

# The host path of a Windows environment variable's folder.
windows_folder_of() {
    winepath -u "$(wine cmd /c "echo %$1%" | tr -d '\r')"
}

# The version that Windows' list of installed programs shows, or nothing.
installed_version() {
    wine reg query "$uninstall_key" /v DisplayVersion 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ\s*//p'
}

say "the portable zip, unpacked into a folder whose path holds Chinese characters and a space"
unpacked="$work/解压 目录"
mkdir -p "$unpacked"
python3 - "$zip_file" <<'PYTHON' || fail "the zip stores a non-ASCII file name without its UTF-8 flag"
import sys, zipfile
for info in zipfile.ZipFile(sys.argv[1]).infolist():
    if not info.filename.isascii() and not info.flag_bits & 0x800:
        sys.exit(f"{info.filename}: no UTF-8 flag")
PYTHON
unzip -q "$zip_file" -d "$unpacked"
mapfile -t top < <(ls -A "$unpacked")
[ ${#top[@]} -eq 1 ] && [ "${top[0]}.zip" = "$(basename "$zip_file")" ] || fail "the zip should hold one folder named after it: ${top[*]}"
portable="$unpacked/${top[0]}"
for file in tarvo.exe tarvo-cli.exe tarvo-drawd.exe 彩票数据.mdb 使用说明.txt platforms/qwindows.dll \
    sqldrivers/qsqlite.dll styles/qwindowsvistastyle.dll; do
    [ -s "$portable/$file" ] || fail "$file is missing from the zip"
done
# The packages name no draw source: the player names his in the settings file (here the local source).
write_source_settings "$portable"
python3 "$watch" --folder "$portable" -- wine "$PWD/$portable/tarvo.exe" | tee "$work/portable.txt" ||
    fail "the program of the zip did not fill its tables"
expected=$(sed -n 's/.*rows=\([0-9 ]*[0-9]\).*/\1/p' "$work/portable.txt")
for count in $expected; do
    [ "$count" -gt 0 ] || fail "the program of the zip left a table empty: $expected"
done

say "an older installer, silently (/S), with no administrator rights"
wine "$older_setup" /S || fail "the older installer failed"
installed="$(windows_folder_of LOCALAPPDATA)/Programs/Tarvo"
start_menu="$(windows_folder_of APPDATA)/Microsoft/Windows/Start Menu/Programs/$product"
desktop="$(windows_folder_of USERPROFILE)/Desktop"
for file in tarvo.exe tarvo-cli.exe uninstall.exe 彩票数据.mdb 使用说明.txt platforms/qwindows.dll; do
    [ -f "$installed/$file" ] || fail "$file was not installed into $installed"
done
[ -f "$start_menu/$product.lnk" ] || fail "no Start-menu shortcut in $start_menu"
[ -f "$desktop/$product.lnk" ] || fail "no desktop shortcut in $desktop"
[ "$(installed_version)" = 0.0.1 ] || fail "Windows does not list the install (version: '$(installed_version)')"
write_source_settings "$installed"
python3 "$watch" --folder "$installed" --expect "$expected" -- wine "$installed/tarvo.exe" ||
    fail "the installed program did not fill its tables"
table_rows "$installed/彩票数据.mdb" >"$work/rows-installed.txt"

say "the new installer while the program runs: it must change nothing"
wine "$installed/tarvo.exe" &
running=$!
sleep 3
status=0
wine "$setup" /S || status=$?
kill "$running" 2>/dev/null || true
wait "$running" 2>/dev/null || true
[ "$status" -ne 0 ] || fail "the installer reported success while the program was running"
[ "$(installed_version)" = 0.0.1 ] || fail "the installer changed the install while the program was running"

say "the upgrade over the older install, then the same installer once more"
for run in upgrade again; do
    wine "$setup" /S || fail "the installer failed ($run)"
    [ "$(installed_version)" = "$version" ] || fail "Windows lists version '$(installed_version)' after the $run"
    table_rows "$installed/彩票数据.mdb" | cmp -s - "$work/rows-installed.txt" || fail "the $run changed the draw database"
done
[ -f "$installed/设置.ini" ] || fail "the upgrade removed the player's settings 设置.ini"
python3 "$watch" --folder "$installed" --expect "$expected" -- wine "$installed/tarvo.exe" ||
    fail "the upgraded program did not start over its database"

say "the uninstaller, silently: the program goes, the draw database stays"
wine "$installed/uninstall.exe" /S
# The uninstaller runs on from a copy of itself in the temporary folder, so the command returns
# before it is done: wait for its last steps (the shortcuts and the list entry) before judging.
for _ in $(seq 600); do
    [ -e "$installed/uninstall.exe" ] || [ -e "$start_menu" ] || [ -e "$desktop/$product.lnk" ] ||
        [ -n "$(installed_version)" ] || break
    sleep 0.1
done
for file in tarvo.exe tarvo-cli.exe uninstall.exe Qt6Core.dll platforms 使用说明.txt; do
    [ ! -e "$installed/$file" ] || fail "the uninstaller left $file"
done
[ ! -e "$start_menu" ] || fail "the uninstaller left the Start-menu folder"
[ ! -e "$desktop/$product.lnk" ] || fail "the uninstaller left the desktop shortcut"
[ -z "$(installed_version)" ] || fail "Windows still lists the program after the uninstall"
table_rows "$installed/彩票数据.mdb" | cmp -s - "$work/rows-installed.txt" || fail "the uninstaller lost draws"
[ -f "$installed/设置.ini" ] || fail "the uninstaller removed the player's settings without being asked"
say "passed: zip, install, upgrade, second run, uninstall (database kept: $(table_counts "$installed/彩票数据.mdb") rows)"
