# SPDX-License-Identifier: MIT
# Shared by run.sh and test.sh: installs missing Debian packages and builds.
# Source it; it defines functions only.

# Debian packages that building and running the viewers needs.
RUN_PACKAGES="g++ make cmake pkg-config freeglut3-dev libgl-dev libgl1-mesa-dri libglx-mesa0
libimgui-dev libstb-dev libx11-dev fonts-dejavu-core"
# What the tests and benchmarks need on top: the libraries, a second compiler
# and its fuzzing library, an X server of their own and xrdb to set its
# resources, and the tools that judge the installed tree and the Debian
# package (dpkg-shlibdeps and file are what CPack uses to find the package's
# dependencies).
TEST_PACKAGES="libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev libx11-dev libxtst-dev
xvfb x11-xserver-utils clang libfuzzer-14-dev lintian desktop-file-utils man-db dpkg-dev file"

# Installs those of the named packages that are not installed yet.
ensure_packages() {
    local missing=""
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $pkg"
        fi
    done
    [ -z "$missing" ] && return 0
    echo "Installing Debian packages:$missing"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -q || return 1
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $missing || return 1
}

# Configures and builds the tree into the folder $1, with further cmake
# options after it (a Release build unless they say otherwise). Quiet when it
# works; shows the log when it fails.
build_tree() {
    local dir="$1"
    shift
    mkdir -p "$REPO/$dir"
    local log="$REPO/$dir/build.log"
    echo "Building in $dir ..."
    if ! { cmake -S "$REPO" -B "$REPO/$dir" -DCMAKE_BUILD_TYPE=Release "$@" &&
           cmake --build "$REPO/$dir" -j "$(nproc)"; } >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "The build in $dir failed; the whole log is $log" >&2
        return 1
    fi
}
