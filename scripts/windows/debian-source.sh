# Fetches Debian source packages with apt-get from Debian's own archive (sourced, not run).
# The deb-src entries and the package lists live in a private apt state under
# build-windows-deps/apt, so the machine's own apt configuration stays as it is.

debian_apt_state="$PWD/build-windows-deps/apt"

debian_apt() {
    apt-get -q -o "Dir::Etc::SourceList=$debian_apt_state/no-sources.list" \
        -o "Dir::Etc::SourceParts=$debian_apt_state/sources" -o "Dir::State::Lists=$debian_apt_state/lists" \
        -o "Dir::Cache=$debian_apt_state/cache" -o "APT::Sandbox::User=root" "$@"
}

# Reads the source indexes of bookworm once (again when older than a day).
debian_source_update() {
    mkdir -p "$debian_apt_state/sources" "$debian_apt_state/lists/partial" "$debian_apt_state/cache"
    touch "$debian_apt_state/no-sources.list"
    cat >"$debian_apt_state/sources/debian-src.sources" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    local stamp="$debian_apt_state/updated"
    if [ ! -f "$stamp" ] || [ -n "$(find "$stamp" -mmin +1440)" ]; then
        debian_apt update >/dev/null
        touch "$stamp"
    fi
}

# Unpacks the source of package $1 (optionally =version) with Debian's patches applied into the
# new folder $2.
debian_source() {
    local package="$1" target="$2" download
    debian_source_update
    download=$(mktemp -d)
    (cd "$download" && debian_apt source --download-only "$package" >/dev/null)
    rm -rf "$target"
    dpkg-source --no-check -x "$download"/*.dsc "$target" >/dev/null
    rm -rf "$download"
}
