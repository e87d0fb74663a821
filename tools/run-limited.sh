# Sourced by the test scripts that run Windows programs under Wine.
# run_limited SECONDS OUTFILE COMMAND...: runs COMMAND in a process group of
# its own with its output in OUTFILE; after SECONDS the whole group (the Unix
# side of a Windows program included) is killed, "timed out after Ns" is
# appended to OUTFILE and the status is 124. Otherwise the status is
# COMMAND's.
run_limited() {
  local limit=$1 out=$2; shift 2
  setsid "$@" >"$out" 2>&1 &
  local pid=$! waited=0
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$waited" -ge $((limit * 10)) ]; then
      kill -KILL -- "-$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      echo "timed out after ${limit}s" >>"$out"
      return 124
    fi
    sleep 0.1; waited=$((waited + 1))
  done
  wait "$pid"
}
