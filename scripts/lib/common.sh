# Shared by the project's commands: installing what is missing and building.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD_DIR="$ROOT/build"
# Paths relative to the checkout, so that other checkouts hit the same ccache entries.
export CCACHE_BASEDIR="$ROOT"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages that are not installed yet; nothing when all are.
ensure_packages() {
  local missing=()
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Instalando: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

RUNTIME_PACKAGES=(
  cmake ninja-build g++ qt6-base-dev libgl-dev libcurl4-openssl-dev ca-certificates
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  fonts-liberation2 fonts-wine qt6-translations-l10n poppler-utils xvfb xauth libxlsxwriter-dev
)

# What scripts/pacote needs beyond the build, and what checks the package.
PACKAGING_PACKAGES=(dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream)

# Configures a build folder: Release, through ccache when it is there; more cache settings may follow.
configure() {
  local dir="$1"
  shift
  local launcher=()
  # Several checkouts of the project share compiled objects when ccache is there.
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "$@" >/dev/null
}

# The program and the commands it needs, nothing else; a folder made by build keeps its tests.
build_program() {
  [ -f "$BUILD_DIR/build.ninja" ] || configure "$BUILD_DIR" -DQUINDELO_BUILD_TESTS=OFF
  cmake --build "$BUILD_DIR" --target quindelo-programa --parallel "$(nproc)"
}

# Only the tests need these: the spreadsheets read back, a real SMTP server and openssl for its
# test certificates.
TEST_PACKAGES=(python3-openpyxl python3-aiosmtpd openssl)

# What the benches compare against (bench_periodo's reportlab peer); scripts/test installs it.
BENCH_PACKAGES=(python3-reportlab)

# Everything, tests and benchmarks included.
build() {
  if [ ! -f "$BUILD_DIR/build.ninja" ] || ! grep -qx 'QUINDELO_BUILD_TESTS:BOOL=ON' "$BUILD_DIR/CMakeCache.txt"; then
    configure "$BUILD_DIR" -DQUINDELO_BUILD_TESTS=ON
  fi
  cmake --build "$BUILD_DIR" --parallel "$(nproc)"
}
