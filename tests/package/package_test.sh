#!/usr/bin/env bash
# The package as a Debian system administrator and a normal user meet it.
# Builds the .deb from the build folder's install rules (cpack; ORLENT_PACKAGE
# names a ready .deb instead), checks it with lintian, installs it with dpkg
# into a throw-away root whose folders only root may write, and runs the
# programs there through /usr/bin as nobody, with a throw-away home: the
# command line, a send to the simulator on loopback, the window, and the
# manual pages.
#   package_test.sh BUILD_DIR [WINDOW_CHECK]
# Exits 77 (skipped) where the machine cannot: not root, no setpriv, dpkg,
# lintian, man or cpack, or a package that cannot be built.
set -euo pipefail
build=$1
window_check=${2:-}
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "running the package's programs as another user needs root"
for tool in setpriv dpkg dpkg-deb lintian man readelf cpack; do
  command -v "$tool" >/dev/null || skip "no $tool on this machine"
done

scratch=$(mktemp -d /tmp/orlent-package-XXXXXX)
sim=""
finish() {
  [ -z "$sim" ] || kill "$sim" 2>/dev/null || true
  rm -rf "$scratch"
}
trap finish EXIT
chmod 755 "$scratch"

deb=${ORLENT_PACKAGE:-}
if [ -z "$deb" ]; then
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; skip "the package could not be built here"; }
  deb=$(echo "$scratch"/deb/*.deb)
fi
field() { dpkg-deb -f "$deb" "$1"; }

echo "- the package is named and described as Debian names and describes packages"
[ "$(basename "$deb")" = "$(field Package)_$(field Version)_$(field Architecture).deb" ] ||
  fail "$(basename "$deb") is not named package_version_architecture.deb"
[ "$(field Section)" = utils ] || fail "the package's section is not utils"
[ "$(field Description | wc -l)" -gt 3 ] || fail "the package has no extended description"
field Depends | grep -q 'libc6' || fail "the package's Depends were not computed"
field Depends | grep -q 'libsqlite3-0' || fail "the package does not depend on SQLite's library"

echo "- lintian finds no error and no warning"
pages=$(dpkg-deb -c "$deb" | grep -c 'usr/share/man/man1/.*\.1\.gz$' || true)
suppressed=()
if [ "$pages" -eq 0 ]; then
  echo "  this package has no manual pages (built without ORLENT_WITH_MAN): lintian's" \
    "no-manual-page is not counted, and the pages are not shown below"
  suppressed=(--suppress-tags no-manual-page)
fi
status=0
lintian --fail-on error,warning --tag-display-limit 0 "${suppressed[@]}" "$deb" \
  >"$scratch/lintian.out" 2>&1 || status=$?
grep -v 'running with root privileges' "$scratch/lintian.out" || true
[ "$status" -eq 0 ] || fail "lintian found errors or warnings, exit $status"

root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
# The throw-away root holds no shell for the postinst, which makes the
# system user orlent and /var/lib/orlent: dpkg unpacks the package and leaves
# it unconfigured.
dpkg --root="$root" --force-depends --unpack "$deb" >"$scratch/dpkg.log" 2>&1 ||
  { cat "$scratch/dpkg.log"; fail "dpkg could not unpack the package"; }
chmod -R go-w "$root"
program=$root/usr/lib/orlent
samples=$root/usr/share/orlent
bin=$root/usr/bin
for name in orlent-cli orlent-termsim libtermlink.so; do
  [ -f "$program/$name" ] || fail "no usr/lib/orlent/$name in the package"
done

echo "- the nightly update's units, user and folder are there, and nothing is enabled"
for name in lib/orlent/orlent-nightly lib/systemd/system/orlent-nightly.service \
  lib/systemd/system/orlent-nightly.timer lib/systemd/system/orlent-incoming.path \
  lib/sysusers.d/orlent.conf lib/tmpfiles.d/orlent.conf; do
  [ -f "$root/usr/$name" ] || fail "no usr/$name in the package"
done
[ -x "$program/orlent-nightly" ] || fail "orlent-nightly is not executable"
[ ! -e "$root/etc/systemd" ] || fail "the package enables units: $(find "$root/etc/systemd")"
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./postinst >"$scratch/postinst"
! grep -q systemctl "$scratch/postinst" || fail "the postinst calls systemctl"
mkdir -p "$root/etc"
grep '^root:' /etc/passwd >"$root/etc/passwd"
grep '^root:' /etc/group >"$root/etc/group"
DPKG_ROOT=$root sh "$scratch/postinst" configure >"$scratch/postinst.out" 2>&1 ||
  { cat "$scratch/postinst.out"; fail "the postinst failed"; }
user=$(sed -n 's/^orlent:x:\([0-9]*\):\1:.*/\1/p' "$root/etc/passwd")
[ -n "$user" ] || fail "the postinst made no user orlent with a group of its own"
for made in "2775 ." "2775 incoming" "2775 runs" "2775 logs" "664 Orlent.ini" \
  "664 Orlent.ini.lock" "664 Orlent.db"; do
  [ "$(cd "$root/var/lib/orlent" && stat -c "%a %u:%g %n" "${made#* }" 2>&1)" = \
    "${made% *} $user:$user ${made#* }" ] ||
    fail "the postinst did not make /var/lib/orlent/${made#* } orlent's with mode ${made% *}"
done

if [ -z "${ORLENT_PACKAGE:-}" ]; then
  echo "- the debug symbols of each program are in orlent-dbgsym"
  ddeb=$(echo "$scratch"/deb/*-dbgsym_*.ddeb)
  [ -f "$ddeb" ] || fail "no -dbgsym package was made"
  dpkg-deb -c "$ddeb" >"$scratch/dbgsym.list"
  for elf in "$program"/*; do
    [ "$(basename "$elf")" != orlent-nightly ] || continue  # a script, no debug symbols
    id=$(readelf -n "$elf" | sed -n 's/.*Build ID: //p')
    grep -q "usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" "$scratch/dbgsym.list" ||
      fail "orlent-dbgsym lacks the debug symbols of $(basename "$elf")"
  done
fi

home=$scratch/home
runtime=$scratch/runtime
mkdir -p "$home" "$scratch/bin" "$runtime" "$scratch/terminals"
chown 65534:65534 "$home" "$runtime" "$scratch/terminals"
chmod 700 "$runtime"
# Runs a command as nobody in its home, with only the environment a login gives.
as_user() {
  (cd "$home" && exec setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i HOME="$home" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
    "$@")
}
cli="$bin/orlent-cli"
mine=$home/.local/share/orlent

echo "- the command line, through /usr/bin, keeps a terminal list in the per-user folder"
as_user "$cli" terminals add 127.0.0.2 || fail "terminals add exited $?"
as_user "$cli" terminals | grep -qx '1 \[.\] 127\.0\.0\.2' || fail "the entry is not listed"
grep -q 'TerminalIP_1=127\.0\.0\.2' "$mine/Orlent.ini" || fail "no Orlent.ini in $mine"
[ ! -e "$program/Orlent.ini" ] || fail "an Orlent.ini appeared in the program folder"
for folder in "$home/.local" "$home/.local/share" "$mine"; do
  [ "$(stat -c %a "$folder")" = 700 ] || fail "$folder is not private to the user"
done
for sample in "$samples"/*.txt; do
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
as_user "$cli" --help | grep -qF '${XDG_DATA_HOME:-$HOME/.local/share}/orlent' ||
  fail "--help does not name the per-user folder"

echo "- a new user sends the administrator's list in etc/orlent to the simulator"
(cd "$scratch/terminals" && exec setpriv --reuid=65534 --regid=65534 --clear-groups \
  env -i PATH=/usr/bin:/bin "$bin/orlent-termsim" --store "$scratch/terminals" \
  --listen 127.0.0.6:0 >"$scratch/sim.out" 2>"$scratch/sim.err") &
sim=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^listening 127\.0\.0\.6://p' "$scratch/sim.out")
  [ -n "$port" ] && break
  kill -0 "$sim" 2>/dev/null || { cat "$scratch/sim.err"; fail "the simulator did not start"; }
  sleep 0.1
done
[ -n "$port" ] || fail "the simulator did not say its port"
mkdir -p "$root/etc/orlent"
printf '[Terminal]\r\nTerminalPort=%s\r\nTerminalNums=1\r\nTerminalIP_1=127.0.0.6\r\nTerminalChecked_1=1\r\n' \
  "$port" >"$root/etc/orlent/Orlent.ini"
plus=$(grep -vc '^;' "$samples/PLU-Down-Default.txt")
as_user XDG_DATA_HOME="$home/shop" "$cli" send --pause-ms 0 >"$scratch/send.out" 2>&1 ||
  { cat "$scratch/send.out"; fail "the send exited $?"; }
grep -qx -- "- Complete Send Plu (Total : $plus)" "$scratch/send.out" ||
  { cat "$scratch/send.out"; fail "the send did not complete"; }
kill "$sim" && wait "$sim" 2>/dev/null || true
sim=""
stored=$("$bin/orlent-termsim" --dump 127.0.0.6 --store "$scratch/terminals" --kind plu | wc -l)
[ "$stored" -eq "$plus" ] || fail "the simulator stored $stored PLUs of $plus"

echo "- the installed window starts in the per-user folder"
other=$scratch/other-home
mkdir -p "$other"
chown 65534:65534 "$other"
status=0
(cd "$other" && timeout 3 setpriv --reuid=65534 --regid=65534 --clear-groups \
  env -i HOME="$other" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
  "$bin/orlent") ||
  status=$?
[ "$status" = 124 ] || fail "the window ended by itself, exit $status"
[ -f "$other/.local/share/orlent/PLU-Down-Default.txt" ] || fail "the window made no user folder"
as_user "$bin/orlent" --version | grep -q '^Orlent V' || fail "orlent --version"
grep -qx 'Exec=orlent' "$root/usr/share/applications/orlent.desktop" ||
  fail "the desktop entry does not start orlent from the PATH"

echo "- the window started with --folder works in that folder, its files group-writable"
shared=$scratch/shared
mkdir -p "$shared" "$scratch/third-home"
chown 65534:65534 "$shared" "$scratch/third-home"
status=0
(cd "$scratch/third-home" && umask 022 && timeout 3 setpriv --reuid=65534 --regid=65534 \
  --clear-groups env -i HOME="$scratch/third-home" PATH=/usr/bin:/bin \
  XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen "$bin/orlent" --folder "$shared") ||
  status=$?
[ "$status" = 124 ] || fail "the window on --folder ended by itself, exit $status"
[ "$(stat -c %a "$shared/Orlent.ini.lock" 2>&1)" = 664 ] ||
  fail "the window's lock file in --folder: $(ls -l "$shared")"
[ ! -e "$scratch/third-home/.local" ] || fail "the window on --folder made a per-user folder"

if [ -n "$window_check" ]; then
  echo "- the window's edits and upload files land in the per-user folder"
  install -m 755 "$window_check" "$scratch/bin/"
  as_user ORLENT_INSTALLED="$program" "$scratch/bin/$(basename "$window_check")" ||
    fail "the window check failed"
  as_user "$cli" terminals | grep -qx '2 \[x\] 127\.0\.0\.3' || fail "the window's entry is lost"
fi

if [ "$pages" -gt 0 ]; then
  echo "- each program on the PATH has a manual page that man shows"
  for link in "$bin"/*; do
    name=$(basename "$link")
    page=$root/usr/share/man/man1/$name.1.gz
    [ -f "$page" ] || fail "no manual page for $name"
    MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "^NAME" || fail "man -l $page shows no NAME"
  done
  MANWIDTH=80 man -M "$root/usr/share/man" orlent-cli 2>/dev/null | grep -q "orlent-cli" ||
    fail "man orlent-cli does not find the page"
fi
echo "The installed package works for a normal user."
