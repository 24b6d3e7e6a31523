#!/usr/bin/env bash
# test_clients.sh <client> <client_fixture> <dir>: a real client reads what the launcher wrote
# for a program folder of notes, recurrences and contacts (client_fixture makes it), and shows
# them on the right days with the right texts; "import": an appointment put on a real server
# and synced becomes a note and follows its event; "kills": the launcher's import killed at
# random instants (PROMEMO_IMPORT_KILLS runs, 100 by default). Exit 77 (skipped) when the client
# is missing.
set -uo pipefail
client=$1 fixture=$2 dir=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/promemo-clients.XXXXXX")
server_pid=
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null
    wait "$server_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
export TZ=Europe/Rome LC_ALL=C.UTF-8 HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
  XDG_CACHE_HOME=$work/cache
folder=$work/Promemo
last_year=2036

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
need() { command -v "$1" >/dev/null || skip "$1 is not installed (scripts/setup.sh installs it)"; }
# Runs a client with a deadline and a capped log.
run() { timeout 60 "$@" 2>"$work/stderr"; local rc=$?; head -c 4000 "$work/stderr" >&2; return $rc; }
same() { # same <what> <expected file> <actual file>
  if ! diff -u "$2" "$3" | head -60; then :; fi
  cmp -s "$2" "$3" || fail "$1 differs from the recurrence files' days"
}

start_server() { # Radicale on a free port, vdirsyncer between it and the vdirs
  need radicale
  need vdirsyncer
  need python3
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')
  # Its own configuration only: the system's (/etc/radicale/config) is not read.
  cat >"$work/radicale.conf" <<CONF
[server]
hosts = 127.0.0.1:$port
[auth]
type = none
[rights]
type = owner_only
[storage]
filesystem_folder = $work/storage
[logging]
level = warning
CONF
  radicale --config "$work/radicale.conf" >"$work/radicale.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null && break
    kill -0 "$server_pid" 2>/dev/null || fail "radicale ended: $(head -c 2000 "$work/radicale.log")"
    sleep 0.1
  done
  cat >"$work/vdirsyncer.conf" <<CONF
[general]
status_path = "$work/status/"

[pair calendario]
a = "calendario_local"
b = "calendario_server"
collections = null
conflict_resolution = "a wins"

[storage calendario_local]
type = "filesystem"
path = "$folder/calendario/"
fileext = ".ics"

[storage calendario_server]
type = "caldav"
url = "http://127.0.0.1:$port/promemo/calendario/"
username = "promemo"
password = "promemo"

[pair rubrica]
a = "rubrica_local"
b = "rubrica_server"
collections = null
conflict_resolution = "a wins"

[storage rubrica_local]
type = "filesystem"
path = "$folder/rubrica/"
fileext = ".vcf"

[storage rubrica_server]
type = "carddav"
url = "http://127.0.0.1:$port/promemo/rubrica/"
username = "promemo"
password = "promemo"
CONF
  dav() { # dav <method> <path> [body]: one request to the server, its status on stdout
    python3 - "$port" "$@" <<'PY'
import base64, http.client, sys
port, method, path = sys.argv[1:4]
body = sys.argv[4] if len(sys.argv) > 4 else None
c = http.client.HTTPConnection("127.0.0.1", int(port), timeout=10)
auth = base64.b64encode(b"promemo:promemo").decode()
c.request(method, path, body=body, headers={"Authorization": "Basic " + auth, "Content-Type": "application/xml"})
print(c.getresponse().status)
PY
  }
  dav MKCOL /promemo/ >/dev/null
  dav MKCALENDAR /promemo/calendario/ >/dev/null
  dav MKCOL /promemo/rubrica/ '<?xml version="1.0"?><mkcol xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"><set><prop><resourcetype><collection/><C:addressbook/></resourcetype></prop></set></mkcol>' >/dev/null
  vs() { run vdirsyncer -c "$work/vdirsyncer.conf" "$@" </dev/null >"$work/vdirsyncer.txt" || { cat "$work/vdirsyncer.txt" | head -c 4000; fail "vdirsyncer $*"; }; }
  vs discover
}

if [ "$client" = import ] || [ "$client" = kills ]; then
  mkdir -p "$folder/calendario" "$folder/rubrica"
else
  "$fixture" "$folder" || fail "the fixture could not be made"
fi
expected_days=$folder/expected-days.txt

case $client in
khal)
  need khal
  mkdir -p "$work/khal-cal"
  cat >"$work/khal.conf" <<CONF
[calendars]
[[promemo]]
path = $work/khal-cal
type = calendar
[[vdir]]
path = $folder/calendario
type = calendar
[sqlite]
path = $work/khal.db
[locale]
timeformat = %H:%M
dateformat = %Y-%m-%d
longdateformat = %Y-%m-%d
datetimeformat = %Y-%m-%d %H:%M
longdatetimeformat = %Y-%m-%d %H:%M
local_timezone = Europe/Rome
default_timezone = Europe/Rome
[default]
default_calendar = promemo
CONF
  run khal -c "$work/khal.conf" import --batch -a promemo "$folder/Promemo.ics" || fail "khal import"
  for calendar in promemo vdir; do
    run khal -c "$work/khal.conf" list -a "$calendar" -df '' -f '{start-date}	{title}' 2027-01-01 "$last_year-12-31" \
      | sort >"$work/khal-$calendar.txt" || fail "khal list"
    same "khal ($calendar)" "$expected_days" "$work/khal-$calendar.txt"
  done
  # A note with an alert lasts a quarter of an hour.
  run khal -c "$work/khal.conf" list -a promemo -df '' -f '{start}-{end-time} {title}' 2027-02-04 1d \
    | grep -qx '2027-02-04 09:30-09:45 Dentista, via Po; ”studio” è là' || fail "khal: the alert's event has no quarter-hour end"
  ;;
calcurse)
  need calcurse
  mkdir -p "$work/calcurse"
  run calcurse -D "$work/calcurse" -i "$folder/Promemo.ics" >"$work/import.txt" || fail "calcurse import"
  grep -q ' 0 skipped' "$work/import.txt" || fail "calcurse skipped items: $(cat "$work/import.txt")"
  run calcurse -D "$work/calcurse" -Q --from 01/01/2027 --to "12/31/$last_year" --output-datefmt '%Y-%m-%d' \
    --format-event '@%m\n' --format-recur-event '@%m\n' --format-apt '@%m\n' --format-recur-apt '@%m\n' \
    >"$work/calcurse-out.txt" || fail "calcurse query"
  awk '/^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]:$/ { day = substr($0, 1, 10); next }
       /^@/ { print day "\t" substr($0, 2) }' "$work/calcurse-out.txt" | sort >"$work/calcurse.txt"
  same calcurse "$expected_days" "$work/calcurse.txt"
  ;;
icaljs|tsics)
  need node
  modules=$dir/node_modules
  [ -f "$modules/ical.js/package.json" ] && [ -f "$modules/ts-ics/package.json" ] ||
    skip "ical.js and ts-ics could not be installed from npm (see $dir/npm-install.log)"
  if [ "$client" = icaljs ]; then
    run node "$here/days.mjs" "$modules" "$folder/Promemo.ics" "$last_year" >"$work/icaljs.txt" ||
      fail "ical.js on Promemo.ics"
    same "ical.js (Promemo.ics)" "$expected_days" "$work/icaljs.txt"
    for file in "$folder"/calendario/*.ics; do
      run node "$here/days.mjs" "$modules" "$file" "$last_year" || fail "ical.js on $file"
    done | sort >"$work/icaljs-vdir.txt"
    same "ical.js (calendario/)" "$expected_days" "$work/icaljs-vdir.txt"
  else
    TZ=UTC run node "$here/ends.mjs" "$modules" "$folder/Promemo.ics" >"$work/tsics.txt" || fail "ts-ics"
    grep -qx $'2027-02-04T09:30:00.000Z\t2027-02-04T09:45:00.000Z\tDentista, via Po; ”studio” è là' "$work/tsics.txt" ||
      fail "ts-ics: the alert's event has no quarter-hour end"
    grep -qx $'2027-02-03T00:00:00.000Z\t2027-02-04T00:00:00.000Z\tComprare il pane' "$work/tsics.txt" ||
      fail "ts-ics: the all-day note does not end the next day"
    [ "$(wc -l <"$work/tsics.txt")" -eq 20 ] || fail "ts-ics: not every event read"
  fi
  ;;
khard)
  need khard
  cat >"$work/khard.conf" <<CONF
[addressbooks]
[[promemo]]
path = $folder/rubrica
[general]
default_action = list
editor = true
merge_editor = true
[contact table]
display = formatted_name
CONF
  run khard -c "$work/khard.conf" list --parsable --fields name | sort >"$work/khard.txt" || fail "khard list"
  same khard "$folder/expected-contacts.txt" "$work/khard.txt"
  [ "$(grep -c '^BEGIN:VCARD' "$folder/Rubrica.vcf")" -eq "$(wc -l <"$work/khard.txt")" ] ||
    fail "khard: not every card of Rubrica.vcf"
  ;;
radicale)
  start_server
  vs sync
  server=$work/storage/collection-root/promemo
  uids() { # the UIDs of the items in a folder, sorted
    grep -h '^UID:' "$1"/*."$2" 2>/dev/null | tr -d '\r' | sort
  }
  [ "$(uids "$server/calendario" ics)" = "$(uids "$folder/calendario" ics)" ] || fail "the server's events are not the suite's"
  [ "$(uids "$server/rubrica" vcf)" = "$(uids "$folder/rubrica" vcf)" ] || fail "the server's contacts are not the suite's"
  [ "$(uids "$server/calendario" ics | wc -l)" -eq 20 ] || fail "not every event on the server"
  [ "$(uids "$server/rubrica" vcf | wc -l)" -eq 4 ] || fail "not every contact on the server"
  dentist=$(grep -l 'SUMMARY:Dentista' "$server"/calendario/*.ics | head -1)
  uid=$(grep '^UID:' "$dentist" | tr -d '\r')
  before=$(uids "$server/calendario" ics)

  "$fixture" "$folder" resave || fail "the note could not be saved again"
  vs sync
  [ "$(uids "$server/calendario" ics)" = "$before" ] || fail "saved again, the note is a new event on the server"
  moved=$(grep -l "^$uid" "$server"/calendario/*.ics | head -1)
  grep -q 'SUMMARY:Dentista spostato alle 11' "$moved" && grep -q 'DTSTART:20270205T110000' "$moved" ||
    fail "the server does not have the note's new content under its UID"
  ;;
import)
  start_server
  cal=http://127.0.0.1:$port/promemo/calendario/telefono.ics
  event() { # event <start, UTC> <summary>: an appointment entered on the phone, on the server
    printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefono//IT\r\nBEGIN:VEVENT\r\nUID:evento-1@telefono.example\r\nDTSTAMP:20270101T000000Z\r\nDTSTART:%s\r\nDURATION:PT1H\r\nSUMMARY:%s\r\nDESCRIPTION:studio Rossi\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n' "$1" "$2" |
      curl -sf -u promemo:promemo -o /dev/null -X PUT -H 'Content-Type: text/calendar' --data-binary @- "$cal" || fail "PUT $2"
  }
  round() { vs sync "$@"; "$fixture" "$folder" look || fail "the launcher's look"; "$fixture" "$folder" notes >"$work/notes.txt" || fail "notes"; }
  expect() { # expect <what> <the notes' lines, one a line>
    printf '%s\n' "$2" | cmp -s - "$work/notes.txt" || { cat "$work/notes.txt"; fail "$1"; }
  }
  server_items() { grep -l '^UID:evento-1@telefono.example' "$work"/storage/collection-root/promemo/calendario/*.ics 2>/dev/null | wc -l; }
  event 20270120T083000Z Dentista
  round
  expect "the phone's appointment is not a note of its day and alert" $'09881 20/01/2027 -09.15\tDentista | studio Rossi'
  round
  expect "synced again, the appointment is a second note" $'09881 20/01/2027 -09.15\tDentista | studio Rossi'
  [ "$(ls "$folder/calendario" | wc -l)" -eq 1 ] && [ "$(server_items)" -eq 1 ] || fail "the item is twice in the vdir or on the server"
  event 20270121T100000Z 'Dentista spostato'
  round
  expect "moved on the server, the note did not move" $'09882 21/01/2027 -10.45\tDentista spostato | studio Rossi\narchived Dentista spostato | studio Rossi'
  "$fixture" "$folder" open 'Dentista spostato' || fail "the note cannot be opened"
  event 20270122T100000Z 'Dal telefono'
  round
  expect "the open note changed under the user's hands" $'shown Dentista spostato | studio Rossi\narchived Dentista spostato | studio Rossi'
  "$fixture" "$folder" save 'Dentista spostato' 'Dal desktop' || fail "the note cannot be saved"
  round
  vs sync
  grep -q '^SUMMARY:Dal desktop' "$(grep -l '^UID:evento-1@telefono.example' "$work"/storage/collection-root/promemo/calendario/*.ics)" &&
    [ "$(server_items)" -eq 1 ] || fail "the note's save did not win on the server"
  curl -sf -u promemo:promemo -o /dev/null -X DELETE "$cal" || fail "DELETE"
  round --force-delete calendario # the server's only event: vdirsyncer asks before it empties a side
  expect "deleted on the server, the note is not gone to the archive" $'archived Dal desktop\narchived Dentista spostato | studio Rossi'
  ;;
kills)
  # The launcher killed at random instants while it imports and follows 40 items, moved every
  # tenth run: never two notes for one item, never a note lost, never a half-written file.
  runs=${PROMEMO_IMPORT_KILLS:-100}
  items=40
  write_items() { # write_items <version>
    for k in $(seq "$items"); do
      printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefono//IT\r\nBEGIN:VEVENT\r\nUID:%s@telefono.example\r\nDTSTAMP:20270101T000000Z\r\nDTSTART:202702%02dT0%s0000Z\r\nSUMMARY:Evento %s v%s\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n' \
        "$k" $((k % 28 + 1)) $(($1 % 10)) "$k" "$1" >"$folder/calendario/.new"
      mv "$folder/calendario/.new" "$folder/calendario/item$k.ics"
    done
  }
  check() { # check <least notes>: the notes now, each item's at most once; prints their count
    "$fixture" "$folder" notes >"$work/notes.txt" || fail "a note cannot be read"
    local dup
    dup=$(grep -v '^archived ' "$work/notes.txt" | grep -o 'Evento [0-9]*' | sort | uniq -d | head -3)
    [ -z "$dup" ] || fail "two notes for one item: $dup"
    local count
    count=$(grep -vc '^archived ' "$work/notes.txt")
    [ "$count" -ge "$1" ] || fail "a note was lost: $count notes after $1"
    for file in "$folder"/calendario/*.ics; do
      [ "$(tail -c 15 "$file" | tr -d '\r\n')" = END:VCALENDAR ] || fail "half-written $file"
    done
    echo "$count"
  }
  write_items 0
  least=0
  for run in $(seq "$runs"); do
    [ $((run % 10)) -eq 0 ] && write_items "$run"
    timeout -s KILL "0.0$((RANDOM % 90 + 10))" "$fixture" "$folder" start >/dev/null 2>&1
    least=$(check "$least") || { echo "$least"; exit 1; }
  done
  "$fixture" "$folder" start 2>/dev/null || fail "the last look"
  [ "$(check "$items")" -eq "$items" ] || fail "not one note for each item"
  ;;
*)
  fail "unknown client $client"
  ;;
esac
echo "PASSED: $client"
