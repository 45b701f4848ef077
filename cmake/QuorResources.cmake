# Version resource and application manifest of each executable. The file
# version comes from the project version (resources/version.txt): major,
# minor, release and, as the fourth part, the build number (0 when absent).

set(QUOR_VERSION_BUILD "${PROJECT_VERSION_TWEAK}")
if(QUOR_VERSION_BUILD STREQUAL "")
  set(QUOR_VERSION_BUILD 0)
endif()
set(QUOR_FILE_VERSION
  "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${QUOR_VERSION_BUILD}")
string(REPLACE "." "," QUOR_FILE_VERSION_COMMAS "${QUOR_FILE_VERSION}")

set(QUOR_RESOURCES_DIR "${PROJECT_SOURCE_DIR}/resources")

# quor_add_executable_resources(<target> <description> [LEVEL <level>]): gives
# an executable its VERSIONINFO and its manifest, which asks for the execution
# level given (asInvoker when none is).
function(quor_add_executable_resources target description)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "LEVEL" "")
  set(QUOR_EXECUTION_LEVEL asInvoker)
  if(arg_LEVEL)
    set(QUOR_EXECUTION_LEVEL ${arg_LEVEL})
  endif()
  set(QUOR_MANIFEST "${PROJECT_BINARY_DIR}/resources/${target}.manifest")
  configure_file("${QUOR_RESOURCES_DIR}/app.manifest.in" "${QUOR_MANIFEST}" @ONLY)
  set(QUOR_FILE_DESCRIPTION "${description}")
  get_target_property(output ${target} OUTPUT_NAME)
  if(NOT output)
    set(output ${target})
  endif()
  set(QUOR_ORIGINAL_FILENAME "${output}${CMAKE_EXECUTABLE_SUFFIX}")
  set(rc "${PROJECT_BINARY_DIR}/resources/${target}_resources.rc")
  configure_file("${QUOR_RESOURCES_DIR}/executable.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  # The resource compiler's dependency scan does not see the manifest.
  set_source_files_properties("${rc}" TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${QUOR_MANIFEST}")
  if(MSVC)
    # The manifest comes from the resource script; the linker must not add its own.
    target_link_options(${target} PRIVATE /MANIFEST:NO)
  endif()
endfunction()
