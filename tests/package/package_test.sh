#!/usr/bin/env bash
# The installed program as a normal user meets it. Builds the .deb from the
# build folder's install rules (cpack, the programs in /opt/orlent as the
# package lays them out; ORLENT_PACKAGE names a ready .deb instead), unpacks
# it into a throw-away root whose opt/orlent only root may write, and runs the
# command line and the window there as nobody, with a throw-away home.
#   package_test.sh BUILD_DIR [WINDOW_CHECK]
# Exits 77 (skipped) where the machine cannot: not root, no setpriv, dpkg-deb
# or cpack, or a package that cannot be built.
set -euo pipefail
build=$1
window_check=${2:-}
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "running the package's programs as another user needs root"
for tool in setpriv dpkg-deb cpack; do
  command -v "$tool" >/dev/null || skip "no $tool on this machine"
done

scratch=$(mktemp -d /tmp/orlent-package-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"

deb=${ORLENT_PACKAGE:-}
if [ -z "$deb" ]; then
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" \
    -D CPACK_PACKAGING_INSTALL_PREFIX=/opt/orlent >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; skip "the package could not be built here"; }
  deb=$(echo "$scratch"/deb/*.deb)
fi
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "the package's section is not utils"
root=$scratch/root
dpkg-deb -x "$deb" "$root"
chown -R root:root "$root"
chmod -R go-w "$root"
program=$root/opt/orlent
[ -x "$program/orlent-cli" ] || fail "no opt/orlent/orlent-cli in the package"

home=$scratch/home
runtime=$scratch/runtime
mkdir -p "$home" "$scratch/bin" "$runtime"
chown 65534:65534 "$home" "$runtime"
chmod 700 "$runtime"
# Runs a command as nobody in its home, with only the environment a login gives.
as_user() {
  (cd "$home" && setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i HOME="$home" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
    "$@")
}
cli="$program/orlent-cli"
mine=$home/.local/share/orlent

echo "- the command line keeps a terminal list in the per-user folder"
as_user "$cli" terminals add 127.0.0.2 || fail "terminals add exited $?"
as_user "$cli" terminals | grep -qx '1 \[.\] 127\.0\.0\.2' || fail "the entry is not listed"
grep -q 'TerminalIP_1=127\.0\.0\.2' "$mine/Orlent.ini" || fail "no Orlent.ini in $mine"
[ ! -e "$program/Orlent.ini" ] || fail "an Orlent.ini appeared in the program folder"
for folder in "$home/.local" "$home/.local/share" "$mine"; do
  [ "$(stat -c %a "$folder")" = 700 ] || fail "$folder is not private to the user"
done
for sample in "$program"/*.txt; do
  cmp -s "$sample" "$mine/$(basename "$sample")" || fail "$(basename "$sample") was not copied"
done

echo "- a sample the user changed is kept"
printf '1\tMine\r\n' >"$mine/PLU-Down.txt"
as_user "$cli" terminals >/dev/null
[ "$(cat "$mine/PLU-Down.txt")" = "$(printf '1\tMine\r')" ] || fail "the user's file was replaced"

echo "- XDG_DATA_HOME names the folder the per-user folder goes in"
as_user XDG_DATA_HOME="$home/data" "$cli" terminals add 127.0.0.4
grep -q 'TerminalIP_1=127\.0\.0\.4' "$home/data/orlent/Orlent.ini" || fail "not in XDG_DATA_HOME"

echo "- --folder is used as given"
if out=$(as_user "$cli" --folder "$program" terminals add 127.0.0.5 2>&1); then
  fail "an edit of the program folder succeeded"
fi
[ "$out" = "ERROR: Unable to write to $program/Orlent.ini" ] || fail "--folder: $out"

echo "- the help says where the settings live"
"$cli" --help | grep -qF '${XDG_DATA_HOME:-$HOME/.local/share}/orlent' ||
  fail "--help does not name the per-user folder"

echo "- the installed window starts in the per-user folder"
other=$scratch/other-home
mkdir -p "$other"
chown 65534:65534 "$other"
status=0
(cd "$other" && timeout 3 setpriv --reuid=65534 --regid=65534 --clear-groups \
  env -i HOME="$other" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
  "$program/orlent") ||
  status=$?
[ "$status" = 124 ] || fail "the window ended by itself, exit $status"
[ -f "$other/.local/share/orlent/PLU-Down-Default.txt" ] || fail "the window made no user folder"
as_user "$program/orlent" --version | grep -q '^Orlent V' || fail "orlent --version"

if [ -n "$window_check" ]; then
  echo "- the window's edits and upload files land in the per-user folder"
  install -m 755 "$window_check" "$scratch/bin/"
  as_user ORLENT_INSTALLED="$program" "$scratch/bin/$(basename "$window_check")" ||
    fail "the window check failed"
  as_user "$cli" terminals | grep -qx '2 \[x\] 127\.0\.0\.3' || fail "the window's entry is lost"
fi
echo "The installed program works for a normal user."
