# Shared by the run and test commands: package installation and the build.
# Sourced, not run.

QUILLAN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages the program needs to build and run.
QUILLAN_RUN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-dev libreoffice-dev-common
  libcups2-dev fonts-noto-cjk xdg-utils
  libcurl4-openssl-dev
  libssl-dev
  qt6-multimedia-dev libqt6multimedia6 libpulse0
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "quillan: need root (or sudo) to run: $*" >&2
    return 1
  fi
}

# Installs whichever of the given packages are missing; nothing when all are there.
install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return 0
  fi
  echo "quillan: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build_tree <folder> [cmake options...]: configures (quick when nothing
# changed) and builds incrementally.
build_tree() {
  local dir="$1"
  shift
  cmake -S "$QUILLAN_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
