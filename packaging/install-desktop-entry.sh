#!/bin/sh
# Adds Tarvo to the desktop menu of the current user: writes
# ~/.local/share/applications/tarvo.desktop (under $XDG_DATA_HOME when it is set) pointing at the
# program folder this script lies in. Run it again after moving the folder.
# With --remove, takes the entry out of the menu again.
set -eu

folder=$(cd "$(dirname "$0")" && pwd -P)
applications="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
entry="$applications/tarvo.desktop"

if [ "${1:-}" = "--remove" ]; then
    rm -f "$entry"
    echo "Removed $entry"
    exit 0
fi

for needed in tarvo tarvo.desktop tarvo.svg; do
    if [ ! -e "$folder/$needed" ]; then
        echo "install-desktop-entry.sh: $folder/$needed is missing; run the script from the unpacked program folder" >&2
        exit 1
    fi
done

# Exec takes the program path in double quotes, with ", `, $ and \ escaped as desktop entries require.
quoted_program=$(printf '%s' "$folder/tarvo" | sed -e 's/[\\"`$]/\\\\&/g')

mkdir -p "$applications"
temporary="$entry.$$"
sed -e "s|^Exec=.*|Exec=\"$(printf '%s' "$quoted_program" | sed -e 's/[|&\\]/\\&/g')\"|" \
    -e "s|^TryExec=.*|TryExec=$(printf '%s' "$folder/tarvo" | sed -e 's/[|&\\]/\\&/g')|" \
    -e "s|^Icon=.*|Icon=$(printf '%s' "$folder/tarvo.svg" | sed -e 's/[|&\\]/\\&/g')|" \
    -e "/^Type=/a Path=$(printf '%s' "$folder" | sed -e 's/[|&\\]/\\&/g')" \
    "$folder/tarvo.desktop" >"$temporary"
chmod 644 "$temporary"
mv "$temporary" "$entry"

if command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database "$applications" >/dev/null 2>&1 || true
fi
echo "Added Tarvo to the desktop menu: $entry"
