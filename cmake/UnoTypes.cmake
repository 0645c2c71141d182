# UNO support for C++ targets.
#
#   quillan_uno_types(<target> TYPES <type> ...)
#
# generates, at build time, the C++ headers of the listed UNO API types (and
# of the types they depend on) with the office SDK's cppumaker into the build
# tree, and makes <target> compile and link against the UNO runtime.

set(QUILLAN_LO_PROGRAM_DIR "/usr/lib/libreoffice/program" CACHE PATH "LibreOffice program folder")
set(QUILLAN_LO_SDK_DIR "/usr/lib/libreoffice/sdk" CACHE PATH "LibreOffice SDK folder")

find_program(QUILLAN_CPPUMAKER cppumaker PATHS "${QUILLAN_LO_SDK_DIR}/bin" NO_DEFAULT_PATH REQUIRED)
find_path(QUILLAN_UNO_INCLUDE_DIR sal/config.h PATHS /usr/include/libreoffice "${QUILLAN_LO_SDK_DIR}/include" REQUIRED)
set(QUILLAN_UNO_RDBS "${QUILLAN_LO_PROGRAM_DIR}/types.rdb" "${QUILLAN_LO_PROGRAM_DIR}/types/offapi.rdb")
foreach(_rdb IN LISTS QUILLAN_UNO_RDBS)
  if(NOT EXISTS "${_rdb}")
    message(FATAL_ERROR "UNO type library ${_rdb} is missing (install libreoffice-dev and LibreOffice)")
  endif()
endforeach()

set(_uno_libs)
foreach(_name uno_cppuhelpergcc3 uno_cppu uno_sal uno_salhelpergcc3)
  find_library(QUILLAN_LIB_${_name} ${_name} PATHS "${QUILLAN_LO_SDK_DIR}/lib" "${QUILLAN_LO_PROGRAM_DIR}" NO_DEFAULT_PATH REQUIRED)
  list(APPEND _uno_libs "${QUILLAN_LIB_${_name}}")
endforeach()

if(NOT TARGET quillan_uno_runtime)
  add_library(quillan_uno_runtime INTERFACE)
  target_compile_definitions(quillan_uno_runtime INTERFACE LINUX UNX CPPU_ENV=gcc3)
  # The UNO headers are third-party: keep their warnings out of ours.
  target_include_directories(quillan_uno_runtime SYSTEM INTERFACE "${QUILLAN_UNO_INCLUDE_DIR}")
  target_link_libraries(quillan_uno_runtime INTERFACE ${_uno_libs})
  target_link_options(quillan_uno_runtime INTERFACE "LINKER:-rpath,${QUILLAN_LO_PROGRAM_DIR}")
endif()

# UBSan's vptr check cannot follow UNO objects: the bridges build the
# vtables of their interface proxies at run time, without type information,
# so every call through a reference to a proxy (anything the office hands
# over the pipe) reads as a call on an object of the wrong type. Code that
# calls UNO interfaces is compiled without that one check in the sanitizer
# build; all other address and undefined-behaviour checks stay on.
function(quillan_uno_calls)
  if(QUILLAN_SANITIZE)
    foreach(_target IN LISTS ARGN)
      target_compile_options(${_target} PRIVATE -fno-sanitize=vptr)
    endforeach()
  endif()
endfunction()

function(quillan_uno_types target)
  cmake_parse_arguments(U "" "" "TYPES" ${ARGN})
  if(NOT U_TYPES)
    message(FATAL_ERROR "quillan_uno_types(${target}): no TYPES")
  endif()
  set(_out "${CMAKE_CURRENT_BINARY_DIR}/${target}-uno-types")
  set(_stamp "${_out}/.stamp")
  list(JOIN U_TYPES "$<SEMICOLON>" _typelist)
  add_custom_command(
    OUTPUT "${_stamp}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${_out}"
    COMMAND "${QUILLAN_CPPUMAKER}" -Gc "-O${_out}" "-T${_typelist}" ${QUILLAN_UNO_RDBS}
    COMMAND ${CMAKE_COMMAND} -E touch "${_stamp}"
    DEPENDS ${QUILLAN_UNO_RDBS}
    COMMENT "Generating UNO type headers for ${target}"
    VERBATIM)
  add_custom_target(${target}_uno_types DEPENDS "${_stamp}")
  add_dependencies(${target} ${target}_uno_types)
  target_include_directories(${target} SYSTEM PUBLIC "${_out}")
  target_link_libraries(${target} PUBLIC quillan_uno_runtime)
  quillan_uno_calls(${target})
endfunction()
