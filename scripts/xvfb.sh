# Sourced by the scripts: starts a virtual X display when none is set and
# stops it when the script exits.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 91 130); do
    [ -e "/tmp/.X$n-lock" ] || { orveline_display=":$n"; break; }
  done
  Xvfb "$orveline_display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  orveline_xvfb_pid=$!
  export DISPLAY=$orveline_display
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${orveline_display#:}" ] && break
    sleep 0.1
  done
  trap 'kill $orveline_xvfb_pid 2>/dev/null || true' EXIT
fi
