# Every dependency is a Debian 12 package; a missing one stops the configure step with the
# package to install, so nobody has to guess from a linker error.
function(mumian_require found package)
  if(NOT ${found})
    message(FATAL_ERROR "Missing dependency: install the Debian package '${package}' "
                        "(scripts/install-deps.sh installs everything).")
  endif()
endfunction()

find_package(Threads REQUIRED)

find_package(CURL QUIET)
mumian_require(CURL_FOUND libcurl4-openssl-dev)

find_package(pugixml QUIET)
mumian_require(pugixml_FOUND libpugixml-dev)

find_package(nlohmann_json 3 QUIET)
mumian_require(nlohmann_json_FOUND nlohmann-json3-dev)

find_package(PkgConfig QUIET)
mumian_require(PKG_CONFIG_FOUND pkg-config)
pkg_check_modules(PCRE2 QUIET IMPORTED_TARGET libpcre2-8)
mumian_require(PCRE2_FOUND libpcre2-dev)

if(MUMIAN_BUILD_APP OR BUILD_TESTING)
  find_package(Qt6 QUIET COMPONENTS Core Gui Widgets Test)
  mumian_require(Qt6_FOUND qt6-base-dev)
endif()

if(BUILD_TESTING)
  find_package(GTest QUIET)
  mumian_require(GTest_FOUND libgtest-dev)
  find_path(HTTPLIB_INCLUDE_DIR httplib.h)
  mumian_require(HTTPLIB_INCLUDE_DIR libcpp-httplib-dev)
endif()

if(MUMIAN_BUILD_BENCHMARKS)
  find_package(benchmark QUIET)
  mumian_require(benchmark_FOUND libbenchmark-dev)
endif()
