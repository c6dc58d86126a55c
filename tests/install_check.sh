#!/bin/sh
# SPDX-License-Identifier: MIT
# Usage: install_check.sh tree|package|rebuild BUILD_DIR WORK_DIR
#   tree:    installs BUILD_DIR into WORK_DIR (as `cmake --install` would for a
#            user, prefix /usr/local) and judges what lands there: every file
#            in place, the programs start, desktop-file-validate passes the
#            entries and man renders the pages without a warning; and the
#            source tree's licence: LICENSE, and an SPDX line in every file.
#   package: makes the Debian package with CPack into WORK_DIR and judges it:
#            lintian --pedantic reports no error or warning, its dependencies
#            come from the libraries the programs load, it holds what the tree
#            holds, hardening-check passes its programs and appstreamcli its
#            software-centre entries.
#   rebuild: configures, builds and installs the source again in another
#            folder, with the test libraries hidden, as a user who ran only
#            ./run.sh would; then packages both builds, some time apart, and
#            expects the same bytes (diffoscope explains a difference).
set -u
mode=$1 build=$2 work=$3
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
source_dir=$(cached CMAKE_HOME_DIRECTORY)
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The programs' AppStream id is $app.<program>.
app=io.github.lattice_viewers

# The files both kinds of install must hold, below the prefix.
expected_files() {
    for p in spingrid fieldgrid; do
        echo "bin/$p"
        echo "share/man/man1/$p.1.gz"
        echo "share/applications/$app.$p.desktop"
        echo "share/metainfo/$app.$p.metainfo.xml"
        for s in 16 32 48 64 128 256; do echo "share/icons/hicolor/${s}x$s/apps/$p.png"; done
    done
    echo share/doc/lattice-viewers/copyright
    echo share/doc/lattice-viewers/changelog.gz
}

case "$mode" in
tree)
    prefix="$work/usr/local"
    DESTDIR="$work" cmake --install "$build" >"$work/install.log" 2>&1 ||
        { cat "$work/install.log"; fail "cmake --install"; }
    for f in $(expected_files); do
        [ -s "$prefix/$f" ] || fail "not installed: $f"
    done
    for p in spingrid fieldgrid; do
        # Without a display the installed program must get as far as GLUT's
        # own complaint: proof that it loads and finds its libraries.
        out=$(env -u DISPLAY "$prefix/bin/$p" 2>&1)
        status=$?
        echo "$out" | grep -q "failed to open display" && [ "$status" -eq 1 ] ||
            fail "$p did not start as expected (exit $status): $out"

        # Errors and warnings fail; hints (such as more than one main menu
        # category, which Education;Science;Physics; asks for) do not.
        entry="$prefix/share/applications/$app.$p.desktop"
        problems=$(desktop-file-validate "$entry" 2>&1 | grep -v ': hint: ')
        [ -z "$problems" ] || fail "desktop-file-validate $app.$p.desktop: $problems"
        grep -qx "Icon=$p" "$entry" || fail "$app.$p.desktop names no icon $p"

        warnings=$(MANPAGER=cat MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$p.1.gz" 2>&1 >"$work/$p.txt")
        [ -z "$warnings" ] || fail "man --warnings $p.1: $warnings"
        grep -q "^NAME" "$work/$p.txt" && grep -q "^SYNOPSIS" "$work/$p.txt" ||
            fail "$p.1 did not render its NAME and SYNOPSIS"
    done

    grep -q "^MIT License" "$source_dir/LICENSE" &&
        grep -q "^Copyright (c) 2026 the lattice-viewers authors" "$source_dir/LICENSE" ||
        fail "LICENSE is not the MIT licence of the lattice-viewers authors"
    # Every source, script and build file of ours says its licence.
    missing=$(cd "$source_dir" && git ls-files |
        grep -E '^\.ci/|\.(c|cpp|h|hpp|sh|py|js|mjs|html|css|cmake|xml|desktop|1)$|CMakeLists\.txt$' |
        xargs -r grep -L "SPDX-License-Identifier: MIT")
    [ -z "$missing" ] || fail "no SPDX line in:" $missing
    ;;
package)
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; fail "cpack"; }
    deb=$(ls "$work"/*.deb 2>/dev/null | head -n 1)
    [ -n "$deb" ] || { fail "no package was made"; exit 1; }
    echo "package: $deb"
    # Errors and warnings fail; info and pedantic tags are shown only.
    lintian --fail-on error,warning --pedantic --display-info "$deb" >"$work/lintian.log" 2>&1
    lintian_status=$?
    grep -v 'root privileges is not recommended' "$work/lintian.log"
    [ "$lintian_status" -eq 0 ] || fail "lintian (exit $lintian_status)"

    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for lib in libglut libc6 libstdc++; do
        echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib"
    done
    dpkg-deb -f "$deb" Recommends | grep -q fonts-dejavu-core || fail "fonts-dejavu-core is not recommended"

    dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v '/$' | sed 's|^\./usr/||' | sort >"$work/held"
    expected_files | sort >"$work/expected"
    diff -u "$work/expected" "$work/held" || fail "the package does not hold exactly the installed files"

    root="$work/root"
    dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
    cmp -s "$source_dir/packaging/copyright" "$root/usr/share/doc/lattice-viewers/copyright" ||
        fail "the package's copyright file is not packaging/copyright"
    # Control-flow markers are not asked for: Debian's libimgui.a, linked
    # into both programs, has none, so the linker cannot keep them.
    hardening-check --nocfprotection "$root/usr/bin/spingrid" "$root/usr/bin/fieldgrid" ||
        fail "hardening-check"
    # validate-tree also checks that each entry's launchable desktop file is there.
    appstreamcli validate-tree --no-net --pedantic "$root" >"$work/appstream.log" 2>&1
    appstream_status=$?
    cat "$work/appstream.log"
    [ "$appstream_status" -eq 0 ] && ! grep -q -E '^ *[EWP]: ' "$work/appstream.log" ||
        fail "appstreamcli found more than info hints"
    ;;
rebuild)
    # pkg-config sees every module but the test libraries'; CMake's own
    # searches for GoogleTest and Google Benchmark are switched off.
    mkdir -p "$work/pkgconfig"
    for dir in $(pkg-config --variable pc_path pkg-config | tr : ' '); do
        for pc in "$dir"/*.pc; do
            [ -e "$pc" ] || continue
            case "${pc##*/}" in
            fftw3* | gtest* | gmock* | benchmark* | xtst*) ;;
            *) [ -e "$work/pkgconfig/${pc##*/}" ] || ln -s "$pc" "$work/pkgconfig/" ;;
            esac
        done
    done

    # The first package, from BUILD_DIR, before the second build starts, so
    # that the two are made at different times.
    env -u SOURCE_DATE_EPOCH cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/first" \
        >"$work/cpack-first.log" 2>&1 || { cat "$work/cpack-first.log"; fail "cpack in $build"; }

    # Configured as BUILD_DIR is, but for the tests, so that the programs see
    # the same compiler and flags.
    second="$work/elsewhere/second-build"
    PKG_CONFIG_LIBDIR="$work/pkgconfig" cmake -S "$source_dir" -B "$second" \
        -DCMAKE_BUILD_TYPE="$(cached CMAKE_BUILD_TYPE)" \
        -DCMAKE_C_COMPILER="$(cached CMAKE_C_COMPILER)" \
        -DCMAKE_CXX_COMPILER="$(cached CMAKE_CXX_COMPILER)" \
        -DWARNINGS_AS_ERRORS="$(cached WARNINGS_AS_ERRORS)" \
        -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
        >"$work/second.log" 2>&1 &&
        cmake --build "$second" -j 2 >>"$work/second.log" 2>&1 &&
        DESTDIR="$work/installed" cmake --install "$second" >>"$work/second.log" 2>&1 ||
        { tail -n 30 "$work/second.log"; fail "configure, build, install without the test libraries"; }

    env -u SOURCE_DATE_EPOCH cpack --config "$second/CPackConfig.cmake" -G DEB -B "$work/second" \
        >"$work/cpack-second.log" 2>&1 || { cat "$work/cpack-second.log"; fail "cpack in $second"; }
    set -- "$work"/first/*.deb "$work"/second/*.deb
    sha256sum "$@"
    cmp -s "$@" || { fail "the two packages differ"; diffoscope --text - "$@" | head -n 200; }
    ;;
*)
    echo "usage: install_check.sh tree|package|rebuild BUILD_DIR WORK_DIR" >&2
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] && echo "install_check $mode: all checks passed"
[ "$failures" -eq 0 ]
