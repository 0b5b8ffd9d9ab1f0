# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread
# model: std::thread and std::mutex need it). The programs link statically,
# so they run under Wine or on Windows with no MinGW libraries beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)

# Libraries and headers come from the MinGW tree only, never from the host's
# /usr; the host's programs (cmake helpers) are still found.
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# nlohmann-json is header only, so the host's copy serves as it is; but its
# package files name the host's /usr/include, which would put glibc's headers
# on the include path. A copy of its package files in the build folder, next
# to a link to its headers alone, is found instead.
set(_stage ${CMAKE_BINARY_DIR}/host-headers/usr)
if(EXISTS /usr/share/cmake/nlohmann_json/nlohmann_jsonConfig.cmake AND EXISTS /usr/include/nlohmann)
  if(NOT EXISTS ${_stage}/include/nlohmann)
    file(MAKE_DIRECTORY ${_stage}/include)
    file(CREATE_LINK /usr/include/nlohmann ${_stage}/include/nlohmann SYMBOLIC)
  endif()
  file(COPY /usr/share/cmake/nlohmann_json/ DESTINATION ${_stage}/share/cmake/nlohmann_json)
  set(nlohmann_json_DIR ${_stage}/share/cmake/nlohmann_json CACHE PATH "nlohmann-json's package files")
endif()
