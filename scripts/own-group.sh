# Sourced first by the README's two commands. The command runs again as a process
# group of its own, in the background, and this shell only waits for it: a shell
# runs its traps only once its foreground child has ended, so a TERM or an INT to
# this process (a supervisor's, CI's or timeout's stop) could otherwise wait for a
# whole build or test run. Either one ends the group as a Ctrl+C to it would.
if [ -z "${TESSALY_OWN_GROUP:-}" ]; then
  group=""
  stop_group() {
    if [ -n "$group" ]; then
      kill -INT -"$group" 2>/dev/null || true
      # The run's own traps end its Wine prefixes and displays; then the group is gone.
      i=0
      while kill -0 -"$group" 2>/dev/null && [ $i -lt 300 ]; do
        sleep 0.1
        i=$((i + 1))
      done
    fi
    exit "$1"
  }
  trap 'stop_group 130' INT
  trap 'stop_group 143' TERM
  # A background command starts with INT ignored, which its shell could not trap.
  TESSALY_OWN_GROUP=1 env --default-signal=INT setsid sh "$0" "$@" &
  group=$!
  status=0
  wait "$group" || status=$?
  exit "$status"
fi
