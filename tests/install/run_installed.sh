# Shared by the install tests (sourced): runs the installed programs of
# PREFIX with every user folder pointed into WORK, then checks a tarvix-cli
# round trip on the shipped init sound.
#   run_installed PREFIX WORK
run_installed() {
  prefix=$1 work=$2
  mkdir -p "$work/home" "$work/cwd" "$work/out" "$work/runtime"
  chmod 700 "$work/runtime"
  export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
         XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime" \
         QT_QPA_PLATFORM=offscreen
  # An autoload file that does not exist: reading it fails, and the failure
  # lands in the log, which shows where the settings were read from and
  # where the log is written.
  mkdir -p "$XDG_CONFIG_HOME/tarvix"
  printf '[Globals]\nAutoloadfile=%s\n' "$work/missing-bank.syx" > "$XDG_CONFIG_HOME/tarvix/waldorf_blofeld.ini"
  (cd "$work/cwd" && timeout 120 "$prefix/bin/tarvix" --quit-after-start) || fail "tarvix --quit-after-start failed"
  test -f "$XDG_STATE_HOME/tarvix/blofeld.log" || fail "no log in \$XDG_STATE_HOME/tarvix"
  grep -q missing-bank "$XDG_STATE_HOME/tarvix/blofeld.log" || fail "the log does not name the autoload file"
  test -d "$XDG_DATA_HOME/tarvix" || fail "no \$XDG_DATA_HOME/tarvix"
  test -z "$(ls -A "$work/cwd")" || fail "tarvix wrote into its working folder: $(ls -A "$work/cwd")"

  cli="$prefix/bin/tarvix-cli"
  (cd "$work/cwd" &&
    "$cli" --help >/dev/null &&
    "$cli" list "$prefix/share/tarvix/_initsound.syx" | grep -q Init &&
    "$cli" params "$prefix/share/tarvix/_initsound.syx" --json >"$work/out/before.json" &&
    "$cli" syx2mid "$prefix/share/tarvix/_initsound.syx" "$work/out/init.mid" &&
    "$cli" mid2syx "$work/out/init.mid" "$work/out/init.syx" &&
    "$cli" params "$work/out/init.syx" --json >"$work/out/after.json") || fail "tarvix-cli round trip failed"
  # Every parameter and the name survive (the checksum byte may be renewed).
  cmp -s "$work/out/before.json" "$work/out/after.json" || fail "the round trip changed the sound"
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
