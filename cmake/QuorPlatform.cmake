# Compiler and platform settings shared by every target of the project.

find_program(QUOR_CCACHE ccache)
if(QUOR_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${QUOR_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${QUOR_CCACHE})
endif()

# Every target links quor_options: definitions, warnings and a static runtime,
# so that the executables run on a bare Windows 10/11 x64.
add_library(quor_options INTERFACE)
target_compile_definitions(quor_options INTERFACE
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

if(MSVC)
  target_compile_options(quor_options INTERFACE /W4 /utf-8 /permissive- /EHsc)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
else()
  target_compile_options(quor_options INTERFACE -Wall -Wextra)
  target_link_options(quor_options INTERFACE -static -static-libgcc -static-libstdc++)
  # Sections start on a page in the file as in memory. Wine maps such an
  # image; one aligned on 512 bytes it reads whole at every start, a debug
  # build's 30 MB of DWARF included (a quarter of a second per process).
  target_link_options(quor_options INTERFACE -Wl,--file-alignment=0x1000)
endif()
