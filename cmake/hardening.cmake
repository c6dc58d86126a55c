# SPDX-License-Identifier: MIT
# Debian's hardening, as `DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags`
# gives it on amd64: a stack protector, checked string and memory calls
# (_FORTIFY_SOURCE=2), format strings that cannot be data, position-independent
# executables, and a relocation table made read-only before main runs
# (-z relro -z now). `hardening-check` judges the installed programs. None of
# these touches floating-point arithmetic, so the field's bits stay the same.
# (Control-flow markers, -fcf-protection, would do nothing here: the linker
# keeps them only when every object has them, and Debian's libimgui.a has none.)
#
# Also maps the source and build folders out of everything the compiler
# writes (debug information, __FILE__), so that two builds of one commit in
# different folders give the same bytes. GCC takes the last matching map, so
# a build folder inside the source folder still becomes "build".
#
# The sanitizer build keeps its own flags (_FORTIFY_SOURCE and ASan check the
# same calls in conflicting ways), and a browser build has no such linker.
if(SANITIZE OR EMSCRIPTEN)
    return()
endif()

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security -Wdate-time)
# glibc warns that _FORTIFY_SOURCE needs an optimising build, so a Debug
# build goes without it.
add_compile_options($<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
                    $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro LINKER:-z,now)

add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
if(CMAKE_CXX_COMPILER_ID MATCHES Clang)
    # Clang 14 takes the first map in sorted order, not the last, so the
    # compilation folder is named outright.
    add_compile_options(-ffile-compilation-dir=.)
endif()
