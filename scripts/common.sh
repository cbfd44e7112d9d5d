# Shared by scripts/run and scripts/test: Debian packages and the build folder.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

packages=(cmake g++ make libgtest-dev libbenchmark-dev libwxgtk3.2-dev libcups2-dev libgtk-3-dev pkg-config xvfb xauth openbox x11-utils clang libclang-rt-14-dev locales)

ensure_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q || true
    apt-get install -y -q --no-install-recommends "${missing[@]}"
  else
    echo "Missing Debian packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
}

jobs() { nproc 2>/dev/null || echo 2; }

# build DIR [cmake options...]: configure once, then build.
build() {
  local dir="$1"; shift
  cmake -S "$top" -B "$top/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$top/$dir" -j "$(jobs)"
}
