#!/usr/bin/env bash
# Packs the Debian package from the plain build (`build`, `cpack -G DEB`) and tries it as a Debian
# user would: installs build/tarvo_<version>_amd64.deb with apt (which brings the libraries it names),
# then, as a user without root, starts `tarvo` from the path under Xvfb with the local draw source
# named in ~/.local/share/Tarvo/设置.ini, and checks that the program kept its files in that folder
# (the empty database copied there and filled for all four lotteries, the page file) and wrote nothing
# into /usr/lib/tarvo; then removes the package and checks that the user's draws stay.
# Runs as root (or through sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || exec sudo bash "$0" "$@"
source scripts/common.sh

started=$SECONDS
user=tarvo-deb-test
port=8519

bash scripts/setup-deps.sh
cmake --preset default -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build --preset default --target tarvo tarvo-cli tarvo-drawd tarvo-package-database
rm -f build/tarvo_*_amd64.deb
(cd build && cpack -G DEB >/dev/null)
debs=(build/tarvo_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "cpack wrote no tarvo_<version>_amd64.deb"
deb="$PWD/${debs[0]}"
echo "deb-test: $deb ($(du -h "$deb" | cut -f1)) after $((SECONDS - started)) s"

work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
    stop_local_source
    apt-get remove -y -q tarvo >/dev/null 2>&1 || true
    userdel -r "$user" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
    fail "apt could not install the package: $(tail -5 "$work/apt.log")"
[ "$(command -v tarvo)" = /usr/bin/tarvo ] || fail "tarvo is not on the path after the install"
[ -f /usr/share/applications/tarvo.desktop ] || fail "no menu entry /usr/share/applications/tarvo.desktop"
[ -f /usr/lib/tarvo/彩票数据.mdb ] || fail "no empty database in /usr/lib/tarvo"
if ldd /usr/lib/tarvo/tarvo | grep -q "not found"; then
    fail "libraries the program needs are missing: $(ldd /usr/lib/tarvo/tarvo | grep "not found" | tr -s ' \t' ' ')"
fi

userdel -r "$user" >/dev/null 2>&1 || true
useradd --create-home --shell /bin/sh "$user"
home=$(getent passwd "$user" | cut -d: -f6)
data="$home/.local/share/Tarvo"
runuser -u "$user" -- mkdir -p "$data"
local_source_settings "$port" | runuser -u "$user" -- tee "$data/设置.ini" >/dev/null
start_local_source /usr/lib/tarvo/tarvo-drawd "$port" "$work/drawd.log" --now 2026-12-08T12:05

before=$(find /usr/lib/tarvo -newer "$deb" | sort)
# The user's own session: a home, a runtime folder and an X server of his own, `tarvo` from the path.
runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 sh -c '
    runtime=$(mktemp -d) && chmod 700 "$runtime"
    XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1280x1024x24" sh -c "
        tarvo >\"$HOME/tarvo.log\" 2>&1 & pid=\$!
        for _ in \$(seq 600); do [ -f \"$HOME/.local/share/Tarvo/号码.txt\" ] && break; sleep 0.1; done
        sleep 1; kill \$pid; wait \$pid"' || true
[ -f "$data/号码.txt" ] || fail "the program wrote no page file into $data: $(tail -5 "$home/tarvo.log")"
echo "deb-test: draws stored in the user's data folder: $(table_counts "$data/彩票数据.mdb")"
all_tables_hold_draws "$data/彩票数据.mdb" || fail "the database in the user's data folder did not fill"
[ "$(find /usr/lib/tarvo -newer "$deb" | sort)" = "$before" ] || fail "the program wrote into /usr/lib/tarvo"
[ "$(stat -c %U "$data/彩票数据.mdb")" = "$user" ] || fail "the database in $data does not belong to $user"

apt-get remove -y -q tarvo >/dev/null
[ ! -e /usr/lib/tarvo/tarvo ] && [ ! -e /usr/bin/tarvo ] || fail "apt remove left the program behind"
[ -s "$data/彩票数据.mdb" ] || fail "removing the package took the user's draws"
echo "deb-test: passed in $((SECONDS - started)) s"
