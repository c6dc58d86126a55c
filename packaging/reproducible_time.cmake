# SPDX-License-Identifier: MIT
# Run by cpack before it packs: gives SOURCE_DATE_EPOCH, unless the caller set
# it, the time of the source tree's last commit. CPack stamps every file, the
# control and data archives and the .deb itself with that time, so a package
# no longer records when or how often it was built. Without git (a source
# tarball) the time stamp of the changelog's last entry stands in.
# (No return() here: cpack does not honour it in this file.)
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C ${CPACK_LATTICE_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE git_status ERROR_QUIET)
    if(NOT git_status EQUAL 0 OR NOT commit_time MATCHES "^[0-9]+$")
        execute_process(COMMAND dpkg-parsechangelog
                                -l ${CPACK_LATTICE_SOURCE_DIR}/packaging/changelog -S Timestamp
                        OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(commit_time MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
    else()
        message(WARNING "no time for SOURCE_DATE_EPOCH: the package records the time it was made")
    endif()
endif()
