#!/usr/bin/env bash
# Checks that a module loads none of the named DLLs at start: they may appear among its delay-load
# imports only.
#   check-imports.sh <objdump> <module> <dll>...
set -u
objdump=$1 module=$2; shift 2
# Only the ordinary import table: objdump lists the delay-load table under its own heading.
loaded=$("$objdump" -p "$module" | awk '/^The Import Tables/ {on=1} /[Dd]elay/ {on=0} on && /DLL Name:/ {print tolower($3)}')
fail=0
for dll in "$@"; do
  if echo "$loaded" | grep -qx "$(echo "$dll" | tr 'A-Z' 'a-z')"; then
    echo "$module: $dll is loaded at start; it should be delay-loaded"
    fail=1
  fi
done
exit $fail
