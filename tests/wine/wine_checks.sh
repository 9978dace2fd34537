#!/usr/bin/env bash
# Checks of the Windows programs under Wine against the Linux build. One check
# per run: raw_access, request_bytes, whole_road, far_ring or ini_compare.
# Needs WINEPREFIX (an initialised prefix), ORVANTA_LINUX_BIN_DIR,
# ORVANTA_WINDOWS_BIN_DIR and ORVANTA_SOURCE_DIR.
set -euo pipefail
check=$1
lin=$ORVANTA_LINUX_BIN_DIR
win=$ORVANTA_WINDOWS_BIN_DIR
run="$ORVANTA_SOURCE_DIR/scripts/wine-run"
: "${WINEPREFIX:?}"
work=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-wine-$check-XXXXXX")
# Each check uses its own drive letter (CTest runs them one at a time).
# far_ring reads drive E: as raw_access does.
declare -A letters=([raw_access]=e [request_bytes]=f [whole_road]=g [ini_compare]=h [far_ring]=e)
letter=${letters[$check]}
link="$WINEPREFIX/dosdevices/$letter::"
server_pid=
cleanup() {
  rm -f "$link"
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=tests/wine/record_server.sh
source "$ORVANTA_SOURCE_DIR/tests/wine/record_server.sh"

# A card image made by the Linux orvanta-card, as drive LETTER: for Wine.
make_card() {
  TZ=Asia/Shanghai "$lin/orvanta-card" create "$work/card.img" --start "2024-03-13 08:00:00" \
    --records 20000 --per-second 1,1,3,1,2 --wrap 3000 >/dev/null
  ln -sfn "$work/card.img" "$link"
}

write_settings() {  # URL
  printf '[Common]\r\nserverBaseUrl=%s\r\nuserID=4711\r\npassword=geheim\r\n' "$1" > "$work/orvanta-vemlar.ini"
  printf '1.02 0.98\n' > "$work/ratio.txt"
}

case $check in
raw_access)
  make_card
  upper=${letter^^}
  info=$(cd "$work" && TZ=Asia/Shanghai "$run" "$win/orvanta-card.exe" info | tr -d '\r')
  grep -q "^card: drive $upper: (\\\\\\\\.\\\\$upper:)" <<<"$info" || fail "card not found on $upper: ($info)"
  grep -qx "presence check: passed" <<<"$info" || fail "presence check ($info)"
  linux=$(TZ=Asia/Shanghai "$lin/orvanta-card" info --drive "$upper=$work/card.img" | grep -E '^(serial|ring|upper|oldest|newest|wrapped)')
  [ "$(grep -E '^(serial|ring|upper|oldest|newest|wrapped)' <<<"$info")" = "$linux" ] || fail "Windows and Linux see different rings"
  # The card saved as an image: the same digest as the Linux save's, which
  # sha256sum accepts (the image is read back while written, then renamed).
  (cd "$work" && TZ=Asia/Shanghai "$run" "$win/orvanta-card.exe" save saved.img >/dev/null 2>&1) || fail "save failed"
  (cd "$work" && sha256sum --quiet -c saved.img.sha256) || fail "the saved image's digest does not check"
  TZ=Asia/Shanghai "$lin/orvanta-card" save --drive "$upper=$work/card.img" "$work/linux.img" >/dev/null 2>&1
  [ "$(cut -d' ' -f1 "$work/saved.img.sha256")" = "$(cut -d' ' -f1 "$work/linux.img.sha256")" ] ||
    fail "Windows and Linux save different images"
  # Without the link the drive names nothing: no card anywhere.
  rm -f "$link"
  info=$(cd "$work" && "$run" "$win/orvanta-card.exe" info | tr -d '\r') || true
  grep -q "^card: none found" <<<"$info" || fail "a drive without a device link opened ($info)"
  # --drive is refused on Windows with exit status 2.
  set +e
  (cd "$work" && "$run" "$win/orvanta-query.exe" --drive E=card.img --no-send >/dev/null 2>"$work/err")
  status=$?
  set -e
  [ $status -eq 2 ] || fail "--drive gave exit status $status"
  grep -q "no drive map on Windows" "$work/err" || fail "--drive message: $(cat "$work/err")"
  ;;
request_bytes)
  make_card
  write_settings "http://127.0.0.1:9/analysis"
  for zone in Asia/Shanghai UTC Europe/Berlin America/New_York; do
    for time in "2024-03-13 08:00:07" "2024-03-13 10:30:00" "2024-07-01 12:00:00"; do
      (cd "$work" && TZ=$zone "$lin/orvanta-query" --drive "${letter^^}=$work/card.img" --config orvanta-vemlar.ini \
        --time "$time" --no-send --request-out linux.req 2>/dev/null)
      (cd "$work" && TZ=$zone "$run" "$win/orvanta-query.exe" --config orvanta-vemlar.ini \
        --time "$time" --no-send --request-out windows.req 2>/dev/null)
      cmp -s "$work/linux.req" "$work/windows.req" || fail "requests differ for $zone $time"
      # The zone took effect: the selected time is that zone's reading.
      grep -aq "selectedTime=$(TZ=$zone date -d "$time" +%s)" "$work/windows.req" ||
        grep -aq "actualTime=" "$work/windows.req" || fail "no times in the request"
      cp "$work/windows.req" "$work/$(tr / _ <<<"$zone").req"
    done
  done
  ! cmp -s "$work/Asia_Shanghai.req" "$work/UTC.req" || fail "the time zone made no difference"
  ;;
whole_road)
  make_card
  start_record_server "$work/record.jsonl"
  write_settings "http://127.0.0.1:$port/analysis"
  (cd "$work" && TZ=Asia/Shanghai "$lin/orvanta-query" --drive "${letter^^}=$work/card.img" --config orvanta-vemlar.ini \
    --time "2024-03-13 08:05:00" --out linux.html 2>/dev/null) || fail "Linux orvanta-query failed"
  (cd "$work" && TZ=Asia/Shanghai "$run" "$win/orvanta-query.exe" --config orvanta-vemlar.ini \
    --time "2024-03-13 08:05:00" --out windows.html 2>"$work/err") || fail "orvanta-query.exe failed: $(cat "$work/err")"
  [ "$(wc -l < "$work/record.jsonl")" -eq 2 ] || fail "the server recorded $(wc -l < "$work/record.jsonl") requests"
  python3 "$ORVANTA_SOURCE_DIR/tests/wine/compare_records.py" "$work/record.jsonl" || fail "recorded requests differ"
  cmp -s "$work/linux.html" "$work/windows.html" || fail "answer pages differ"
  # A refused login: same exit status as on Linux.
  write_settings "http://127.0.0.1:$port/analysis"
  sed -i 's/password=geheim/password=wrong/' "$work/orvanta-vemlar.ini"
  set +e
  (cd "$work" && "$run" "$win/orvanta-query.exe" --config orvanta-vemlar.ini --out x.html 2>"$work/err")
  windows_status=$?
  (cd "$work" && "$lin/orvanta-query" --drive "${letter^^}=$work/card.img" --config orvanta-vemlar.ini --out x.html 2>/dev/null)
  linux_status=$?
  set -e
  [ $windows_status -eq $linux_status ] && [ $linux_status -eq 1 ] ||
    fail "refused login: exit $windows_status on Windows, $linux_status on Linux"
  grep -q "answered with HTTP status" "$work/err" || fail "refused login message: $(cat "$work/err")"
  ;;
far_ring)
  # Rings of 8,500,000 records, one a second, end at sector 8,599,999: the
  # records queried lie above sector 8,388,608, the 4 GiB offset, so positioning
  # there needs the high part of SetFilePointer's offset. A whole ring would be
  # 4.3 GB of records; the images hold only the sectors these queries read
  # (create --only-for-query), a few megabytes in a sparse file.
  write_settings "http://127.0.0.1:9/analysis"
  first=$(date -u -d "2023-10-20 00:00:00" +%s)
  fields_of() { date -u -d "@$(( first + $1 ))" "+%F %T"; }  # local time of logical index N
  # wrap, then pairs of logical index and the sector its record lies in
  for ring in "0 8350000:8450000" "100000 8300000:8500000 8450000:150000"; do
    read -r wrap queries <<<"$ring"
    times=()
    for query in $queries; do times+=(--only-for-query "$(fields_of "${query%%:*}")"); done
    TZ=Asia/Shanghai "$lin/orvanta-card" create "$work/far.img" --start "$(fields_of 0)" --records 8500000 \
      --wrap "$wrap" "${times[@]}" >/dev/null
    used=$(du -k "$work/far.img" | cut -f1)
    [ "$used" -lt 8192 ] || fail "the query image takes $used KiB on disk"
    ln -sfn "$work/far.img" "$link"
    for query in $queries; do
      time=$(fields_of "${query%%:*}")
      for zone in Asia/Shanghai UTC Europe/Berlin; do
        (cd "$work" && TZ=$zone "$lin/orvanta-query" --drive "E=$work/far.img" --config orvanta-vemlar.ini \
          --time "$time" --no-send --request-out linux.req --csv linux.csv 2>/dev/null)
        (cd "$work" && TZ=$zone "$run" "$win/orvanta-query.exe" --config orvanta-vemlar.ini \
          --time "$time" --no-send --request-out windows.req --csv windows.csv 2>/dev/null)
        cmp -s "$work/linux.req" "$work/windows.req" || fail "requests differ for wrap $wrap, $zone $time"
        # The record of that very second was read where it lies, and the trend
        # read behind it delivered records (a failed read gives no points).
        grep -qx -e "sector,${query##*:}," -e "sector,${query##*:},"$'\r' "$work/windows-info.csv" ||
          fail "orvanta-query.exe read another sector for $time: $(grep -a '^sector' "$work/windows-info.csv")"
        python3 - "$work/windows.req" "$(TZ=$zone date -d "$time" +%s)" <<'PY' || fail "request for wrap $wrap, $zone $time"
import sys, urllib.parse
body = open(sys.argv[1], "rb").read().split(b"\r\n\r\n", 1)[1].decode()
fields = urllib.parse.parse_qs(body)
assert fields["actualTime"] == [sys.argv[2]], ("actualTime", fields["actualTime"], sys.argv[2])
assert len(fields["data1"][0].split()) >= 2000, "the trend holds too few points"
PY
      done
    done
  done
  ;;
ini_compare)
  mkdir -p "$work/ini"
  python3 "$ORVANTA_SOURCE_DIR/tests/wine/make_ini_cases.py" "$work/ini" 400
  (cd "$work/ini" && "$lin/orvanta-settings-dump" *.ini) > "$work/linux.txt"
  (cd "$work/ini" && "$run" "$win/orvanta-settings-dump.exe" *.ini | tr -d '\r') > "$work/windows.txt"
  [ "$(wc -l < "$work/linux.txt")" -ge 400 ] || fail "too few INI files"
  if ! diff "$work/linux.txt" "$work/windows.txt" > "$work/diff.txt"; then
    head -20 "$work/diff.txt" >&2
    for name in $(awk '/^</ && n++ < 3 {print $2}' "$work/diff.txt"); do
      echo "--- $name:" >&2; od -c "$work/ini/$name" | sed -n 1,12p >&2
    done
    fail "$(grep -c '^<' "$work/diff.txt") of $(wc -l < "$work/linux.txt") INI files read differently"
  fi
  ;;
*) fail "unknown check $check" ;;
esac
echo "wine check $check: passed"
