#!/usr/bin/env bash
# Packs the portable package from the plain build (`build`, preset "default": `cpack -G TGZ`, with no
# built-in draw source, as players get it) and tries it as a new user would: unpacks it into a fresh temporary folder, starts the draw
# source from it, names it as the player's source in the settings file 设置.ini beside the program and
# starts the program under Xvfb until it has stored the start-up download (the page file appears; at
# most 60 s), and checks that the draw
# database beside the program filled (all four tables hold draws), that the window came up (a
# screenshot that is not blank) and that the desktop entry script points the menu at the unpacked
# folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

bash scripts/setup-deps.sh
started=$SECONDS
build="build" # the plain build, as scripts/test.sh makes it: each configuration is built once
# The draw source the settings file names: on a port free at this moment.
port=$(free_port)

# The packing needs only the packaged programs, not everything the build makes.
cmake --preset default -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build --preset default --target tarvo tarvo-cli tarvo-drawd tarvo-package-database
rm -f "$build"/tarvo-*-Linux.tar.gz
(cd "$build" && cpack -G TGZ)
archives=("$build"/tarvo-*-Linux.tar.gz)
[ -f "${archives[0]}" ] || fail "cpack wrote no tarvo-<version>-Linux.tar.gz"
archive="${archives[0]}"
echo "package-test: $archive ($(du -h "$archive" | cut -f1)) after $((SECONDS - started)) s"

work=$(mktemp -d)
cleanup() {
    stop_local_source
    rm -rf "$work"
}
trap cleanup EXIT

tar -xzf "$archive" -C "$work"
mapfile -t top < <(ls -A "$work")
if [ ${#top[@]} -ne 1 ] || [ ! -d "$work/${top[0]}" ]; then
    fail "the archive should hold one folder, it holds: ${top[*]}"
fi
[ "${top[0]}.tar.gz" = "$(basename "$archive")" ] || fail "the folder ${top[0]} is not named after the archive"
folder="$work/${top[0]}"
for file in tarvo tarvo-cli tarvo-drawd install-desktop-entry.sh; do
    [ -x "$folder/$file" ] || fail "$file is missing or not executable"
done
for file in 彩票数据.mdb tarvo.svg tarvo.desktop; do
    [ -s "$folder/$file" ] || fail "$file is missing or empty"
done
if ldd "$folder/tarvo" | grep -q "not found"; then
    fail "libraries the program needs are missing: $(ldd "$folder/tarvo" | grep "not found" | tr -s ' \t' ' ')"
fi

local_source_settings "$port" >"$folder/设置.ini"
start_local_source "$folder/tarvo-drawd" "$port" "$work/drawd.log"

# A new user: a home and runtime folder of its own, the program started from the unpacked folder.
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
shot="$work/screenshot.png"
status=0
HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
    "\"$folder/tarvo\" >\"$work/tarvo.log\" 2>&1 & pid=\$!
     for _ in \$(seq 600); do [ -f \"$folder/号码.txt\" ] && break; sleep 0.1; done
     sleep 1; import -window root PNG24:\"$shot\"
     if kill \$pid 2>/dev/null; then wait \$pid; exit 0; else exit 3; fi" || status=$?
mkdir -p "$build/package-test"
[ -f "$shot" ] && cp "$shot" "$build/package-test/screenshot.png"
cp "$work/tarvo.log" "$build/package-test/tarvo.log"
[ "$status" -eq 0 ] || fail "the program ended before the screenshot, or Xvfb failed (status $status): $(tail -5 "$work/tarvo.log")"

[ -s "$shot" ] || fail "no screenshot of the window"
colours=$(identify -format '%k' "$shot")
[ "$colours" -gt 16 ] || fail "the screenshot is blank ($colours colours): the window did not come up"
echo "package-test: the window came up ($colours colours on screen): $build/package-test/screenshot.png"

echo "package-test: draws stored beside the program (山东 广东 重庆 江西): $(table_counts "$folder/彩票数据.mdb")"
all_tables_hold_draws "$folder/彩票数据.mdb" || fail "the draw database beside the program did not fill"
[ -f "$folder/号码.txt" ] || fail "the page file 号码.txt was not written beside the program"

HOME="$work/home" XDG_DATA_HOME="" sh "$folder/install-desktop-entry.sh" >/dev/null
entry="$work/home/.local/share/applications/tarvo.desktop"
[ -f "$entry" ] || fail "install-desktop-entry.sh wrote no $entry"
grep -qx "Exec=\"$folder/tarvo\"" "$entry" || fail "the menu entry does not start $folder/tarvo: $(grep ^Exec= "$entry")"
grep -qx "Icon=$folder/tarvo.svg" "$entry" || fail "the menu entry does not show $folder/tarvo.svg"

echo "package-test: passed in $((SECONDS - started)) s"
