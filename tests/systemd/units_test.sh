#!/usr/bin/env bash
# The units of deploy/systemd as systemd reads them: systemd-analyze verify
# finds no error and no warning (an unknown key or a unit it cannot find is
# only a warning, so any word it says fails), with the script's path rewritten
# to the build's program folder; the service keeps its hardening; the timer
# catches up a missed night.
#   units_test.sh SOURCE_DIR PROGRAM_FOLDER
# Exits 77 (skipped) where there is no systemd-analyze.
set -euo pipefail
source_dir=$1/deploy/systemd
programs=$2
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }
command -v systemd-analyze >/dev/null || skip "no systemd-analyze on this machine"

units=$(mktemp -d /tmp/orlent-units-XXXXXX)
trap 'rm -rf "$units"' EXIT
for unit in orlent-nightly.service orlent-nightly.timer orlent-incoming.path \
  orlent-failure-mail@.service; do
  sed "s#/usr/lib/orlent/#$programs/#g" "$source_dir/$unit" >"$units/$unit"
done

echo "- systemd-analyze verify says nothing of the units"
said=$(cd "$units" && systemd-analyze verify --man=no ./*.service ./*.timer ./*.path 2>&1) ||
  fail "systemd-analyze verify failed: $said"
[ -z "$said" ] || fail "systemd-analyze verify: $said"

echo "- each unit says what it needs"
# unit  section  key=value
while read -r unit section setting; do
  sed -n "/^\[$section\]/,/^\[/p" "$units/$unit" | grep -qxF "$setting" ||
    fail "$unit has no $setting in [$section]"
done <<'TABLE'
orlent-nightly.service Service Type=oneshot
orlent-nightly.service Service User=orlent
orlent-nightly.service Service ProtectSystem=strict
orlent-nightly.service Service ReadWritePaths=/var/lib/orlent
orlent-nightly.service Service PrivateTmp=yes
orlent-nightly.service Service NoNewPrivileges=yes
orlent-nightly.service Service Environment=ORLENT_STARTED_BY=timer
orlent-nightly.timer Timer Persistent=true
orlent-nightly.timer Timer Unit=orlent-nightly.service
orlent-incoming.path Path PathExistsGlob=/var/lib/orlent/incoming/*.txt
orlent-incoming.path Path Unit=orlent-nightly.service
TABLE

echo "- the service's exposure stays low, and the network is not shut off"
(cd "$units" && systemd-analyze security --offline=true --threshold=30 --no-pager \
  ./orlent-nightly.service >"$units/security.out" 2>&1) ||
  fail "exposure above 3.0: $(tail -1 "$units/security.out")"
for closed in PrivateNetwork=yes IPAddressDeny=any; do
  ! grep -qx "$closed" "$units/orlent-nightly.service" || fail "the service has $closed"
done
echo "The units are sound."
