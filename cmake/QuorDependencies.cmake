# Third-party libraries: zlib and libpng (linked statically), nlohmann/json
# (header only) and, for the tests, GoogleTest built from source.

set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)

find_package(nlohmann_json CONFIG QUIET)
if(NOT TARGET nlohmann_json::nlohmann_json)
  find_path(QUOR_NLOHMANN_INCLUDE nlohmann/json.hpp REQUIRED)
  add_library(nlohmann_json INTERFACE)
  target_include_directories(nlohmann_json SYSTEM INTERFACE ${QUOR_NLOHMANN_INCLUDE})
  add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)
endif()

if(QUOR_BUILD_TESTS)
  find_package(GTest CONFIG QUIET)
  if(NOT TARGET GTest::gtest_main)
    # Debian's googletest package installs its sources here; elsewhere point
    # QUOR_GTEST_SOURCE_DIR at a GoogleTest source tree.
    set(QUOR_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    add_subdirectory(${QUOR_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_gtest EXCLUDE_FROM_ALL SYSTEM)
  endif()
endif()
