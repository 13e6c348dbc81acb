#!/usr/bin/env bash
# orlent-nightly, the command orlent-nightly.service runs, on a folder of its
# own against the simulator on loopback: one run per row of the table below,
# each after the ones before it, with the exit status the service would end
# with and what the run leaves in the folder.
#   nightly_test.sh PROGRAM_FOLDER SOURCE_DIR
set -euo pipefail
programs=$1
samples=$2/data
fail() { echo "FAILED: $*" >&2; exit 1; }

scratch=$(mktemp -d /tmp/orlent-nightly-XXXXXX)
sim=""
finish() {
  [ -z "$sim" ] || kill "$sim" 2>/dev/null || true
  rm -rf "$scratch"
}
trap finish EXIT
folder=$scratch/orlent
other=$scratch/other   # another Orlent's folder, changing the terminal behind this one's back
mkdir -p "$folder/incoming" "$other" "$scratch/terminals"

"$programs/orlent-termsim" --store "$scratch/terminals" --listen 127.0.24.2:0 \
  >"$scratch/sim.out" 2>"$scratch/sim.err" &
sim=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^listening 127\.0\.24\.2://p' "$scratch/sim.out")
  [ -n "$port" ] && break
  kill -0 "$sim" 2>/dev/null || fail "the simulator did not start: $(cat "$scratch/sim.err")"
  sleep 0.1
done
[ -n "$port" ] || fail "the simulator did not say its port"

terminal_list() {
  printf '[Terminal]\r\nTerminalPort=%s\r\nTerminalNums=%s\r\n' "$port" $#
  n=0
  for address in "$@"; do
    n=$((n + 1))
    printf 'TerminalIP_%s=%s\r\nTerminalChecked_%s=1\r\n' $n "$address" $n
  done
}
terminal_list 127.0.24.2 >"$folder/Orlent.ini"
terminal_list 127.0.24.2 >"$other/Orlent.ini"
prices=$samples/PLU-Down.txt
records=$(grep -vc '^;' "$prices")
sed 's/\tBananas\t179\t/\tBananas\t185\t/' "$prices" >"$scratch/changed.txt"
cmp -s "$prices" "$scratch/changed.txt" && fail "the changed price file is the same"

latest_run() { find "$folder/runs" -mindepth 1 -maxdepth 1 -type d | sort | tail -1; }
# Whether a JSON summary holds the text, both read without spaces and line breaks.
json_has() {
  tr -d ' \n' <"$1" | grep -qF "$(printf %s "$2" | tr -d ' ')" ||
    fail "$(basename "$1") lacks $2: $(cat "$1")"
}
stored_plus() {
  "$programs/orlent-termsim" --dump 127.0.24.2 --store "$scratch/terminals" --kind plu | wc -l
}

# Each row: the run's name, what is done before it, the exit status it ends
# with, and what is checked after it.
before_taken() {
  cp "$prices" "$folder/incoming/.prices.txt"       # still being written, hidden
  cp "$prices" "$folder/incoming/prices.txt.part"   # still being written, named apart
  cp "$prices" "$folder/incoming/prices.txt"        # renamed when whole
}
after_taken() {
  run=$(latest_run)
  [ ! -e "$folder/incoming/prices.txt" ] || fail "the complete file was left in incoming"
  [ -f "$folder/incoming/.prices.txt" ] && [ -f "$folder/incoming/prices.txt.part" ] ||
    fail "a file under a temporary name was taken"
  cmp -s "$run/prices.txt" "$prices" || fail "the run folder does not hold the file taken"
  cmp -s "$folder/PLU-Down.txt" "$prices" || fail "the file taken is not the folder's PLU-Down.txt"
  json_has "$run/send.json" '"outcome":"sent"'
  json_has "$run/verify.json" '"outcome":"same"'
  [ "$(stored_plus)" -eq "$records" ] || fail "the terminal holds $(stored_plus) of $records"
}
before_again() { mkdir "$folder/metrics"; }
after_again() {
  run=$(latest_run)
  grep -q '^orlent_terminal_succeeded{.*address="127.0.24.2".*} 1$' \
    "$folder/metrics/orlent-send.prom" || fail "no send metrics in $folder/metrics"
  grep -q '^orlent_terminal_differs{.*address="127.0.24.2".*} 0$' \
    "$folder/metrics/orlent-verify.prom" || fail "no verification metrics in $folder/metrics"
  cmp -s "$run/PLU-Down.txt" "$prices" || fail "the folder's PLU-Down.txt was not sent again"
  json_has "$run/send.json" "\"sent\":0,\"unchanged\":$records"
  json_has "$run/verify.json" '"outcome":"same"'
}
before_differs() {
  "$programs/orlent-cli" --folder "$other" send --no-held --file "$scratch/changed.txt" \
    --pause-ms 0 >/dev/null 2>&1 || fail "the other folder's send failed"
}
after_differs() {
  json_has "$(latest_run)/verify.json" '"outcome":"different"'
}
before_unreachable() {
  "$programs/orlent-cli" --folder "$other" send --no-held --file "$prices" --pause-ms 0 \
    >/dev/null 2>&1 || fail "the other folder's send failed"
  terminal_list 127.0.24.2 127.0.24.3 >"$folder/Orlent.ini"   # nothing listens on .3
}
after_unreachable() {
  run=$(latest_run)
  json_has "$run/send.json" '"address":"127.0.24.3","outcome":"connect failed'
  json_has "$run/verify.json" '"address":"127.0.24.2","outcome":"same"'
}
before_refused() {
  printf '1\tnot a number\r\n' >"$folder/incoming/bad.txt"
}
after_refused() {
  [ ! -e "$folder/incoming/bad.txt" ] || fail "the refused file was left in incoming"
  [ -f "$(latest_run)/bad.txt" ] || fail "the refused file was not kept in its run folder"
  cmp -s "$folder/PLU-Down.txt" "$prices" || fail "a refused file replaced PLU-Down.txt"
}
before_nothing() {
  rm "$folder/PLU-Down.txt"
  runs_before=$(find "$folder/runs" -mindepth 1 -maxdepth 1 | wc -l)
}
after_nothing() {
  [ "$(find "$folder/runs" -mindepth 1 -maxdepth 1 | wc -l)" -eq "$runs_before" ] ||
    fail "a run with nothing to send left a run folder"
  grep -q 'nothing to send' "$scratch/nothing.out" || fail "the run did not say why it failed"
}

while read -r name status; do
  echo "- $name: exits $status"
  "before_$name"
  got=0
  "$programs/orlent-nightly" "$folder" --pause-ms 0 >"$scratch/$name.out" 2>&1 || got=$?
  [ "$got" -eq "$status" ] || fail "$name exited $got, not $status: $(cat "$scratch/$name.out")"
  "after_$name"
done <<'TABLE'
taken 0
again 0
differs 1
unreachable 1
refused 2
nothing 2
TABLE
echo "Each nightly run ended as it should."
