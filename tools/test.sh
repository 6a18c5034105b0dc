#!/usr/bin/env bash
# Installs what is missing, checks the host's layers, builds both targets (each link checks its export table) and runs
# every test under 64-bit Wine and Xvfb: each test in its own process and, beside them, each test program whole in
# shuffled order.
# Prints how long each stage took. OVRIN_TEST_SEED fixes the shuffle (the seed is printed).
set -eu
cd "$(dirname "$0")/.."

stage_times=""
trap '[ -z "$stage_times" ] || printf "\nstage times:\n%b" "$stage_times"' EXIT
stage() { # <name> <command> [args...]: runs one stage and notes how long it took
  local name=$1 start=$SECONDS rc=0
  shift
  echo "=== $name"
  "$@" || rc=$?
  stage_times+="  $name: $((SECONDS - start)) s$([ $rc -eq 0 ] || echo " (failed)")\n"
  return $rc
}

# Every test program run once as a whole: all its tests in one process, in an order shuffled by a
# printed seed, so a test that leans on what an earlier one left behind fails. Each program has a
# display and prefix of its own, so they run side by side, and beside the tests in their own processes.
declare -A whole_pid
whole_seed=${OVRIN_TEST_SEED:-$((RANDOM % 99999 + 1))}
start_whole() {
  local seed=$whole_seed tree=$PWD/build/x86_64 exe name
  echo "shuffle seed: $seed (OVRIN_TEST_SEED=$seed repeats this order)"
  for exe in tests/ovrin_unit.exe testhost/ovrin.exe; do
    name=${exe//\//-}
    # No debugger on a crash: the run ends at once and the output shows the test that was running.
    (cd "$tree/tests" && OVRIN_WINE_STATE="$tree/wine-whole-$name" OVRIN_WINE_TEMPLATE="$tree/wine-template" \
      WINEDLLOVERRIDES="winedbg.exe=d" \
      timeout 1200 "$tree/../../cmake/wine-run.sh" - "$tree/$exe" --gtest_shuffle --gtest_random_seed="$seed" \
      >"$tree/whole-$name.log" 2>&1) &
    whole_pid[$exe]=$!
  done
}
check_whole() {
  local tree=$PWD/build/x86_64 rc=0 exe name seed=$whole_seed
  for exe in tests/ovrin_unit.exe testhost/ovrin.exe; do
    name=${exe//\//-}
    # The log decides too: Wine has been seen to end a failed run with status 0.
    if wait "${whole_pid[$exe]}" && grep -qa '^\[  PASSED  \]' "$tree/whole-$name.log" &&
       ! grep -qa '^\[  FAILED  \]' "$tree/whole-$name.log"; then
      echo "$exe: $(grep -a '^\[  PASSED  \]' "$tree/whole-$name.log")"
    else
      rc=1
      echo "$exe failed with seed $seed (whole output in build/x86_64/whole-$name.log):"
      grep -a '^\[  FAILED  \]' "$tree/whole-$name.log" || tail -n 20 "$tree/whole-$name.log"
    fi
  done
  return $rc
}

# Whatever Wine servers and displays the tests started end with the run.
stop_wine() {
  local state
  for state in build/x86_64/wine build/x86_64/wine-* build/x86_64/e2e-state/*; do
    [ -d "$state" ] && cmake/wine-run.sh --stop "$state"
  done
  return 0
}

# The host keeps its layers: every include (resolved with the build's flags) and every call points
# down. The check reads the 64-bit tree only, so it runs while the 32-bit tree builds.
start_layers() {
  python3 tools/check-layers.py --symbols >build/layers.log 2>&1 &
  layers_pid=$!
}
check_layers() {
  local rc=0
  wait "$layers_pid" || rc=$?
  cat build/layers.log
  return $rc
}

# The tests' Wine prefix template, the shared prefix, display and server are made while the 32-bit
# tree builds: otherwise the first test's start makes them while the others wait.
start_prefix() {
  OVRIN_WINE_TEMPLATE=$PWD/build/x86_64/wine-template cmake/wine-run.sh build/x86_64/wine cmd /c exit \
    >build/prefix.log 2>&1 &
  prefix_pid=$!
}

stage deps tools/deps.sh
stage build-x86_64 tools/build.sh x86_64
start_layers
start_prefix
stage build-i686 tools/build.sh i686
stage layers check_layers
rc=0
wait "$prefix_pid" || cat build/prefix.log # a failure here shows again in the tests
start_whole
stage tests bash -c 'cd build/x86_64 && ctest --output-on-failure -j "$(nproc)" --timeout 300' || rc=1
stage whole check_whole || rc=1
stage stop stop_wine
exit $rc
