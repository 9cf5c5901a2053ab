#!/usr/bin/env bash
# wayland.sh PROGRAM SECONDS: the full-screen saver under a headless sway at
# 1920x1080 showing a picture, measured from outside through the requests the
# program sends (WAYLAND_DEBUG): the time from its start to the first buffer
# after the photograph, frames per second unpaced (BRITTLEVIEW_SWAP_INTERVAL=0)
# for the defaults and Wave1, and, paced by the compositor, processor time per
# second and peak memory. One JSON line per case. Runs sway and the program as
# "nobody" when run as root; ends what it started, by PID.
set -euo pipefail
bv=$1
seconds=${2:-5}
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
chmod 711 "$work"
mkdir -p "$work/run" "$work/.config/brittleview"
cp "$bv" "$work/brittleview"
chmod 755 "$work/brittleview"
convert -size 960x540 xc:red xc:lime +append \( -size 960x540 xc:blue xc:yellow +append \) -append \
  "$work/desktop.png"
chmod 644 "$work/desktop.png"
printf '%s\n' "output HEADLESS-1 resolution 1920x1080 bg $work/desktop.png stretch" \
  "xwayland disable" >"$work/sway.conf"
as_user=(env)
if [ "$(id -u)" = 0 ]; then
  chown -R nobody:nogroup "$work/run" "$work/.config"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env)
fi
chmod 700 "$work/run"
as_user+=(-i PATH=/usr/bin:/bin HOME="$work" XDG_CONFIG_HOME="$work/.config" XDG_RUNTIME_DIR="$work/run")
"${as_user[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -S "$work/run/wayland-1" ] && break
  sleep 0.1
done
as_user+=(WAYLAND_DISPLAY=wayland-1)
sleep 2 # the background is drawn

# settings NAME: the saved settings of a case (the defaults, or Wave1's values).
settings() {
  local file=$work/.config/brittleview/settings.reg
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\n' >"$file"
  if [ "$1" = Wave1 ]; then
    paste -d= <(printf '"%s"\n' x_div y_div Mode xyAmplitude xyFrequency1 xyFrequency2 \
      enableMovement rotX0 rotX1 rotY0 rotY1 rotZ0 rotZ1 zoom0 zoom1) \
      <(printf 'dword:%08x\n' 80 60 1 50 30 30 1 10 30 10 25 45 20 25 20) >>"$file"
  fi
  [ "$(id -u)" = 0 ] && chown nobody:nogroup "$file"
  return 0
}

# now_ms: the clock of WAYLAND_DEBUG's time stamps (microseconds, 32 bits) in ms.
now_ms() { echo $((($(date +%s%6N) & 0xffffffff) / 1000)); }

# run CASE [ENV...]: runs the saver for 1 + SECONDS s with its requests logged;
# sets START_MS, PID's processor ticks over the last SECONDS s and its peak memory.
run() {
  local name=$1 ticks0
  shift
  settings "$name"
  START_MS=$(now_ms)
  "${as_user[@]}" WAYLAND_DEBUG=1 "$@" "$work/brittleview" /s 2>"$work/log" &
  local pid=$!
  pids+=("$pid")
  sleep 1
  ticks0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep "$seconds"
  TICKS=$(($(awk '{print $14 + $15}' "/proc/$pid/stat") - ticks0))
  PEAK_MB=$(awk '/VmHWM/{printf "%.1f", $2 / 1024}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" || true
}

# frames_per_second: buffers attached per second over the last SECONDS s.
frames_per_second() {
  awk -v s="$seconds" -F'[][]' '/-> wl_surface@[0-9]+\.attach\(wl_buffer/ { t[n++] = $2 }
    END { if (n < 2) { print "null"; exit } last = t[n - 1]; c = 0
          for (i = 0; i < n; i++) if (t[i] > last - s * 1000) c++
          printf "%.1f", c / s }' "$work/log"
}

run defaults BRITTLEVIEW_SWAP_INTERVAL=0
first=$(grep -m1 -E '^\[.*-> wl_surface@[0-9]+\.attach\(wl_buffer' "$work/log" | sed 's/^\[ *\([0-9]*\).*/\1/')
printf '{"case":"wayland-startup","width":1920,"height":1080,"startup_ms":%s}\n' \
  "$([ -n "$first" ] && echo $((first - START_MS)) || echo null)"
printf '{"case":"wayland-defaults","width":1920,"height":1080,"unpaced":true,"fps":%s}\n' \
  "$(frames_per_second)"
run Wave1 BRITTLEVIEW_SWAP_INTERVAL=0
printf '{"case":"wayland-Wave1","width":1920,"height":1080,"unpaced":true,"fps":%s}\n' \
  "$(frames_per_second)"
run defaults
printf '{"case":"wayland-paced","width":1920,"height":1080,"fps":%s,"cpu_ms_per_s":%s,"peak_rss_mb":%s}\n' \
  "$(frames_per_second)" "$((TICKS * 1000 / $(getconf CLK_TCK) / seconds))" "$PEAK_MB"
