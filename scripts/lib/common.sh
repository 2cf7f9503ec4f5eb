# Shared by the scripts: the source root, the packages a fresh Debian 12
# machine needs, and the build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
JOBS="$(nproc)"
# The builds precompile the headers every test file reads; ccache keeps the
# files that use them only when told it may trust such a header.
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"

PACKAGES=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libcli11-dev nlohmann-json3-dev libxxhash-dev
    python3 locales
    desktop-file-utils appstream dpkg-dev file man-db bash-completion lintian
)

# Installs whatever of PACKAGES (and the extra packages given) is missing.
install_missing_packages() {
    local missing=()
    local package
    for package in "${PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    # RUNLEVEL=1: a package's service (the SSH server the tests bring) is
    # installed but not started; the tests start their own.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive RUNLEVEL=1 \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures and builds a preset (default: "default").
build_preset() {
    local preset="${1:-default}"
    cmake --preset "$preset" -S "$ROOT" >/dev/null
    cmake --build --preset "$preset" --parallel "$JOBS"
}
