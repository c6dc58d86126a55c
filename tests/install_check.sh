#!/bin/sh
# SPDX-License-Identifier: MIT
# Usage: install_check.sh tree|package BUILD_DIR WORK_DIR
#   tree:    installs BUILD_DIR into WORK_DIR (as `cmake --install` would for a
#            user, prefix /usr/local) and judges what lands there: every file
#            in place, the programs start, desktop-file-validate passes the
#            entries and man renders the pages without a warning.
#   package: makes the Debian package with CPack into WORK_DIR and judges it:
#            lintian reports no error, its dependencies come from the
#            libraries the programs load, and it holds what the tree holds.
set -u
mode=$1 build=$2 work=$3
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
    ;;
package)
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; fail "cpack"; }
    deb=$(ls "$work"/*.deb 2>/dev/null | head -n 1)
    [ -n "$deb" ] || { fail "no package was made"; exit 1; }
    echo "package: $deb"
    # Exit status 2 means an error tag; warnings and infos are shown only.
    lintian --fail-on error --display-info "$deb" >"$work/lintian.log" 2>&1
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
    ;;
*)
    echo "usage: install_check.sh tree|package BUILD_DIR WORK_DIR" >&2
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] && echo "install_check $mode: all checks passed"
[ "$failures" -eq 0 ]
