# Google Benchmark for the Windows cross build. Debian packages the library
# for the build machine only (libbenchmark-dev), so the Windows stage builds
# it with the project's MinGW-w64 toolchain from Debian's own source package
# of the same version (benchmark 1.7.1-1, as Debian 12 ships it), with
# Debian's patches applied. Sourced after common.sh; build_mingw_benchmark
# installs it into build/mingw-benchmark/prefix (if not there yet) and sets
# MINGW_BENCHMARK_PREFIX, for the windows preset's CMAKE_PREFIX_PATH.
#
# The source comes through apt with a source list of its own, so the
# machine's apt settings stay as they are: apt checks the files against the
# archive's signed index, dpkg-source against the .dsc, whose own checksum
# is pinned here. The download is kept, so a second run fetches nothing.

MINGW_BENCHMARK_VERSION=1.7.1-1
MINGW_BENCHMARK_DSC_SHA256=14113b4e003a69ed226525bdcb283c57082497dd1d581af72d84f50f1c1e59d5

build_mingw_benchmark() {
    local work="$ROOT/build/mingw-benchmark"
    MINGW_BENCHMARK_PREFIX="$work/prefix"
    local stamp="$MINGW_BENCHMARK_PREFIX/.built-from-$MINGW_BENCHMARK_VERSION"
    if [[ -e $stamp ]]; then
        return
    fi
    local download="$work/download" dsc="benchmark_${MINGW_BENCHMARK_VERSION}.dsc"
    if [[ ! -e $download/$dsc ]]; then
        fetch_benchmark_source "$work/apt" "$download"
    fi
    if ! echo "$MINGW_BENCHMARK_DSC_SHA256  $download/$dsc" | sha256sum --check --quiet; then
        echo "$download/$dsc is not the expected one: remove $download to fetch it again" >&2
        return 1
    fi
    rm -rf "$work/source" "$work/build" "$MINGW_BENCHMARK_PREFIX"
    echo "Building Google Benchmark $MINGW_BENCHMARK_VERSION for MinGW-w64 into $MINGW_BENCHMARK_PREFIX"
    local log="$work/build.log"
    # Checks the tarballs against the .dsc and applies debian/patches. As
    # Debian configures it (debian/rules), but static, as the project's
    # Windows programs link everything, and without the library's own tests.
    if ! {
        dpkg-source -x "$download/$dsc" "$work/source" &&
            cmake -S "$work/source" -B "$work/build" -G Ninja \
                -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
                -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$MINGW_BENCHMARK_PREFIX" \
                -DGIT_VERSION="${MINGW_BENCHMARK_VERSION%-*}" -DBUILD_SHARED_LIBS=OFF \
                -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
                -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_LTO=OFF \
                -DBENCHMARK_INSTALL_DOCS=OFF &&
            cmake --build "$work/build" --parallel "$JOBS" &&
            cmake --install "$work/build"
    } >"$log" 2>&1; then
        cat "$log" >&2
        echo "Google Benchmark for MinGW-w64 did not build (log above)" >&2
        return 1
    fi
    # dpkg-source leaves a link to the upstream tarball beside the tree.
    rm -rf "$work/source" "$work/build" "$work"/benchmark_*.orig.tar.* "$log"
    touch "$stamp"
}

# Downloads the source package into DOWNLOAD, with apt's lists kept in STATE.
fetch_benchmark_source() {
    local state="$1" download="$2"
    mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$download"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
        "http://deb.debian.org/debian bookworm main" >"$state/sources.list"
    local apt=(apt-get -qq -o Dir::Etc::SourceList="$state/sources.list"
        -o Dir::Etc::SourceParts=/dev/null -o Dir::State::Lists="$state/lists"
        -o Dir::Cache="$state/cache")
    # As root, apt would hand the download to its own user, who may not
    # write here.
    if [[ $(id -u) -eq 0 ]]; then
        apt+=(-o APT::Sandbox::User=root)
    fi
    "${apt[@]}" update
    (cd "$download" && "${apt[@]}" source --download-only "benchmark=$MINGW_BENCHMARK_VERSION")
    rm -rf "$state"
}
