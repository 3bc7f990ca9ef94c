#!/usr/bin/env bash
# The Windows program end to end, run by scripts/windows/test.sh where the local source's port
# (local_port in common.sh) is its own (see with_private_loopback) and under an X server (xvfb-run):
#   1. the Linux draw source tarvo-drawd on that port, its clock fixed;
#   2. the Linux program in a folder of its own, as the reference: what it stores from the source;
#   3. tarvo.exe with only the DLLs and plugins the packages ship, under Wine, in a fresh folder whose
#      path holds Chinese characters and a space, over a database made there by tarvo-cli.exe: all four
#      tables must hold exactly the reference's rows, and 号码.txt the reference's page;
#      a screenshot of its window (build-windows/end-to-end/screenshot-windows.png);
#   4. the same window at 150 % display scaling: 1.5 times the size (screenshot-windows-150.png);
#   5. tarvo-cli.exe's plan report of that database: the Linux tool's text, with CR LF line ends;
#   6. the player's sources under Wine: an https source whose certificate Windows does not trust is
#      passed over for the next (Schannel checks it) and read once the prefix trusts the test
#      authority (tests/support/windows/add-root-certificate.c); tarvo.exe --demo starts the bundled
#      tarvo-drawd.exe itself, keeps its draws in 演示数据.mdb only and the source ends with the program;
#   7. start-up figures with 200 ms latency per request: launch → all page rows stored, for the Linux
#      program and for tarvo.exe under Wine, with one source and with a first source that refuses.
# TARVO_UPDATE_SCREENSHOT=1 copies the 100 % screenshot to docs/screenshot-windows.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/windows/common.sh

work="$windows_build/end-to-end"
now="2026-12-08T12:05"
drawd=build/tools/drawd/tarvo-drawd
watch=scripts/windows/watch-program.py
rm -rf "$work"
mkdir -p "$work"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

start_source() {
    start_local_source "$drawd" "$local_port" "$work/drawd.log" --now "$now" "$@"
}
cleanup() {
    stop_local_source
    wine_stop
}
trap cleanup EXIT

# A fresh Linux program folder with an empty database.
linux_folder() {
    rm -rf "$1"
    mkdir -p "$1"
    cp build/app/tarvo "$1/"
    build/tools/cli/tarvo-cli init-db --db "$1/彩票数据.mdb" >/dev/null
    write_source_settings "$1"
}

# A fresh Windows program folder with an empty database made by the Windows tool.
windows_folder() {
    rm -rf "$1"
    deploy_windows_programs "$1" "$windows_build/app/tarvo.exe" "$windows_build/tools/cli/tarvo-cli.exe"
    wine "$1/tarvo-cli.exe" init-db --db "$(windows_path "$1/彩票数据.mdb")" >/dev/null ||
        fail "tarvo-cli.exe init-db failed in $1"
    write_source_settings "$1"
}

# The local source as the second source of a settings file, behind one that fails.
local_second="$(local_source_settings "$local_port" source2)"$'\n'

say "starting the draw source (clock at $now) and a fresh Wine prefix"
start_source
wine_start "$work/wineprefix"
unset WINEPATH

say "the Linux program, for reference"
reference="$work/linux reference"
linux_folder "$reference"
python3 "$watch" --folder "$reference" -- "$PWD/$reference/tarvo" | tee "$work/reference.txt" ||
    fail "the Linux program did not store the page rows"
expected=$(sed -n 's/.*rows=\([0-9 ]*[0-9]\).*/\1/p' "$work/reference.txt")

say "tarvo.exe under Wine in a folder whose path holds Chinese characters and a space"
folder="$work/用户 文件夹/Tarvo 程序"
windows_folder "$folder"
python3 "$watch" --folder "$folder" --expect "$expected" --screenshot "$work/screenshot-windows.png" \
    -- wine "$PWD/$folder/tarvo.exe" | tee "$work/windows.txt" ||
    fail "tarvo.exe did not store the rows the Linux program stored ($expected)"
diff <(table_rows "$reference/彩票数据.mdb") <(table_rows "$folder/彩票数据.mdb") >"$work/rows.diff" ||
    fail "tarvo.exe stored other rows than the Linux program: $work/rows.diff"
[ -f "$folder/号码.txt" ] || fail "no 号码.txt beside tarvo.exe"
cmp -s "$reference/号码.txt" "$folder/号码.txt" || fail "号码.txt beside tarvo.exe is not the page the Linux program left"
colours=$(identify -format '%k' "$work/screenshot-windows.png")
[ "$colours" -gt 16 ] || fail "the screenshot of tarvo.exe is blank ($colours colours)"
say "tarvo.exe stored the same rows as the Linux program ($expected) and the same 号码.txt; screenshot: $work/screenshot-windows.png"
size_100=$(sed -n 's/.*window=\([0-9x]*\).*/\1/p' "$work/windows.txt")

say "the window at 150 % display scaling"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
wine_restart
python3 "$watch" --folder "$folder" --expect "$expected" --screenshot "$work/screenshot-windows-150.png" \
    -- wine "$PWD/$folder/tarvo.exe" | tee "$work/windows-150.txt" || fail "tarvo.exe did not start at 150 %"
size_150=$(sed -n 's/.*window=\([0-9x]*\).*/\1/p' "$work/windows-150.txt")
python3 - "$size_100" "$size_150" <<'PYTHON' || fail "at 150 % the window is $size_150, not 1.5 times $size_100"
import sys
(w1, h1), (w2, h2) = (map(int, size.split("x")) for size in sys.argv[1:3])
sys.exit(0 if abs(w2 - 1.5 * w1) <= 2 and abs(h2 - 1.5 * h1) <= 2 else 1)
PYTHON
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
wine_restart
say "at 150 % the window is $size_150 (at 100 %: $size_100): $work/screenshot-windows-150.png"

say "tarvo-cli.exe prints the plan report as the Linux tool does, with CR LF line ends"
report=(report --lottery 山东11选5 --type 前二 --item 72注 --seed 0)
build/tools/cli/tarvo-cli "${report[@]}" --db "$reference/彩票数据.mdb" >"$work/report-linux.txt"
wine "$folder/tarvo-cli.exe" "${report[@]}" --db "$(windows_path "$folder/彩票数据.mdb")" >"$work/report-windows.txt"
sed 's/$/\r/' "$work/report-linux.txt" | cmp -s - "$work/report-windows.txt" ||
    fail "tarvo-cli.exe's report differs from the Linux tool's: $work/report-windows.txt"

say "tarvo-cli.exe in a console whose code page is not UTF-8 (437): its Chinese stays readable"
printf '@echo off\r\ntarvo-cli.exe init-db --db new.mdb\r\ntarvo-cli.exe init-db --db new.mdb\r\nchcp\r\n' \
    >"$folder/console-check.bat"
# A terminal of its own (script) gives the program a console rather than a pipe.
(cd "$folder" && LANG=C.UTF-8 timeout 60 script -qc "wine cmd /c console-check.bat" /dev/null) |
    sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' | tr -d '\r' >"$work/console.txt" || true
rm -f "$folder/console-check.bat" "$folder/new.mdb"*
for line in "已创建数据库 new.mdb" "数据库文件已经存在，不会覆盖：new.mdb" "Active code page: 437"; do
    grep -qxF "$line" "$work/console.txt" || fail "the console does not show \"$line\": $work/console.txt"
done

say "an https source whose certificate Windows does not trust is passed over for the next"
"$drawd" --port 8512 --now "$now" --tls-cert tests/fetch/tls/server.pem --tls-key tests/fetch/tls/server-key.pem \
    >>"$work/drawd-https.log" 2>&1 &
https_pid=$!
wait_for_port 8512 10 || fail "the https draw source did not start: $(tail -3 "$work/drawd-https.log")"
https_folder="$work/https 来源"
windows_folder "$https_folder"
write_source_settings "$https_folder" $'[source1]\nname=加密源\nkind=pages\nfeed=https://127.0.0.1:8512\npages=https://127.0.0.1:8512\n'"$local_second"
python3 "$watch" --folder "$https_folder" --expect "$expected" -- wine "$PWD/$https_folder/tarvo.exe" ||
    fail "tarvo.exe did not take the draws from the second source after the untrusted https one"
origins=$(python3 -c 'import sqlite3, sys
print(" ".join(sorted({row[0] for row in sqlite3.connect(sys.argv[1]).execute("select 来源名称 from 开奖来源")})))' \
    "$https_folder/彩票数据.mdb")
[ "$origins" = "本地开奖源" ] || fail "the stored draws name other origins than the second source: $origins"
say "the untrusted https source was passed over; every draw came from the second source"

say "the same https source once this Wine prefix trusts the test authority: Schannel reads it"
"$mingw_triplet-gcc-posix" -O2 -o "$work/add-root-certificate.exe" tests/support/windows/add-root-certificate.c -lcrypt32
python3 -c 'import base64, sys
pem = open(sys.argv[1]).read().split("-----")[2]
open(sys.argv[2], "wb").write(base64.b64decode(pem))' tests/fetch/tls/ca.pem "$work/test-authority.der"
wine "$work/add-root-certificate.exe" "$(windows_path "$work/test-authority.der")" ||
    fail "the Wine prefix did not take the test authority"
https_only="$work/https 信任"
windows_folder "$https_only"
write_source_settings "$https_only" $'[source1]\nname=加密源\nkind=pages\nfeed=https://127.0.0.1:8512\npages=https://127.0.0.1:8512\n'
python3 "$watch" --folder "$https_only" --expect "$expected" -- wine "$PWD/$https_only/tarvo.exe" ||
    fail "tarvo.exe did not read the https source whose certificate the prefix trusts"
kill "$https_pid" 2>/dev/null || true
wait "$https_pid" 2>/dev/null || true
say "tarvo.exe read every draw over https, its certificate checked by Schannel"

say "the demonstration: tarvo.exe --demo starts the bundled tarvo-drawd.exe itself"
demo="$work/演示 文件夹"
rm -rf "$demo"
deploy_windows_programs "$demo" "$windows_build/app/tarvo.exe" "$windows_build/tools/cli/tarvo-cli.exe" \
    "$windows_build/tools/drawd/tarvo-drawd.exe"
wine "$demo/tarvo-cli.exe" init-db --db "$(windows_path "$demo/彩票数据.mdb")" >/dev/null
python3 "$watch" --folder "$demo" --database 演示数据.mdb -- wine "$PWD/$demo/tarvo.exe" --demo |
    tee "$work/demo.txt" || fail "tarvo.exe --demo did not fill 演示数据.mdb"
for count in $(sed -n 's/.*rows=\([0-9 ]*[0-9]\).*/\1/p' "$work/demo.txt"); do
    [ "$count" -gt 0 ] || fail "the demonstration left a table of 演示数据.mdb empty"
done
[ "$(table_counts "$demo/彩票数据.mdb")" = "0 0 0 0" ] || fail "a generated draw entered 彩票数据.mdb"
for _ in $(seq 100); do
    pgrep -f 'tarvo-drawd.exe' >/dev/null || break
    sleep 0.1
done
! pgrep -f 'tarvo-drawd.exe' >/dev/null || fail "tarvo-drawd.exe outlived the program that started it"
say "the demonstration filled 演示数据.mdb ($(table_counts "$demo/演示数据.mdb")), not 彩票数据.mdb; its source ended with it"

say "start-up with 200 ms latency per request: launch → all page rows stored"
start_source --latency-ms 200
linux_folder "$work/latency linux"
windows_folder "$work/latency 窗口"
python3 "$watch" --folder "$work/latency linux" --expect "$expected" -- "$PWD/$work/latency linux/tarvo" |
    tee "$work/latency-linux.txt" || fail "the Linux program did not store the rows with latency"
python3 "$watch" --folder "$work/latency 窗口" --expect "$expected" -- wine "$PWD/$work/latency 窗口/tarvo.exe" |
    tee "$work/latency-windows.txt" || fail "tarvo.exe did not store the rows with latency"
# The same with a first source that refuses (nothing listens on 127.0.0.1:8513).
fallback_settings=$'[source1]\nname=不应答\nkind=pages\nfeed=http://127.0.0.1:8513\npages=http://127.0.0.1:8513\n'"$local_second"
linux_folder "$work/fallback linux"
write_source_settings "$work/fallback linux" "$fallback_settings"
windows_folder "$work/fallback 窗口"
write_source_settings "$work/fallback 窗口" "$fallback_settings"
python3 "$watch" --folder "$work/fallback linux" --expect "$expected" -- "$PWD/$work/fallback linux/tarvo" |
    tee "$work/fallback-linux.txt" || fail "the Linux program did not fall back to the second source"
python3 "$watch" --folder "$work/fallback 窗口" --expect "$expected" -- wine "$PWD/$work/fallback 窗口/tarvo.exe" |
    tee "$work/fallback-windows.txt" || fail "tarvo.exe did not fall back to the second source"
figure() {
    python3 -c 'import re, sys
text = open(sys.argv[1]).read()
shown, stored = (float(re.search(name + r"=([0-9.]+)", text).group(1)) for name in ("shown", "stored"))
print(f"{stored:.2f} s (window after {shown:.2f} s)")' "$1"
}
say "start-up figure, Linux, one source:                    $(figure "$work/latency-linux.txt")"
say "start-up figure, Linux, first source refusing:         $(figure "$work/fallback-linux.txt")"
say "start-up figure, Windows (Wine), one source:           $(figure "$work/latency-windows.txt")"
say "start-up figure, Windows (Wine), first source refusing: $(figure "$work/fallback-windows.txt")"

if [ "${TARVO_UPDATE_SCREENSHOT:-0}" = 1 ]; then
    cp "$work/screenshot-windows.png" docs/screenshot-windows.png
    say "copied the screenshot to docs/screenshot-windows.png"
fi
say "passed"
