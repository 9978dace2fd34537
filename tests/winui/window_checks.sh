#!/usr/bin/env bash
# The Windows window under Wine, driven by window_driver.exe as a user would:
# control places, minimum size and anchors, the texts in Chinese and in
# English (the user's language), the start page, the queries of the table
# below (each POST the real browser control sends to the Linux reference
# server must equal, body and the four header lines, what the Linux
# orvanta-query builds for the same card, INI, ratio.txt and second; a click
# on the overview strip and on the events list's first event included), the
# events list's rows (those of orvanta-card events), the CSV export (equal to orvanta-query
# --csv for the same second), the local analysis by F6 and by the menu and
# below the page for a server that does not answer (its values those of
# orvanta-card analyse), the report of the whole card (equal to orvanta-card
# report), the strip's quantity kept from one run to the next, the status line after each query (the card's
# drive or none, the record's time or none), the strip's reads, the buttons'
# state, "<" and
# ">", Enter and Escape, ">" at the newest record (no query, the status line
# says so), a run without a card, the window and the about box centred, the
# size grip after a resize, the CSV export's proposed name and confirmation;
# the card saved as an image through the
# menu (its digest sha256sum accepts), the window started on it with --image
# and opening it through the menu (the caption and the status line name it,
# its queries are the card's), the COMTRADE export of the record shown (equal
# to orvanta-card comtrade --at); then the installer (English, then over the
# user's INI in Chinese), the programs' version resources and the uninstaller,
# silently. Runs inside one xvfb-run (CTest starts it so)
# with a Wine prefix of its own, created here, and one persistent wineserver.
# Needs ORVANTA_LINUX_BIN_DIR, ORVANTA_WINDOWS_BIN_DIR, ORVANTA_SOURCE_DIR,
# ORVANTA_WINDOW_PREFIX and ORVANTA_VERSION; ORVANTA_SETUP names the installer
# (optional).
set -euo pipefail
lin=$ORVANTA_LINUX_BIN_DIR
win=$ORVANTA_WINDOWS_BIN_DIR
src=$ORVANTA_SOURCE_DIR
wine=/usr/lib/wine/wine64
# Created without Mono and the menu builder, and with mshtml: without it the
# browser class is not registered.
export WINEPREFIX=$ORVANTA_WINDOW_PREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;winemenubuilder.exe=d"
export LANG=C.UTF-8 TZ=Asia/Shanghai
unset LC_ALL
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
work=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-window-XXXXXX")
server_pid=
switch_pid=
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; fi
  if [ -n "$switch_pid" ]; then kill "$switch_pid" 2>/dev/null || true; fi
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=tests/wine/record_server.sh
source "$src/tests/wine/record_server.sh"
winpath() { local p=${1//\//\\}; echo "Z:$p"; }
started=$(date +%s)

rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
"$wine" wineboot -i >/dev/null 2>&1
/usr/lib/wine/wineserver -w
# One wineserver for the whole run.
/usr/lib/wine/wineserver -p >/dev/null 2>&1 || true
# A dialog closes without a 2-second wait under a bare X server.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
echo "prefix ready after $(( $(date +%s) - started )) s"

# The card (drive E: through a device link), the server, and the window's
# folder: the program, its INI beside it, ratio.txt as working directory.
TZ=Asia/Shanghai "$lin/orvanta-card" create "$work/card.img" --start "2024-07-01 08:00:00" \
  --records 20000 --per-second 1,1,3,1,2 --wrap 3000 >/dev/null
start_record_server "$work/record.jsonl"
mkdir "$work/app"
cp "$win/orvanta-client.exe" "$work/app/"
printf '[Common]\r\nserverBaseUrl=http://127.0.0.1:%s/analysis\r\nuserID=4711\r\npassword=geheim\r\n' "$port" \
  > "$work/app/orvanta-vemlar.ini"
printf '1.02 0.98\n' > "$work/app/ratio.txt"

# The command line: --version and --help on standard output with status 0, a
# bad argument on standard error with status 2, and no window in either case.
[ "$("$wine" "$work/app/orvanta-client.exe" --version)" = "orvanta-client $ORVANTA_VERSION" ] ||
  fail "--version printed something else"
help=$("$wine" "$work/app/orvanta-client.exe" --help)
case $help in "Usage: orvanta-client [options]"*"--lang zh|en"*) ;; *) fail "--help: $help" ;; esac
for bad in "--lang de" "--lang" "--image" "--drive E=/dev/sdb" "card.img"; do
  status=0
  # shellcheck disable=SC2086
  errors=$("$wine" "$work/app/orvanta-client.exe" $bad 2>&1 >/dev/null) || status=$?
  [ "$status" = 2 ] || fail "'$bad' ended with $status, not 2"
  case $errors in "orvanta-client: "*"--help"*) ;; *) fail "'$bad' said: $errors" ;; esac
done
echo "command line checked"

# Local standard time of a time value in the zone of TZ.
standard() { python3 -c 'import sys, time; print(time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(int(sys.argv[1]) - time.timezone)))' "$1"; }
field() { python3 -c 'import sys, urllib.parse; print(urllib.parse.parse_qs(open(sys.argv[1], "rb").read().split(b"\r\n\r\n", 1)[1].decode())[sys.argv[2]][0])' "$1" "$2"; }

# Wine takes the user's language from LANG, through the C library's locale:
# the rows' locales, made once beside the prefix.
export LOCPATH=$ORVANTA_WINDOW_PREFIX-locales
mkdir -p "$LOCPATH"
for locale in zh_CN en_US de_DE; do
  [ -d "$LOCPATH/$locale.UTF-8" ] || localedef -i "$locale" -f UTF-8 "$LOCPATH/$locale.UTF-8"
done

# The queries: zone, LANG, card or none, then the driver's commands (first
# --lang L: the window is started so; "csv" exports the record shown to a
# file of this run). Languages other than English give Chinese.
# "analysis", "report" and "unreachable" copy the window's page files to
# this run's files; "quantity" chooses the strip's quantity, which the next
# run's window draws again ("showing"). "saveimage" saves the card as SAVED,
# which the later rows open ("open") or start with ("image": no drive E:
# but --image); "comtrade" exports the record shown.
queries=(
  "Asia/Shanghai zh_CN.UTF-8 card centred texts zh start places resize about strip doubleclick query 2024-07-01 08:00:07 csv analysis key PAGE report REPORT forward back enter keyboard keys events 200 quantity iThdF saveimage SAVED"
  "Europe/Berlin en_US.UTF-8 card texts en start about showing iThdF quantity vRms query 2024-07-01 09:30:02 back forward csv analysis menu PAGE unreachable 2024-07-01 10:00:03 DEADPORT DEADPAGE query 2024-07-01 08:59:59 query 2024-07-01 12:00:00 stay forward"
  "Asia/Shanghai zh_CN.UTF-8 none --lang en texts en query 2024-07-01 10:00:00 forward card in f5 FLAGS card out f5 FLAGS card in wait FLAGS open SAVED query 2024-07-01 09:30:02 comtrade COMTRADE"
  "Asia/Shanghai de_DE.UTF-8 card texts zh overview"
  "Europe/Berlin zh_CN.UTF-8 image --image SAVED title SAVED query 2024-07-01 08:00:07 comtrade COMTRADE"
)
# The card put in and taken out while a window runs: the driver asks
# through a file in this run's folder ("card in|out f5|wait FLAGS").
(
  while :; do
    if [ -e "$work/want-in" ]; then
      ln -sfn "$work/card.img" "$WINEPREFIX/dosdevices/e::"; rm -f "$work/want-in"; touch "$work/done"
    elif [ -e "$work/want-out" ]; then
      rm -f "$WINEPREFIX/dosdevices/e::" "$work/want-out"; touch "$work/done"
    fi
    sleep 0.05
  done
) &
switch_pid=$!
# A port where nothing answers: taken and given back at once.
dead_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
posts=0
exports=0
comtrades=0
images=0
analyses=0
reports=0
event_lists=0
clicks=0
disabled_clicks=0
for row in "${queries[@]}"; do
  read -r zone lang card commands <<<"$row"
  csv=$work/window-$exports.csv
  commands=${commands/csv/csv $(winpath "$csv")}
  commands=${commands//DEADPAGE/$(winpath "$work/unreachable.html")}
  commands=${commands//PAGE/$(winpath "$work/analysis.html")}
  commands=${commands//REPORT/$(winpath "$work/report.html")}
  commands=${commands//DEADPORT/$dead_port}
  commands=${commands//FLAGS/$(winpath "$work")}
  commands=${commands//SAVED/$(winpath "$work/saved.img")}
  commands=${commands//COMTRADE/$(winpath "$work/comtrade.cfg")}
  # A new file for each row: the save dialog would ask before replacing one.
  rm -f "$work/comtrade.cfg" "$work/comtrade.dat"
  if [ "$card" = image ]; then
    # The image is E: through the window's own map only.
    rm -f "$WINEPREFIX/dosdevices/e::"
    drive=(--drive "E=$work/card.img")
  elif [ "$card" = card ]; then
    ln -sfn "$work/card.img" "$WINEPREFIX/dosdevices/e::"
    drive=(--drive "E=$work/card.img")
  else
    rm -f "$WINEPREFIX/dosdevices/e::"
    drive=(--drive "E=$work/no-card.img")
  fi
  # The strip's scans are counted in a traced run (Wine cannot reach the
  # memory of a traced process: such a run sets no time).
  trace=()
  case " $commands " in
    *" overview "*) trace=(strace -f -qq --seccomp-bpf -y -e 'trace=read,pread64,clone,clone3' -o "$work/reads.trace") ;;
  esac
  # The Windows programs see no TZ variable, as on a real PC (the C
  # library would read "Asia/Shanghai" as a zone of its own format); Wine's
  # clock follows the Unix TZ.
  # shellcheck disable=SC2086
  TZ=$zone LANG=$lang "${trace[@]}" "$wine" "$win/without_tz_launcher.exe" "$(winpath "$win/window_driver.exe")" launch "$(winpath "$work/app")" $commands escape \
    >"$work/driver.out" 2>/dev/null || { cat "$work/driver.out"; fail "the driver found faults ($zone, $card)"; }
  tr -d '\r' <"$work/driver.out" >"$work/driver.txt"
  cat "$work/driver.txt"
  grep -qx closed "$work/driver.txt" || fail "Escape did not close the window"
  if [ ${#trace[@]} -gt 0 ]; then
    # The strip reads 1000 samples of the card: at most 1000 + 300 sectors a scan.
    python3 "$src/tests/winui/scan_reads.py" "$work/reads.trace" "$work/card.img" 1300 || fail "the strip's scan read too much"
  fi
  if grep -q '^event ' "$work/driver.txt"; then
    # The list's rows are the events orvanta-card finds at the same voltage
    # on the whole card, with the list's texts for the kinds.
    volts=${commands##* events }
    volts=${volts%% *}
    (cd "$work/app" && TZ=$zone "$lin/orvanta-card" events "${drive[@]}" --nominal "$volts" --out "$work/events.csv")
    python3 - "$work/events.csv" "$work/driver.txt" <<'PY' || fail "the events list differs from orvanta-card events ($zone)"
import csv, sys
kinds = {"dip": "电压暂降", "interruption": "短时中断", "swell": "电压暂升"}
want = []
for row in csv.DictReader(open(sys.argv[1], encoding="utf-8")):
    kind = kinds[row["kind"]] if row["ended"] == "1" else kinds[row["kind"]] + " (未结束)"
    want.append(",".join([kind, row["start"], row["duration_s"], row["extreme_v"]]))
got = [line[len("event "):] for line in open(sys.argv[2], encoding="utf-8").read().splitlines() if line.startswith("event ")]
if got != want or not want:
    print("window:", got[:3], len(got), "orvanta-card:", want[:3], len(want))
    sys.exit(1)
PY
    event_lists=$((event_lists + 1))
  fi
  previous_actual=0
  while read -r what date time; do
    if [ "$what" = click ]; then
      clicks=$((clicks + 1))
      [ "$date" = disabled ] && disabled_clicks=$((disabled_clicks + 1))
      continue
    fi
    if [ "$what" = savedimage ]; then
      (cd "$work" && sha256sum --quiet -c saved.img.sha256) || fail "the saved image's digest does not check"
      images=$((images + 1))
      continue
    fi
    if [ "$what" = opened ]; then
      # From here on the card is the image saved from it: queries as on the card.
      card=image
      drive=(--drive "E=$work/card.img")
      images=$((images + 1))
      continue
    fi
    if [ "$what" = comtrade ]; then
      # The record shown as orvanta-card comtrade --at writes it for the second sent.
      (cd "$work/app" && TZ=$zone "$lin/orvanta-card" comtrade "${drive[@]}" --at "$sent" "$work/linux-comtrade" >/dev/null)
      for ext in cfg dat; do
        cmp "$work/comtrade.$ext" "$work/linux-comtrade.$ext" ||
          fail "the COMTRADE .$ext of $sent differs from orvanta-card comtrade ($zone)"
      done
      comtrades=$((comtrades + 1))
      continue
    fi
    if [ "$what" = exported ]; then
      # The window's export is the Linux window's: orvanta-query --csv.
      (cd "$work/app" && TZ=$zone "$lin/orvanta-query" "${drive[@]}" --config orvanta-vemlar.ini \
        --time "$sent" --no-send --csv "$work/linux.csv" 2>/dev/null)
      for part in waveform trend info; do
        cmp "${csv%.csv}-$part.csv" "$work/linux-$part.csv" ||
          fail "the CSV export of $sent ($part) differs from orvanta-query --csv"
      done
      exports=$((exports + 1))
      continue
    fi
    if [ "$what" = analysis ] || [ "$what" = unreachable ]; then
      # The record's local analysis: the values orvanta-card analyse gives
      # the first record of the second shown (the record the query found).
      actual=$previous_actual
      if [ "$what" = unreachable ]; then
        (cd "$work/app" && TZ=$zone "$lin/orvanta-query" "${drive[@]}" --config orvanta-vemlar.ini \
          --time "$date $time" --no-send --request-out "$work/linux.req" 2>/dev/null)
        actual=$(field "$work/linux.req" actualTime)
      fi
      shown_time=$(TZ=$zone standard "$actual")
      (cd "$work/app" && TZ=$zone "$lin/orvanta-card" analyse "${drive[@]}" --from "$shown_time" --to "$shown_time" \
        --out "$work/analyse.csv")
      python3 - "$work/$what.html" "$work/analyse.csv" "$shown_time" "$what" "127.0.0.1:$dead_port" <<'PY' ||
import csv, re, sys
page = open(sys.argv[1], encoding="utf-8").read()
rows = list(csv.DictReader(open(sys.argv[2], encoding="utf-8")))
when = next(k for k in rows[0] if k.startswith("time (local standard time, UTC"))  # the offset of the zone
row = next(r for r in rows if r[when] == sys.argv[3])
def cell(name):
    found = re.search(r'<td id="%s">([^<]*)</td>' % name, page)
    return found.group(1) if found else None
want = {"v-rms": "%.2f V" % float(row["v_rms (V)"]), "i-rms": "%.3f A" % float(row["i_rms (A)"]),
        "p": "%.2f W" % float(row["p (W)"]), "pf": "%.4f" % float(row["pf"])}
got = {name: cell(name) for name in want}
faults = [] if got == want else ["values %s, orvanta-card analyse %s" % (got, want)]
if sys.argv[3] not in page: faults.append("no record time " + sys.argv[3])
if page.count('id="local-analysis"') != 1: faults.append("not one local analysis section")
# Below the window's explanation, which names the address that did not answer.
if sys.argv[4] == "unreachable" and not (0 <= page.find(sys.argv[5]) < page.find('id="local-analysis"')):
    faults.append("no explanation naming %s above the analysis" % sys.argv[5])
# The Linux window's page: the configuration file to check, and what the
# control reported (a network status, not an HTTP one).
if sys.argv[4] == "unreachable" and not ("orvanta-vemlar.ini" in page and re.search(r"INET_E_\w+ \(0x800C00", page)):
    faults.append("the page names no configuration file or no network status")
for fault in faults: print(fault)
sys.exit(1 if faults else 0)
PY
        fail "the $what page of $shown_time differs from orvanta-card analyse ($zone)"
      analyses=$((analyses + 1))
      continue
    fi
    if [ "$what" = report ]; then
      # The strip's range is the whole card here: orvanta-card's report of it.
      report_lang=zh
      [ "${lang%%_*}" = en ] && report_lang=en
      (cd "$work/app" && TZ=$zone "$lin/orvanta-card" report "${drive[@]}" --lang "$report_lang" --html "$work/linux-report.html")
      cmp "$work/report.html" "$work/linux-report.html" || fail "the window's report differs from orvanta-card report ($zone)"
      reports=$((reports + 1))
      continue
    fi
    if [ "$what" = status ]; then
      # The card's line names drive E: on card rows; the record's line a
      # record exactly when orvanta-query found one for the second sent.
      want_card=nocard
      [ "$card" != none ] && want_card=card
      want_record=norecord
      [ "$previous_actual" -gt 0 ] && want_record=record
      [ "$date $time" = "$want_card $want_record" ] ||
        fail "the status line says $date $time after $sent, expected $want_card $want_record ($zone)"
      continue
    fi
    [ "$what" = sent ] || [ "$what" = shown ] || continue
    if [ "$what" = sent ]; then
      (cd "$work/app" && TZ=$zone "$lin/orvanta-query" "${drive[@]}" --config orvanta-vemlar.ini \
        --time "$date $time" --no-send --request-out "$work/linux.req" 2>/dev/null)
      python3 "$src/tests/winui/compare_window_post.py" "$work/record.jsonl" "$posts" "$work/linux.req" ||
        fail "POST $posts ($zone, $card, $date $time) differs from orvanta-query"
      posts=$((posts + 1))
      previous_actual=$(field "$work/linux.req" actualTime)
      sent="$date $time"
    else
      # After the load the controls show the record's time, or keep theirs.
      expected=$sent
      if [ "$previous_actual" -gt 0 ]; then expected=$(TZ=$zone standard "$previous_actual"); fi
      [ "$date $time" = "$expected" ] || fail "the controls show $date $time, expected $expected ($zone)"
    fi
  done <"$work/driver.txt"
done
# Right after a click the buttons are disabled; under Wine the navigation
# may already have ended when the driver looks, but not after every click.
[ "$clicks" -gt 0 ] && [ "$disabled_clicks" -gt 0 ] ||
  fail "the buttons were not disabled right after any of $clicks clicks"
recorded=$(wc -l <"$work/record.jsonl")
[ "$recorded" -eq "$posts" ] || fail "the server recorded $recorded requests for $posts queries"
[ "$exports" -eq 2 ] || fail "$exports CSV exports checked, expected 2"
[ "$comtrades" -eq 2 ] || fail "$comtrades COMTRADE exports checked, expected 2"
[ "$images" -eq 2 ] || fail "$images card image saves and opens checked, expected 2"
[ "$analyses" -eq 3 ] || fail "$analyses local analysis pages checked, expected 3"
[ "$reports" -eq 1 ] || fail "$reports reports checked, expected 1"
[ "$event_lists" -eq 1 ] || fail "$event_lists events lists checked, expected 1"
echo "$posts queries posted as orvanta-query builds them, $exports CSV exports as it writes them; $(( $(date +%s) - started )) s so far"

# The installer, silently into a folder of our choice: first on an English
# desktop (English names), then, over a configuration and a ratio.txt the
# user set up, again on a Chinese one (Chinese names, the user's files
# kept); the programs' version resources; then the uninstaller, which keeps
# the user's two files and so the folder.
if [ -n "${ORVANTA_SETUP:-}" ]; then
  [ -f "$ORVANTA_SETUP" ] || fail "no installer $ORVANTA_SETUP"
  dir="$WINEPREFIX/drive_c/OrvantaTest"
  menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Orvanta"
  key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvanta'
  user_ini=$(printf '[Common]\r\nserverBaseUrl=http://192.0.2.7/analysis\r\nuserID=77\r\npassword=mine\r\n')
  for install in "en_US.UTF-8 Orvanta Harmonic Analysis" "zh_CN.UTF-8 Orvanta谐波分析"; do
    read -r lang name <<<"$install"
    LANG=$lang "$wine" "$ORVANTA_SETUP" /S '/D=C:\OrvantaTest' >/dev/null 2>&1 || fail "the installer failed ($lang)"
    for file in orvanta-client.exe orvanta-query.exe orvanta-card.exe orvanta-vemlar.ini uninstall.exe; do
      [ -f "$dir/$file" ] || fail "installed without $file"
    done
    cmp -s "$dir/orvanta-client.exe" "$win/orvanta-client.exe" || fail "the installed window differs from the build"
    shortcuts=$(cd "$menu" && ls)
    [ "$shortcuts" = "$name.lnk" ] || fail "Start menu after installing on $lang: $shortcuts, expected $name.lnk"
    grep -aq "orvanta-client.exe" "$menu/$name.lnk" || fail "the shortcut does not lead to the window"
    LANG=$lang "$wine" reg query "$key" /v DisplayName >"$work/reg.txt" 2>/dev/null || fail "no entry under installed programs"
    reg_names=$(tr -d '\r' <"$work/reg.txt")
    case $lang in
      en*) [[ $reg_names == *"$name"* ]] || fail "installed programs' name on $lang: $reg_names" ;;
      *) [[ $reg_names != *"Harmonic"* ]] || fail "installed programs' name on $lang: $reg_names" ;;
    esac
    if [ "$lang" = en_US.UTF-8 ]; then
      cmp -s "$dir/orvanta-vemlar.ini" "$src/packaging/windows/orvanta-vemlar.ini" || fail "the sample INI was not installed"
      printf '%s' "$user_ini" >"$dir/orvanta-vemlar.ini"
      printf '1.01 0.99\n' >"$dir/ratio.txt"
    else
      [ "$(cat "$dir/orvanta-vemlar.ini")" = "$user_ini" ] || fail "the upgrade replaced the user's INI"
    fi
  done
  "$wine" reg query "$key" /v UninstallString >"$work/reg.txt" 2>/dev/null || fail "no uninstaller entry"
  grep -q 'uninstall.exe' "$work/reg.txt" || fail "the entry names no uninstaller"
  "$wine" "$win/window_driver.exe" version "$ORVANTA_VERSION" 'C:\OrvantaTest\orvanta-client.exe' \
    'C:\OrvantaTest\orvanta-query.exe' 'C:\OrvantaTest\orvanta-card.exe' >"$work/version.txt" 2>/dev/null ||
    { cat "$work/version.txt"; fail "the programs' version resources"; }
  # _?= runs the uninstaller in place and waits for it.
  "$wine" "$dir/uninstall.exe" /S '_?=C:\OrvantaTest' >/dev/null 2>&1 || fail "the uninstaller failed"
  for file in orvanta-client.exe orvanta-query.exe orvanta-card.exe; do
    [ ! -e "$dir/$file" ] || fail "the uninstaller left $file"
  done
  [ "$(cat "$dir/orvanta-vemlar.ini")" = "$user_ini" ] || fail "the uninstaller did not keep the user's INI"
  [ -f "$dir/ratio.txt" ] || fail "the uninstaller did not keep ratio.txt"
  [ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
  ! "$wine" reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left its entry"
  echo "installer and uninstaller checked"
fi
echo "window checks under Wine took $(( $(date +%s) - started )) s"
