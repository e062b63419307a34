# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Checks the names that the top CMakeLists.txt sets, once each, and writes them where the other
# languages read them: product.h for the C++ (target storagecalc_product), product.nsh for the
# installer, product.sh for the scripts and the check scripts, all in PROJECT_BINARY_DIR/product.

# Each name ends up inside C, NSIS and shell strings (and window titles are searched for by
# xdotool), so none holds a quote, a dollar, a backquote or a backslash.
set(no_quote "^[^'\"$`\\\\]*$")
foreach(name IN ITEMS STORAGECALC_NAME STORAGECALC_PUBLISHER STORAGECALC_MAINTAINER
                      STORAGECALC_TITLE_MAIN STORAGECALC_TITLE_INSTRUCTIONS
                      STORAGECALC_TITLE_GLOSSARY STORAGECALC_TITLE_ABOUT)
  if("${${name}}" STREQUAL "" OR NOT "${${name}}" MATCHES "${no_quote}")
    message(FATAL_ERROR "${name} '${${name}}' is empty or holds a quote, a dollar, a "
                        "backquote or a backslash")
  endif()
endforeach()
if(NOT STORAGECALC_PUBLISHER MATCHES "^[A-Za-z0-9][A-Za-z0-9 .,()-]*$")
  message(FATAL_ERROR "STORAGECALC_PUBLISHER '${STORAGECALC_PUBLISHER}' is empty or holds "
                      "characters other than letters, digits, spaces and .,()-")
endif()
# Reverse DNS, as desktop entries and D-Bus want it: at least three parts, none starting with a
# digit, no hyphens.
if(NOT STORAGECALC_APP_ID MATCHES "^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)+$"
   OR NOT STORAGECALC_APP_ID MATCHES "\\..*\\.")
  message(FATAL_ERROR "STORAGECALC_APP_ID '${STORAGECALC_APP_ID}' is no reverse-DNS id "
                      "(like org.example.Name: letters, digits and _ between the dots)")
endif()
if(NOT STORAGECALC_PROGRAM MATCHES "^[a-z0-9][a-z0-9.+-]*$")
  message(FATAL_ERROR "STORAGECALC_PROGRAM '${STORAGECALC_PROGRAM}' is no Debian package name")
endif()
if(NOT STORAGECALC_MAINTAINER MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+\\.[^<>@ ]+>$")
  message(FATAL_ERROR "STORAGECALC_MAINTAINER '${STORAGECALC_MAINTAINER}' is not "
                      "'Name <address>'")
endif()
# A mutex in the session's own namespace; a registry key name.
if(NOT STORAGECALC_RUNNING_MUTEX MATCHES "^Local\\\\[A-Za-z0-9_.-]+$")
  message(FATAL_ERROR "STORAGECALC_RUNNING_MUTEX '${STORAGECALC_RUNNING_MUTEX}' is not "
                      "Local\\ and a name of letters, digits and _.-")
endif()
if(NOT STORAGECALC_UNINSTALL_KEY MATCHES "^[A-Za-z0-9_.-]+$")
  message(FATAL_ERROR "STORAGECALC_UNINSTALL_KEY '${STORAGECALC_UNINSTALL_KEY}' is not a key "
                      "name of letters, digits and _.-")
endif()

# Windows' versions have four parts.
set(STORAGECALC_VERSION4
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
# The one backslash, written as C++ writes it.
string(REPLACE "\\" "\\\\" STORAGECALC_RUNNING_MUTEX_CXX "${STORAGECALC_RUNNING_MUTEX}")

set(STORAGECALC_PRODUCT_DIR ${PROJECT_BINARY_DIR}/product)
configure_file(${CMAKE_CURRENT_LIST_DIR}/product/product.h.in
               ${STORAGECALC_PRODUCT_DIR}/product.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/product/product.nsh.in
               ${STORAGECALC_PRODUCT_DIR}/product.nsh @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/product/product.sh.in
               ${STORAGECALC_PRODUCT_DIR}/product.sh @ONLY)

add_library(storagecalc_product INTERFACE)
target_include_directories(storagecalc_product INTERFACE ${STORAGECALC_PRODUCT_DIR})
