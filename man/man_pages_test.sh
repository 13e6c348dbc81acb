#!/usr/bin/env bash
# The built manual pages render without a warning, and keep up with the
# programs: orlent-cli's page has a part for every command its --help lists,
# each naming every option of that command's --help and none it lacks;
# orlent-termsim's page names every option of its --help and none it lacks.
#   man_pages_test.sh ORLENT-CLI ORLENT-TERMSIM PAGE.1.gz...
set -euo pipefail
cli=$1 termsim=$2
shift 2
declare -A page
for file in "$@"; do page[$(basename "$file" .1.gz)]=$file; done
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for name in orlent orlent-cli orlent-termsim; do
  [ -f "${page[$name]:-}" ] || { fail "no page built for $name"; continue; }
  warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man -E UTF-8 --warnings -l "${page[$name]}" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$name(1) renders with warnings: $warnings"
done
[ "$failures" -eq 0 ] || exit 1

# The options a --help lists ("  -h,--help", "  --kind TEXT ..."), and its commands.
options_of() { sed -nE 's/^  (-[a-zA-Z],)?(--[a-z0-9-]+).*/\2/p'; }
commands_of() { sed -n '/^Subcommands:/,/^$/p' | sed -nE 's/^  ([a-z][a-z0-9-]*) .*/\1/p'; }

# The roff of one part of a page: from its heading line to the next heading.
part() { zcat "$1" | awk -v heading="$2" '$0 == heading { on = 1; next } /^\.S[HS] / { on = 0 } on'; }
# The options a part of a page sets in bold.
bold_options() { grep -oE '\\fB--[a-z0-9-]+' | sed 's/^\\fB//' | sort -u; }
names() { grep -qE -- "(^|[^a-z0-9-])$1([^a-z0-9-]|\$)"; }

# Checks that `text` names each of `options` and sets no other option in bold.
check_part() {
  local where=$1 text=$2 options=$3 option
  [ -n "$text" ] || { fail "$where: no such part in the page"; return; }
  for option in $options; do
    names "$option" <<<"$text" || fail "$where does not name $option"
  done
  for option in $(bold_options <<<"$text"); do
    grep -qxF -- "$option" <<<"$options" || fail "$where names $option, which the program lacks"
  done
}

# One command of orlent-cli (none: the program itself), then each of its commands.
check_command() {
  local help options heading sub
  help=$("$cli" "$@" --help)
  options=$(options_of <<<"$help")
  if [ $# -eq 0 ]; then
    heading=".SH GLOBAL OPTIONS"
  else
    heading=".SS $*"
    options=$(grep -vx -- --help <<<"$options" || true)
  fi
  check_part "orlent-cli(1) '$heading'" "$(part "${page[orlent-cli]}" "$heading")" "$options"
  for sub in $(commands_of <<<"$help"); do check_command "$@" "$sub"; done
}
[ -n "$(commands_of < <("$cli" --help))" ] || fail "orlent-cli --help lists no commands"
check_command

termsim_options=$("$termsim" --help | options_of)
check_part "orlent-termsim(1) OPTIONS" \
  "$(part "${page[orlent-termsim]}" ".SH OPTIONS"; part "${page[orlent-termsim]}" ".SH FAULT OPTIONS")" \
  "$termsim_options"

[ "$failures" -eq 0 ] || exit 1
echo "The pages render cleanly and name every command and option."
