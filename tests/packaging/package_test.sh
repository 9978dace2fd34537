#!/usr/bin/env bash
# Checks the Debian package as a user gets it.
# Usage: package_test.sh DIST_DIR VERSION      (exit 77: no package to check)
set -euo pipefail
dist=$1
version=$2
arch=$(dpkg --print-architecture)
deb=$dist/orvanta_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  echo "SKIP: $deb not built (scripts/package makes it)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_match() {  # expect_match WHAT TEXT REGEX
  grep -Eq -- "$3" <<<"$2" || fail "$1: no line matches /$3/"
}

# Control data: name, version, architecture, and dependencies computed from
# the shared libraries (the C library, Qt, libcurl).
info=$(dpkg-deb --info "$deb")
expect_match "control" "$info" "^ Package: orvanta$"
expect_match "control" "$info" "^ Version: ${version//./\\.}$"
expect_match "control" "$info" "^ Architecture: $arch$"
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
for library in 'libc6 \(>= ' 'libqt6webenginewidgets6' 'libqt6widgets6' 'libcurl4 \(>= ' 'libstdc\+\+6'; do
  expect_match "Depends" "$depends" "$library"
done

# Contents: where each file lands, with its mode.
contents=$(dpkg-deb --contents "$deb")
for program in orvanta-client orvanta-query orvanta-card orvanta-server; do
  expect_match "contents" "$contents" "^-rwxr-xr-x .* \./usr/bin/$program$"
done
for file in usr/share/applications/orvanta-client.desktop \
            usr/share/icons/hicolor/64x64/apps/orvanta-client.png \
            usr/share/icons/hicolor/32x32/apps/orvanta-client.png \
            usr/lib/udev/rules.d/60-orvanta-card.rules \
            usr/share/doc/orvanta/orvanta-vemlar.ini; do
  expect_match "contents" "$contents" "^-rw-r--r-- .* \./${file//./\\.}$"
done

root=$work/root
dpkg -x "$deb" "$root"

# The desktop entry: valid, the window's Chinese title, the icon of the theme.
desktop=$root/usr/share/applications/orvanta-client.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refused the desktop entry"
entry=$(cat "$desktop")
expect_match "desktop entry" "$entry" "^Name=Orvanta谐波分析$"
expect_match "desktop entry" "$entry" "^GenericName=[A-Za-z ]+$"
expect_match "desktop entry" "$entry" "^Categories=(.*;)?Science;(.*;)?Engineering;"
expect_match "desktop entry" "$entry" "^Exec=orvanta-client$"
expect_match "desktop entry" "$entry" "^Icon=orvanta-client$"
expect_match "udev rule" "$(cat "$root/usr/lib/udev/rules.d/60-orvanta-card.rules")" \
  '^SUBSYSTEM=="block".*GROUP="plugdev", MODE="0640"$'

bin=$root/usr/bin
"$bin/orvanta-query" --help >"$work/help.txt" || fail "orvanta-query --help failed"
expect_match "orvanta-query --help" "$(cat "$work/help.txt")" "^Usage: orvanta-query "
"$bin/orvanta-client" --help >/dev/null || fail "orvanta-client --help failed"

# A query without sending, from the unpacked root, with the configuration in
# ~/.config/orvanta of a temporary home and a card image made by the
# package's own orvanta-card.
home=$work/home
mkdir -p "$home/.config/orvanta" "$work/run"
printf '[Common]\nserverBaseUrl=http://127.0.0.1:9/analysis\nuserID=from-home-config\npassword=pk 9\n' \
  >"$home/.config/orvanta/orvanta-vemlar.ini"
"$bin/orvanta-card" create "$work/card.img" --start "2024-03-13 08:00:00" --records 600 >/dev/null \
  || fail "orvanta-card create failed"
(cd "$work/run" && env -u XDG_CONFIG_HOME HOME="$home" "$bin/orvanta-query" --drive "E=$work/card.img" \
  --time "2024-03-13 08:05:00" --no-send --request-out "$work/request.txt") 2>"$work/query.err" \
  || { cat "$work/query.err" >&2; fail "the --no-send query failed"; }
request=$(tr -d '\r' <"$work/request.txt" 2>/dev/null || true)
expect_match "request" "$request" "^User-ID: from-home-config$"
expect_match "request" "$request" "^Password: pk 9$"
expect_match "request" "$request" "^selectedTime=1710288300&actualTime=1710288300&data="

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed for $deb" >&2
  exit 1
fi
echo "ok: $deb"
