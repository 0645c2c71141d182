#!/usr/bin/env bash
# The package on a clean machine. Builds it (scripts/package.sh), makes a
# fresh Debian 12 tree (debootstrap --variant=minbase bookworm, with the
# Debian mirror this machine uses), installs the package there with
# "apt-get install ./quillan_*.deb" (its dependencies from the archive),
# starts quillan on a virtual display (Xvfb) as a fresh officer whose desktop
# is a Chinese one (~/文档, ~/桌面), saves a record through the real window
# (keys typed with xdotool, as an officer types them), finds it in
# ~/文档/Quillan/BL, then purges the package and checks that none of its
# files is left. Writes docs/package-check.log and docs/package-check.png;
# exits non-zero when a step fails.
#
# Not part of the everyday test run: it needs root, the network and about
# 15 minutes. The tree is made in $QUILLAN_CHECK_DIR (default: the folder
# pkg-chroot beside the repository), entered with chroot in a mount
# namespace of its own (fresh /proc, /sys, /dev, /dev/shm and /run) and kept
# afterwards for a look. QUILLAN_PACKAGE=<file.deb> checks that package
# instead of building one.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

CHECK_DIR="${QUILLAN_CHECK_DIR:-$(cd "$QUILLAN_ROOT/.." && pwd)/pkg-chroot}"
R="$CHECK_DIR/root"
LOG="$QUILLAN_ROOT/docs/package-check.log"
SHOT="$QUILLAN_ROOT/docs/package-check.png"
OFFICER=officer

# ------------------------------------------------------------ in the tree --
# Run by the outer part below in a mount namespace of its own: every mount
# goes when the namespace ends.

say() { printf '%s\n' "$*" | tee -a "$LOG"; }
now() { date +%s.%N; }
secs() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }

in_root() {
  chroot "$R" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}
# The officer's own programs, started directly: chroot --userspec execs them,
# so that in the background (start_as_officer) the process id is the
# program's own.
officer_command() {
  OFFICER_COMMAND=(chroot --userspec="$OFFICER:$OFFICER" "$R" /usr/bin/env -i PATH=/usr/bin:/bin
    HOME="/home/$OFFICER" USER="$OFFICER" LOGNAME="$OFFICER" LANG=zh_CN.UTF-8
    XDG_RUNTIME_DIR="/run/user/$OFFICER_UID" DISPLAY="${DISPLAY_NAME:-}" "$@")
}
as_officer() {
  officer_command "$@"
  "${OFFICER_COMMAND[@]}"
}
# start_as_officer <output file> <command...>; $! is then the program's id.
start_as_officer() {
  local out="$1"
  shift
  officer_command "$@"
  (exec "${OFFICER_COMMAND[@]}" >"$out" 2>&1) &
}
xdo() { as_officer xdotool "$@"; }

# The first visible window whose title matches the regular expression.
wait_window() {
  local pattern="$1" seconds="$2" id=""
  local end=$((SECONDS + seconds))
  while [ "$SECONDS" -lt "$end" ]; do
    id="$(xdo search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)"
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}
window_names() {
  local id
  for id in $(xdo search --onlyvisible --name . 2>/dev/null || true); do
    echo "  window $id: $(xdo getwindowname "$id" 2>/dev/null || true)"
  done
}
shoot() {
  local geometry="$1"
  as_officer import -window root ${geometry:+-crop "$geometry"} /tmp/shot.png
  cp "$R/tmp/shot.png" "$SHOT"
}

inside() {
  local deb="$1"
  mount -t proc proc "$R/proc"
  mount -t sysfs -o ro sysfs "$R/sys"
  mount -t devtmpfs devtmpfs "$R/dev"
  mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$R/dev/pts"
  mount -t tmpfs -o mode=1777 shm "$R/dev/shm"
  mount -t tmpfs -o mode=0755 run "$R/run"
  cp /etc/resolv.conf "$R/etc/resolv.conf"

  local name
  name="$(basename "$deb")"
  cp "$deb" "$R/tmp/$name"
  chmod 0644 "$R/tmp/$name"
  in_root apt-get update -qq >>"$CHECK_DIR/apt.log" 2>&1

  say "== apt-get install ./$name (dependencies from the archive)"
  local t0 t1
  t0="$(now)"
  if ! in_root bash -c "cd /tmp && apt-get install -y ./$name" >"$CHECK_DIR/install.log" 2>&1; then
    tail -n 30 "$CHECK_DIR/install.log" | tee -a "$LOG"
    say "FAILED: the package did not install"
    return 1
  fi
  t1="$(now)"
  grep -E '^(Need to get|After this operation)|newly installed' "$CHECK_DIR/install.log" | tee -a "$LOG"
  say "installed in $(secs "$t0" "$t1") s"
  in_root dpkg -L quillan >"$CHECK_DIR/package-files"
  say "the package's files:"
  in_root bash -c 'dpkg -L quillan | while read -r f; do [ -d "$f" ] || echo "  $f"; done' | tee -a "$LOG"
  say "quillan --version: $(in_root env -u DISPLAY quillan --version)"

  # What the check needs besides (not part of the package): the virtual
  # display, xdotool, a screenshot, the Chinese locale of the desktop.
  in_root apt-get install -y -qq --no-install-recommends xvfb xauth xdotool x11-utils imagemagick locales \
    >>"$CHECK_DIR/apt.log" 2>&1
  in_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  in_root locale-gen >>"$CHECK_DIR/apt.log" 2>&1

  # A fresh officer with the folders a Chinese desktop's xdg-user-dirs makes.
  in_root useradd -m -s /bin/bash "$OFFICER"
  OFFICER_UID="$(in_root id -u "$OFFICER")"
  install -d -m 0700 -o "$OFFICER_UID" -g "$OFFICER_UID" "$R/run/user/$OFFICER_UID"
  as_officer bash -c 'mkdir -p ~/.config ~/桌面 ~/下载 ~/模板 ~/公共 ~/文档 ~/音乐 ~/图片 ~/视频 &&
    printf "%s\n" "XDG_DESKTOP_DIR=\"\$HOME/桌面\"" "XDG_DOWNLOAD_DIR=\"\$HOME/下载\"" \
      "XDG_TEMPLATES_DIR=\"\$HOME/模板\"" "XDG_PUBLICSHARE_DIR=\"\$HOME/公共\"" \
      "XDG_DOCUMENTS_DIR=\"\$HOME/文档\"" "XDG_MUSIC_DIR=\"\$HOME/音乐\"" \
      "XDG_PICTURES_DIR=\"\$HOME/图片\"" "XDG_VIDEOS_DIR=\"\$HOME/视频\"" > ~/.config/user-dirs.dirs'

  # The virtual display picks a free number and says which (-noreset: a
  # server that resets when its last client leaves drops new connections).
  start_as_officer "$CHECK_DIR/xvfb.log" Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x900x24 \
    3>"$CHECK_DIR/display"
  XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -s "$CHECK_DIR/display" ] && break
    sleep 0.1
  done
  DISPLAY_NAME=":$(head -n 1 "$CHECK_DIR/display")"

  say "== quillan started by $OFFICER on the virtual display"
  local t2 t3 window
  t2="$(now)"
  start_as_officer "$CHECK_DIR/quillan.log" quillan
  APP_PID=$!
  if ! window="$(wait_window 'Quillan' 120)"; then
    say "FAILED: no main window within 120 s"
    cat "$CHECK_DIR/quillan.log" | tee -a "$LOG"
    return 1
  fi
  t3="$(now)"
  say "main window \"$(xdo getwindowname "$window")\" after $(secs "$t2" "$t3") s"
  say "from apt-get install to a ready window: $(secs "$t0" "$t1") s installing + $(secs "$t2" "$t3") s starting = $(awk -v a="$(secs "$t0" "$t1")" -v b="$(secs "$t2" "$t3")" 'BEGIN { printf "%.1f", a + b }') s"
  sleep 2

  # The keyboard starts at the record's first field: five fields on is the
  # end hour, then the end minute, three on the interviewee's name, seven on
  # the work unit (the fields the save asks for). Ctrl+S saves.
  say "== a record typed and saved with Ctrl+S"
  xdo windowfocus --sync "$window"
  xdo key --delay 40 Tab Tab Tab Tab Tab
  xdo type --delay 40 10
  xdo key --delay 40 Tab
  xdo type --delay 40 30
  xdo key --delay 40 Tab Tab Tab
  xdo type --delay 40 'Zhang San'
  xdo key --delay 40 Tab Tab Tab Tab Tab Tab Tab
  xdo type --delay 40 'ACME Works'
  local t4 t5 question
  t4="$(now)"
  xdo key ctrl+s
  # The record is written, then the program asks about a preview: "否".
  if ! question="$(wait_window '^提 *示：$' 300)"; then
    say "FAILED: the save did not finish within 300 s; windows:"
    window_names | tee -a "$LOG"
    shoot ""
    return 1
  fi
  t5="$(now)"
  say "saved; the question \"是否预览\" came $(secs "$t4" "$t5") s after Ctrl+S"
  xdo windowfocus --sync "$question"
  xdo key Escape
  sleep 2
  local geometry
  geometry="$(xdo getwindowgeometry "$window" | awk '/Position/ { split($2, p, ","); x = p[1]; y = p[2] }
    /Geometry/ { print $2 "+" x "+" y }')"
  shoot "$geometry"

  local office="/home/$OFFICER/文档/Quillan"
  say "the office folder:"
  as_officer find "$office" -printf '  %M %u %P\n' | sort -k3 | tee -a "$LOG"
  local docs
  docs="$(as_officer find "$office/BL" -maxdepth 1 -name '*Zhang San.doc' | wc -l)"
  if [ "$docs" -ne 1 ] || [ "$(as_officer stat -c %a "$office/BL")" != 700 ]; then
    say "FAILED: no saved record in $office/BL, or BL is not private"
    return 1
  fi
  local record
  record="$(as_officer find "$office/BL" -maxdepth 1 -name '*Zhang San.doc')"
  if [ "$(od -An -tx1 -N8 "$R$record" | tr -d ' ')" != d0cf11e0a1b11ae1 ]; then
    say "FAILED: $record is not a Word 97-2003 document"
    return 1
  fi
  say "found: $record, $(stat -c %s "$R$record") bytes, a Word 97-2003 document, with its template and PDF copy"

  kill -TERM "$APP_PID"
  for i in $(seq 300); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
  done
  local ended=0
  wait "$APP_PID" || ended=$?
  APP_PID=""
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
  say "quillan ended on SIGTERM with exit code $ended; its output:"
  sed 's/^/  /' "$CHECK_DIR/quillan.log" | tee -a "$LOG"

  say "== apt-get purge quillan"
  in_root apt-get purge -y quillan >"$CHECK_DIR/purge.log" 2>&1
  grep -E '^(Purging|Removing)' "$CHECK_DIR/purge.log" | tee -a "$LOG"
  rm -f "$R/tmp/$name"
  local left=0 f
  while read -r f; do
    [ "$f" = "/." ] && continue
    if [ -L "$R$f" ] || [ -f "$R$f" ]; then
      say "LEFT: $f"
      left=1
    elif [ -d "$R$f" ] && ! in_root dpkg -S "$f" >/dev/null 2>&1; then
      say "LEFT (folder of no other package): $f"
      left=1
    fi
  done <"$CHECK_DIR/package-files"
  # Anything named after the program outside the officer's home.
  while read -r f; do
    say "LEFT: $f"
    left=1
  done < <(in_root find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /home \) -prune -o \
    -iname '*quillan*' -print)
  say "files of the officer outside the office folder (the officer's own, as every program leaves them):"
  as_officer find "/home/$OFFICER" -path "$office" -prune -o -iname '*quillan*' -prune -printf '  %p\n' |
    tee -a "$LOG"
  if [ "$left" -ne 0 ]; then
    say "FAILED: files of the package are left"
    return 1
  fi
  if [ ! -f "$R$record" ]; then
    say "FAILED: the purge took the officer's record"
    return 1
  fi
  say "no file of the package is left; the officer's office folder and record are kept"
}

if [ "${1:-}" = "--inside" ]; then
  # On a failure the program ends first, then its display.
  trap 'kill "${APP_PID:-}" 2>/dev/null && sleep 3; kill "${XVFB_PID:-}" 2>/dev/null || true' EXIT
  inside "$2"
  exit $?
fi

# ----------------------------------------------------------- the outside --
if [ "$(id -u)" -ne 0 ]; then
  exec sudo -E bash "$0" "$@"
fi
install_packages debootstrap

if [ -n "${QUILLAN_PACKAGE:-}" ]; then
  deb="$(realpath "$QUILLAN_PACKAGE")"
else
  mkdir -p "$CHECK_DIR"
  bash "$QUILLAN_ROOT/scripts/package.sh" >"$CHECK_DIR/package.log" 2>&1 || {
    tail -n 40 "$CHECK_DIR/package.log"
    exit 1
  }
  deb="$(ls -t "$QUILLAN_ROOT"/dist/quillan_*.deb | head -n 1)"
fi

# The mirror this machine installs from.
mirror="$(sed -n 's/^URIs: *\([^ ]*debian\/*\)$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)"
if [ -z "$mirror" ]; then
  mirror="$(awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' /etc/apt/sources.list 2>/dev/null || true)"
fi
mirror="${mirror:-http://deb.debian.org/debian}"

: >"$LOG"
say "Quillan package check, $(date -u '+%Y-%m-%d %H:%M UTC')"
say "package: $(basename "$deb"), $(stat -c %s "$deb") bytes; Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KiB"
if [ -z "${QUILLAN_PACKAGE:-}" ]; then
  say "built by scripts/package.sh; its checks:"
  sed -n '/^quillan: lintian$/,$p' "$CHECK_DIR/package.log" | grep -v 'running with root privileges' |
    sed 's/^/  /' | tee -a "$LOG"
fi

if findmnt -rn -o TARGET | grep -q "^$R/"; then
  echo "quillan: something is still mounted in $R" >&2
  exit 1
fi
rm -rf "$R"
mkdir -p "$R" "$CHECK_DIR/cache"
say "== a fresh Debian 12: debootstrap --variant=minbase bookworm, $mirror"
t="$(now)"
debootstrap --variant=minbase --cache-dir="$CHECK_DIR/cache" bookworm "$R" "$mirror" >"$CHECK_DIR/debootstrap.log" 2>&1 || {
  tail -n 20 "$CHECK_DIR/debootstrap.log"
  exit 1
}
security="${mirror%/debian*}/debian-security"
cat >"$R/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security bookworm-security main
EOF
# No service of the installed packages starts in the tree.
printf '#!/bin/sh\nexit 101\n' >"$R/usr/sbin/policy-rc.d"
chmod 0755 "$R/usr/sbin/policy-rc.d"
say "made in $(secs "$t" "$(now)") s"

status=0
unshare --mount --propagation private -- bash "$0" --inside "$deb" || status=$?
# Whatever still runs in the tree (started by this check) ends with it.
for p in /proc/[0-9]*; do
  if [ "$(readlink "$p/root" 2>/dev/null)" = "$R" ]; then
    kill -KILL "${p#/proc/}" 2>/dev/null || true
  fi
done
if [ "$status" -eq 0 ]; then
  say "PASSED"
else
  say "FAILED (exit $status)"
fi
exit "$status"
