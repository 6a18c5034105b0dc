#!/usr/bin/env bash
# Reads the export table of a Windows module and checks it.
#   check-exports.sh <objdump> <module> --exact <expected-list-file>
#       the export names are exactly the names of the list, one per line
#   check-exports.sh <objdump> <module> --plain [required names...]
#       no name carries a decoration (a leading underscore or an @n suffix), and the names given exist
set -u
objdump=$1 module=$2 mode=$3; shift 3
names=$("$objdump" -p "$module" | awk '/^\[Ordinal\/Name Pointer\] Table/{on=1;next} on&&/^\t\[/{print $NF;next} on{on=0}' | sort -u)
fail=0
case "$mode" in
  --exact)
    expected=$(grep -v '^$' "$1" | sort -u)
    missing=$(comm -13 <(echo "$names") <(echo "$expected"))
    extra=$(comm -23 <(echo "$names") <(echo "$expected"))
    [ -n "$missing" ] && { echo "$module: missing exports:"; echo "$missing" | sed 's/^/  /'; fail=1; }
    [ -n "$extra" ] && { echo "$module: unexpected exports:"; echo "$extra" | sed 's/^/  /'; fail=1; }
    ;;
  --plain)
    bad=$(echo "$names" | grep -E '^_|@[0-9]+$' || true)
    [ -n "$bad" ] && { echo "$module: decorated exports:"; echo "$bad" | sed 's/^/  /'; fail=1; }
    for n in "$@"; do
      echo "$names" | grep -qx "$n" || { echo "$module: missing export $n"; fail=1; }
    done
    ;;
  *) echo "usage: check-exports.sh objdump module --exact list | --plain names..."; exit 2 ;;
esac
exit $fail
