#!/bin/bash
# Runs the application (first argument) on a network file (second argument) for a user whose home
# cannot be written, on the current display: a print from the command line, and a session ended
# as the desktop ends it. Each ends by itself with its usual exit status and says in one line on
# the standard error stream what it could not write. Regression: the profile's write at exit
# showed a box, on which a print waited for good and after which the application crashed.
korvane=$1
network=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A home below a regular file: nothing can be made in it, not even by root, whom permissions
# do not stop.
: >"$work/file"
home=$work/file/home
failed=0

user=(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" CUPS_SERVER="$work/no-print-system")

# expect WHAT STATUS EXPECTED-STATUS EXPECTED-LINE...: the status and the whole standard error.
expect() {
  local what=$1 status=$2 wanted=$3
  shift 3
  local said
  said=$(cat "$work/said")
  local lines
  lines=$(printf '%s\n' "$@")
  if [ "$status" != "$wanted" ] || [ "$said" != "$lines" ]; then
    printf '%s: exit status %s (expected %s); it said:\n%s\nexpected:\n%s\n' \
      "$what" "$status" "$wanted" "$said" "$lines" >&2
    failed=1
  fi
}

registration="korvane: the .mc file type is not registered with the desktop: Cannot create \"$home/.local/share/mime/packages\": Not a directory"
profile="korvane: the recent-file list is not saved: Cannot create \"$home/.config\": Not a directory"

# Without a printer the print fails; a box would hold it until the timeout.
"${user[@]}" timeout 120 "$korvane" /p "$network" 2>"$work/said"
expect "/p" $? 1 "$registration" "korvane: cannot print $network: there is no printer" "$profile"

# The end of the session once the application has taken over SIGTERM (after its window shows).
running() {
  [ -e "/proc/$pid" ] && ! grep -q '^State:.*zombie' "/proc/$pid/status"
}

# Waits up to 2 minutes for CONDITION; a process still running then is killed.
await() {
  local tries=0
  until eval "$1"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 1200 ]; then
      echo "gave up waiting for: $1" >&2
      kill -KILL "$pid" 2>/dev/null
      return 1
    fi
    sleep 0.1
  done
}

"${user[@]}" "$korvane" -Embedding "$network" 2>"$work/said" &
pid=$!
await '! running || [ $((0x$(awk "/^SigCgt/ {print \$2}" /proc/$pid/status 2>/dev/null || echo 0) & 0x4000)) -ne 0 ]'
kill -TERM "$pid"
await '! running'
wait "$pid"
status=$?
expect "end of session" $status 0 "$registration" "$profile"
exit $failed
