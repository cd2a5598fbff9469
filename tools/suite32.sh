# Sourced by test.sh: the shipped 32-bit build under 32-bit Wine through user-mode emulation, in a
# 64-bit prefix and a display of its own (<build>/wine32): first the smoke test (tools/smoke32.sh,
# which also sets the machine up), then the whole suite against build/i686. Tests that cannot run
# under emulation are listed with their reason in tests/skip32.txt and reported as skipped.
# Expects test.sh's root, out, ctest_args and record.

_suite32_skips() {  # the listed names as one ctest regular expression
  sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$root/tests/skip32.txt" | paste -sd'|'
}

run_32bit_parts() {  # smoke|suite, ctest arguments
  local what=$1 part why started skips listed
  shift
  # A hang here must not hold the run.
  set +e
  timeout -k 30 15m "$root/tools/smoke32.sh" "$out" 2>&1 | tee "$out/smoke32.log"
  part=${PIPESTATUS[0]}
  set -e
  why=$(sed -n 's/^32-bit smoke: skipped, //p' "$out/smoke32.log" | tail -1)
  case $part in
    0) record "32-bit smoke" passed ;;
    77) record "32-bit smoke" "skipped ($why)" ;;
    124) record "32-bit smoke" "failed (not finished after 15 minutes)" ;;
    *) record "32-bit smoke" "failed ($part)" ;;
  esac
  [ "$what" = suite ] || return 0
  # Without 32-bit Wine the suite cannot run either, for the same reason.
  if [ $part -eq 77 ]; then
    record "32-bit suite" "skipped ($why)"
    return 0
  fi
  if grep -q '^32-bit smoke: FAILED, cannot set up' "$out/smoke32.log"; then
    record "32-bit suite" "failed (32-bit Wine could not be set up)"
    return 0
  fi

  export TORVEL_WINE=$out/wine32 TORVEL_OWN_XVFB=1
  wine_env_start
  wine_env_reset_folders
  skips=$(_suite32_skips)
  listed=$(ctest --test-dir "$out/i686" -N -R "$skips" "$@" 2>/dev/null | sed -n 's/^Total Tests: //p')
  started=$(date +%s)
  part=0
  ctest --test-dir "$out/i686" "${ctest_args[@]}" --timeout 300 -E "$skips" "$@" || part=$?
  echo "32-bit suite: $(( $(date +%s) - started )) s"
  wine_env_stop
  if [ $part -eq 0 ]; then
    record "32-bit suite" "passed (${listed:-0} tests skipped under emulation, tests/skip32.txt)"
  else
    record "32-bit suite" failed
  fi
}
