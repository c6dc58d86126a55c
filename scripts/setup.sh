# SPDX-License-Identifier: MIT
# Shared by run.sh and test.sh: installs missing Debian packages and builds.
# Source it; it defines functions only.

# Debian packages that building, installing and running the viewers needs
# (dpkg-shlibdeps and file are what CPack uses to find the Debian package's
# dependencies, so that the README's package block works after ./run.sh).
RUN_PACKAGES="g++ make cmake pkg-config freeglut3-dev libgl-dev libgl1-mesa-dri libglx-mesa0
libimgui-dev libstb-dev libx11-dev fonts-dejavu-core dpkg-dev file"
# What the tests and benchmarks need on top: the libraries, a second compiler,
# the formatter the sources are checked with, an X server of their own and
# xrdb to set its resources, a browser for the web pages, and the tools that
# judge the installed tree and the Debian package.
TEST_PACKAGES="libgtest-dev libbenchmark-dev libfftw3-dev libx11-dev libxtst-dev
xvfb x11-xserver-utils clang libfuzzer-14-dev clang-format lintian desktop-file-utils man-db
chromium chromium-driver python3-selenium"
# Tools the package checks use (hardening-check, appstreamcli, diffoscope),
# installed without their recommends: those would add about 2 GB (mostly
# diffoscope's file-format helpers), the tools alone about 10 MB.
TEST_TOOLS="devscripts appstream diffoscope-minimal"
# The two browser engines the pages are tested in besides Chromium
# (tests/web/engines): Firefox ESR, driven through WebDriver BiDi, and
# WebKitGTK's MiniBrowser through WebKitWebDriver. Installed without their
# recommends (codecs and media plugins the tests do not use), about 500 MB.
ENGINE_PACKAGES="firefox-esr webkit2gtk-driver"
# The web site: Emscripten builds it, python3's http.server serves it.
WEB_PACKAGES="emscripten cmake make python3"

# Installs those of the named packages that are not installed yet; with
# --no-install-recommends first, without what they only recommend.
ensure_packages() {
    local apt_options=""
    if [ "${1:-}" = --no-install-recommends ]; then
        apt_options="$1"
        shift
    fi
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
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $apt_options $missing || return 1
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

# Builds the web site into build-web/site with Emscripten. Quiet when it
# works; shows the log when it fails.
build_web_site() {
    ensure_page_libraries || return 1
    mkdir -p "$REPO/build-web"
    local log="$REPO/build-web/build.log"
    echo "Building the web site in build-web ..."
    if ! { emcmake cmake -S "$REPO" -B "$REPO/build-web" "$@" &&
           cmake --build "$REPO/build-web" -j "$(nproc)"; } >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "The build in build-web failed; the whole log is $log" >&2
        return 1
    fi
}

# Runs npm ci in folder $1 (with the options after it) unless it has run
# there already on the same package-lock.json: npm ci starts from an empty
# node_modules, so it runs only when the pinned versions are not there yet.
# Debian's npm only where there is no npm at all: a Node.js from elsewhere
# (NodeSource's) brings its own and conflicts with Debian's package.
ensure_npm_pinned() {
    local dir="$1"
    shift
    if ! command -v npm >/dev/null 2>&1; then
        ensure_packages npm || return 1
    fi
    local stamp="$dir/node_modules/.installed-from" lock
    lock="$(sha256sum <"$dir/package-lock.json") $*"
    [ "$(cat "$stamp" 2>/dev/null)" = "$lock" ] && return 0
    echo "Installing what ${dir#"$REPO"/}/package-lock.json pins (npm ci) ..."
    (cd "$dir" && npm ci --no-audit --no-fund "$@") && echo "$lock" >"$stamp"
}

# What the pages ship from the npm registry, pinned in
# web/page/package-lock.json: uPlot, which draws the plot; the site's build
# copies it in.
ensure_page_libraries() {
    ensure_npm_pinned "$REPO/web/page" ||
        { echo "Could not install uPlot (npm ci in web/page), which the pages need" >&2; return 1; }
}

# The browser tests' JavaScript tools, pinned in tests/web/package-lock.json:
# axe-core, ESLint and puppeteer-core (--omit=dev); bench/web_audit.py adds
# Lighthouse when it runs. puppeteer-core drives the browsers Debian
# installs and downloads none.
ensure_web_checks() {
    PUPPETEER_SKIP_DOWNLOAD=1 ensure_npm_pinned "$REPO/tests/web" --omit=dev
}
