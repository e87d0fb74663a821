# Sourced by the scripts that need an X display. start_xvfb starts a virtual
# display and exports DISPLAY; the server itself picks a free display number
# (-displayfd), so runs that start at the same moment cannot both claim one
# number and later stop each other's display. XVFB_PID holds the server's pid.
XVFB_PID=
start_xvfb() {
  local out n=
  out=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out" >/dev/null 2>&1 &
  XVFB_PID=$!
  # The number is written once the server accepts connections.
  for _ in $(seq 100); do
    n=$(head -n1 "$out" 2>/dev/null)
    [ -n "$n" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$out"
  if [ -z "$n" ]; then
    kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=
    echo "could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=":$n"
}
