# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack before it makes the package: the date CPack gives every file
# in it is SOURCE_DATE_EPOCH's, and without one in the environment, that of
# the changelog's newest entry, taken when the build was configured.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_ZRNV_SOURCE_DATE_EPOCH})
endif()
