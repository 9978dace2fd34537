#!/usr/bin/env bash
# Checks the Debian package as a Debian reviewer and a user get it: lintian,
# the control data and contents, an install into a throw-away root with dpkg,
# the desktop entry, AppStream metadata, manual pages and udev rule installed
# there, the installed programs (the byte-for-byte tests of the programs run on
# them), and that removing and purging the package leaves nothing behind.
# Usage: package_test.sh DIST_DIR VERSION [TEST_PROGRAM GTEST_FILTER]...
#        (exit 77: no package to check)
set -euo pipefail
dist=$1
version=$2
shift 2
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
expect_no_match() {  # expect_no_match WHAT TEXT REGEX
  if grep -Eq -- "$3" <<<"$2"; then fail "$1: a line matches /$3/"; fi
}
programs=(orvanta-client orvanta-query orvanta-card orvanta-server)

# lintian, Debian's own review: no error and no warning. Its pedantic and
# informational tags are shown; among them, none may say that a program
# misses a hardening flag (position independence, read-only relocations bound
# at start-up, fortified calls).
lintian_out=$(lintian --fail-on error,warning --pedantic --display-info "$deb" 2>&1) \
  || fail "lintian reports errors or warnings"
[ -z "$lintian_out" ] || printf 'lintian:\n%s\n' "$lintian_out"
expect_no_match "lintian" "$lintian_out" "hardening-"

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
for program in "${programs[@]}"; do
  expect_match "contents" "$contents" "^-rwxr-xr-x .* \./usr/bin/$program$"
  expect_match "contents" "$contents" "^-rw-r--r-- .* \./usr/share/man/man1/$program\.1\.gz$"
done
for file in usr/share/applications/orvanta-client.desktop \
            usr/share/metainfo/org.orvanta.client.metainfo.xml \
            usr/share/icons/hicolor/64x64/apps/orvanta-client.png \
            usr/share/icons/hicolor/32x32/apps/orvanta-client.png \
            usr/lib/udev/rules.d/60-orvanta-card.rules \
            usr/share/doc/orvanta/copyright \
            usr/share/doc/orvanta/changelog.gz \
            usr/share/doc/orvanta/orvanta-vemlar.ini; do
  expect_match "contents" "$contents" "^-rw-r--r-- .* \./${file//./\\.}$"
done

# Installed into a throw-away root with its own dpkg database. The root holds
# none of the libraries the package depends on, so dependencies are not
# checked there; the programs below run against this machine's libraries.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
root_dpkg() { dpkg --root="$root" --log="$work/dpkg.log" --force-not-root --force-depends "$@"; }
root_files() { (cd "$root" && find . -path ./var/lib/dpkg -prune -o -print | sort); }
root_files >"$work/before.txt"
root_dpkg --install "$deb" >"$work/dpkg.out" 2>&1 || { cat "$work/dpkg.out" >&2; fail "dpkg --install failed"; }
expect_match "installed status" "$(dpkg-query --root="$root" -W -f='${Status} ${Version}' orvanta 2>&1)" \
  "^install ok installed ${version//./\\.}$"

# Beyond lintian: the stack protector's check in each program, and stripping
# as dh_strip strips (no symbol table and no debug sections, which lintian
# checks too, and no compiler notes, which it only mentions).
for program in "${programs[@]}"; do
  elf=$(readelf --section-headers --dyn-syms --wide "$root/usr/bin/$program")
  expect_match "$program" "$elf" " __stack_chk_fail"
  expect_no_match "$program" "$elf" "\] \.(symtab|debug_[a-z]+|comment) "
done

# The desktop entry: valid, English names with the Chinese ones beside them
# (the Chinese name is the window's Chinese title), the icon of the theme.
desktop=$root/usr/share/applications/orvanta-client.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refused the desktop entry"
entry=$(cat "$desktop")
expect_match "desktop entry" "$entry" "^Name=Orvanta [A-Z][a-z]+ [A-Z][a-z]+$"
expect_match "desktop entry" "$entry" "^Name\[zh_CN\]=Orvanta谐波分析$"
expect_match "desktop entry" "$entry" "^GenericName=[A-Za-z ]+$"
expect_match "desktop entry" "$entry" "^GenericName\[zh_CN\]=谐波分析客户端$"
expect_match "desktop entry" "$entry" "^Categories=(.*;)?Science;(.*;)?Engineering;"
expect_match "desktop entry" "$entry" "^Exec=orvanta-client$"
expect_match "desktop entry" "$entry" "^Icon=orvanta-client$"

# AppStream: valid without the network, alone and in the installed tree (where
# the desktop entry it names must be), with the entry's names and the README's
# pictures at the project's web address.
metainfo=$root/usr/share/metainfo/org.orvanta.client.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate refused the metainfo"
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree refused the installed tree"
meta=$(cat "$metainfo")
name=$(sed -n 's/^Name=//p' <<<"$entry")
expect_match "metainfo" "$meta" "<name>$name</name>"
expect_match "metainfo" "$meta" "<name xml:lang=\"zh_CN\">Orvanta谐波分析</name>"
expect_match "metainfo" "$meta" "<release version=\"${version//./\\.}\""
expect_match "metainfo" "$meta" "<image>https://[a-z./]+/docs/window\.png</image>"
readme=$(cat "$(dirname "$0")/../../README.md")
for picture in $(grep -Eo 'https://[^<]+/docs/[a-z-]+\.png' <<<"$meta"); do
  expect_match "README picture" "$readme" "\(docs/$(basename "$picture")\)"
done

# The changelog belongs to this version; the copyright file is machine-readable.
changelog=$(gzip -dc "$root/usr/share/doc/orvanta/changelog.gz")
expect_match "changelog" "$changelog" "^orvanta \(${version//./\\.}\) "
expect_match "copyright" "$(cat "$root/usr/share/doc/orvanta/copyright")" \
  "^Format: https://www\.debian\.org/doc/packaging-manuals/copyright-format/1\.0/$"

# Manual pages: each names every option its program's --help names (for
# orvanta-card, those of its commands too).
bin=$root/usr/bin
for program in "${programs[@]}"; do
  help=$(QT_QPA_PLATFORM=offscreen "$bin/$program" --help) || fail "$program --help failed"
  if [ "$program" = orvanta-card ]; then
    for command in create info overview events; do
      help+=$'\n'$("$bin/$program" $command --help) || fail "$program $command --help failed"
    done
  fi
  page=$(gzip -dc "$root/usr/share/man/man1/$program.1.gz" | sed 's/\\-/-/g')
  expect_match "$program(1)" "$page" "^\.TH \"?${program^^}\"? \"?1\"? "
  for option in $(grep -Eo -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
    expect_match "$program(1)" "$page" "$option"
  done
done

# The udev rule gives group plugdev the devices the drive map takes for card
# slots, and no others. Each row: the device's properties as udev sees them
# (ATTRS and SUBSYSTEMS of the device and its parents together), then whether
# the rule must match.
udev_rule_matches() {  # udev_rule_matches RULES_FILE "KEY=VALUE"...
  local line key op pattern value alternative alternatives matched hit pair
  local -A device=()
  for pair in "${@:2}"; do device[${pair%%=*}]=${pair#*=}; done
  while IFS= read -r line; do
    [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
    matched=1
    while [[ $line =~ ([A-Z]+(\{[^}]*\})?)(==|!=)\"([^\"]*)\"(.*) ]]; do
      key=${BASH_REMATCH[1]} op=${BASH_REMATCH[3]} pattern=${BASH_REMATCH[4]} line=${BASH_REMATCH[5]}
      value=${device[$key]-} hit=0
      IFS='|' read -ra alternatives <<<"$pattern"
      for alternative in "${alternatives[@]}"; do
        # shellcheck disable=SC2053  # the pattern is a glob
        [[ -n ${device[$key]+set} && $value == $alternative ]] && hit=1
      done
      if [[ ($op == "==" && $hit == 0) || ($op == "!=" && $hit == 1) ]]; then matched=0; fi
    done
    [ "$matched" = 1 ] && return 0
  done <"$1"
  return 1
}
rules=$root/usr/lib/udev/rules.d/60-orvanta-card.rules
while read -r expected properties; do
  read -ra properties <<<"$properties"
  if udev_rule_matches "$rules" SUBSYSTEM=block "${properties[@]}"; then actual=yes; else actual=no; fi
  [ "$actual" = "$expected" ] || fail "udev rule: ${properties[*]}: matched $actual, expected $expected"
done <<'EOF'
yes KERNEL=sdb   ENV{ID_BUS}=usb ATTRS{removable}=1 SUBSYSTEMS=scsi
yes KERNEL=sdb1  ENV{ID_BUS}=usb ATTRS{removable}=1 SUBSYSTEMS=scsi
no  KERNEL=sda   ENV{ID_BUS}=ata ATTRS{removable}=0 SUBSYSTEMS=scsi
no  KERNEL=sdc   ENV{ID_BUS}=usb ATTRS{removable}=0 SUBSYSTEMS=scsi
no  KERNEL=sr1   ENV{ID_BUS}=usb ATTRS{removable}=1 SUBSYSTEMS=scsi
yes KERNEL=mmcblk0   SUBSYSTEMS=mmc ATTRS{type}=SD
yes KERNEL=mmcblk0p1 SUBSYSTEMS=mmc ATTRS{type}=SD
no  KERNEL=mmcblk1   SUBSYSTEMS=mmc ATTRS{type}=MMC
no  KERNEL=mmcblk1p2 SUBSYSTEMS=mmc ATTRS{type}=MMC
no  KERNEL=mmcblk1boot0 SUBSYSTEMS=mmc ATTRS{type}=MMC
no  KERNEL=mmcblk2boot1 SUBSYSTEMS=mmc ATTRS{type}=SD
no  KERNEL=mmcblk2rpmb  SUBSYSTEMS=mmc ATTRS{type}=SD ATTRS{removable}=1
no  KERNEL=mmcblk3   SUBSYSTEMS=mmc
no  KERNEL=loop0     ATTRS{removable}=1
EOF

# A query without sending, from the installed root, with the configuration in
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

# The tests of the built programs, run on the installed ones: the requests
# they send byte for byte, the cards they write and read.
while [ $# -ge 2 ]; do
  ORVANTA_BIN_DIR=$bin "$1" --gtest_filter="$2" --gtest_brief=1 >"$work/gtest.out" 2>&1 \
    || { cat "$work/gtest.out" >&2; fail "$(basename "$1") $2 on the installed programs"; }
  expect_match "$(basename "$1") $2" "$(cat "$work/gtest.out")" "^\[  PASSED  \] [1-9][0-9]* tests?\.$"
  shift 2
done

# Removed, then purged: nothing of the package is left, in the root or in
# dpkg's database.
root_dpkg --remove orvanta >"$work/dpkg.out" 2>&1 || { cat "$work/dpkg.out" >&2; fail "dpkg --remove failed"; }
root_dpkg --purge orvanta >"$work/dpkg.out" 2>&1 || { cat "$work/dpkg.out" >&2; fail "dpkg --purge failed"; }
root_files >"$work/after.txt"
diff "$work/before.txt" "$work/after.txt" || fail "files left behind after purge (above)"
left=$(find "$root/var/lib/dpkg/info" -name 'orvanta.*')
[ -z "$left" ] || fail "dpkg's database still holds: $left"
expect_no_match "status after purge" "$(cat "$root/var/lib/dpkg/status")" "^Package: orvanta$"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed for $deb" >&2
  exit 1
fi
echo "ok: $deb"
