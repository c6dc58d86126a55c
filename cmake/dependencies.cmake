# SPDX-License-Identifier: MIT
# need_debian_package(FOUND PACKAGE WHAT)
# Stops the configure step when FOUND is false, with a message that names the
# Debian package that provides WHAT. A missing dependency then shows up here,
# in one plain sentence, and not as an unknown target at the generate step.
function(need_debian_package found package what)
    if(NOT ${found})
        message(FATAL_ERROR
                "${what} not found: install the Debian package ${package} "
                "(sudo apt-get install ${package}). ./run.sh and ./test.sh install "
                "everything they need themselves.")
    endif()
endfunction()

# need_debian_program(VAR PROGRAM PACKAGE)
# Finds PROGRAM into VAR, or stops as need_debian_package does.
function(need_debian_program var program package)
    find_program(${var} ${program})
    need_debian_package(${var} ${package} "The program ${program}")
endfunction()
