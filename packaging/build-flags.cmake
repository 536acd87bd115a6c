# SPDX-License-Identifier: GPL-3.0-or-later
# How the optimised builds (Release, RelWithDebInfo, MinSizeRel) are compiled
# and linked, as Debian builds its packages:
#
# - hardened with the flags dpkg-buildflags gives (on Debian 12 the stack
#   protector, _FORTIFY_SOURCE=2, format-string checks and read-only
#   relocations; DEB_BUILD_MAINT_OPTIONS and the other variables it reads
#   change them as they would for a Debian package), or, where dpkg-buildflags
#   is not installed, with that same set;
# - with the source and build folders' paths mapped to "." and "build" in what
#   the compiler writes (debug information, __FILE__), so that the program does
#   not depend on where it was built.
#
# The optimisation and debug information stay the build type's. Debug builds,
# and the sanitizer and fuzzing builds (ZRNV_PACKAGE_FLAGS=OFF), are left as
# they are: _FORTIFY_SOURCE needs optimisation, and the sanitizers check more
# than it does.

set(zrnv_optimised OFF)
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  set(zrnv_optimised ON)
endif()
option(ZRNV_PACKAGE_FLAGS "Harden as Debian does and keep build paths out of the binaries"
       ${zrnv_optimised})
unset(zrnv_optimised)

if(ZRNV_PACKAGE_FLAGS)
  find_program(ZRNV_DPKG_BUILDFLAGS dpkg-buildflags)
  set(ZRNV_HARDENING_COMPILE)
  set(ZRNV_HARDENING_LINK)
  if(ZRNV_DPKG_BUILDFLAGS)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(COMMAND ${ZRNV_DPKG_BUILDFLAGS} --get ${kind}
                      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
                      RESULT_VARIABLE status)
      if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed (${status})")
      endif()
      separate_arguments(flags UNIX_COMMAND "${flags}")
      # The build type chooses the optimisation and debug information; the
      # path maps below replace dpkg-buildflags' map of the folder it ran in.
      list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
      if(kind STREQUAL LDFLAGS)
        list(APPEND ZRNV_HARDENING_LINK ${flags})
      else()
        list(APPEND ZRNV_HARDENING_COMPILE ${flags})
      endif()
    endforeach()
    unset(flags)
    unset(status)
  else()
    set(ZRNV_HARDENING_COMPILE -Wdate-time -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat
                               -Werror=format-security)
    set(ZRNV_HARDENING_LINK -Wl,-z,relro)
  endif()
  list(REMOVE_DUPLICATES ZRNV_HARDENING_COMPILE)
  message(STATUS "Hardening: ${ZRNV_HARDENING_COMPILE} ${ZRNV_HARDENING_LINK}")
  add_compile_options(${ZRNV_HARDENING_COMPILE})
  add_link_options(${ZRNV_HARDENING_LINK})
  # The build folder last: inside the source folder, it is the longer match,
  # and the compiler takes the last map that fits.
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
endif()
