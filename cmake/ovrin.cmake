# Build helpers shared by the program, the test hosts and the plug-ins.

# --- the export list of the main program -------------------------------------------------------
# host/exports.txt names every exported host service, one per line; the two exports that use the
# standard Windows convention carry "stdcall <argument bytes>". From it come the module-definition
# file of every program named ovrin.exe and the import library the plug-ins link against.
set(OVRIN_EXPORTS_FILE ${CMAKE_SOURCE_DIR}/host/exports.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${OVRIN_EXPORTS_FILE})
file(STRINGS ${OVRIN_EXPORTS_FILE} _ovrin_export_lines REGEX "^[A-Za-z]")
set(_def "EXPORTS\n")
set(_imp "LIBRARY ovrin.exe\nEXPORTS\n")
set(_expected "")
foreach(_line IN LISTS _ovrin_export_lines)
  string(REGEX REPLACE "[ \t]+" ";" _f "${_line}")
  list(GET _f 0 _name)
  list(LENGTH _f _n)
  if(_n GREATER 2)
    list(GET _f 2 _bytes)
    if(OVRIN_ARCH STREQUAL "i686")
      string(APPEND _def "  ${_name} = ${_name}@${_bytes}\n")
    else()
      string(APPEND _def "  ${_name}\n")
    endif()
    string(APPEND _expected "${_name}\n")
  else()
    # C services: the 32-bit export names carry the C decoration, a leading underscore.
    if(OVRIN_ARCH STREQUAL "i686")
      string(APPEND _def "  _${_name} = ${_name}\n")
      string(APPEND _imp "  ${_name} == _${_name}\n")
      string(APPEND _expected "_${_name}\n")
    else()
      string(APPEND _def "  ${_name}\n")
      string(APPEND _imp "  ${_name}\n")
      string(APPEND _expected "${_name}\n")
    endif()
  endif()
endforeach()
set(OVRIN_EXPORTS_DEF ${CMAKE_BINARY_DIR}/ovrin-exports.def)
set(OVRIN_EXPECTED_EXPORTS ${CMAKE_BINARY_DIR}/ovrin-exports.expected)
file(CONFIGURE OUTPUT ${OVRIN_EXPORTS_DEF} CONTENT "${_def}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/ovrin-import.def CONTENT "${_imp}")
file(CONFIGURE OUTPUT ${OVRIN_EXPECTED_EXPORTS} CONTENT "${_expected}")

set(OVRIN_IMPORT_LIB ${CMAKE_BINARY_DIR}/libovrin.a)
add_custom_command(OUTPUT ${OVRIN_IMPORT_LIB}
  COMMAND ${OVRIN_DLLTOOL} -d ${CMAKE_BINARY_DIR}/ovrin-import.def -l ${OVRIN_IMPORT_LIB}
  DEPENDS ${CMAKE_BINARY_DIR}/ovrin-import.def
  COMMENT "Import library of ovrin.exe")
add_custom_target(ovrin_import_lib DEPENDS ${OVRIN_IMPORT_LIB})
add_library(ovrin_imports INTERFACE)
add_dependencies(ovrin_imports ovrin_import_lib)
target_link_libraries(ovrin_imports INTERFACE ${OVRIN_IMPORT_LIB})

set(OVRIN_WIN32_LIBS user32 gdi32 comctl32 comdlg32 shell32 advapi32 winmm ole32 uuid)

# A program that exports the host services under the name ovrin.exe: the program itself, and the
# test host that loads plug-ins. The export table is checked after every link.
function(ovrin_link_host_program target)
  target_link_libraries(${target} PRIVATE ovrin_host ${OVRIN_WIN32_LIBS})
  target_link_options(${target} PRIVATE ${OVRIN_STATIC_LINK} ${OVRIN_EXPORTS_DEF})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ovrin LINK_DEPENDS ${OVRIN_EXPORTS_DEF})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/tools/check-exports.sh ${OVRIN_OBJDUMP} $<TARGET_FILE:${target}>
            --exact ${OVRIN_EXPECTED_EXPORTS}
    COMMENT "Checking the export table of $<TARGET_FILE_NAME:${target}>")
endfunction()

# --- plug-in modules ---------------------------------------------------------------------------
# ovrin_plugin(<name> KIND <dir> [SAVE] [OUTPUT_DIR <dir>] [EXPORTS <names>...] SOURCES <files>...)
# KIND is the directory of the application directory the module goes to (Draw, Effect, ...).
# Save modules link nothing of the main program. Every module's exports are checked: plain names,
# no decoration, and the EXPORTS given must be present.
function(ovrin_plugin name)
  cmake_parse_arguments(P "SAVE" "KIND;OUTPUT_DIR" "SOURCES;EXPORTS;LIBS" ${ARGN})
  add_library(${name} SHARED ${P_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".ovp")
  if(P_OUTPUT_DIR)
    set(_out ${P_OUTPUT_DIR})
  else()
    set(_out ${OVRIN_APP_DIR}/${P_KIND})
    # Delivered with the program: the application target builds it.
    set_property(GLOBAL APPEND PROPERTY OVRIN_APP_MODULES ${name})
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_out} LIBRARY_OUTPUT_DIRECTORY ${_out})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/include ${CMAKE_SOURCE_DIR}/plugins/common)
  ovrin_reuse_pch(${name})
  if(NOT P_SAVE)
    target_link_libraries(${name} PRIVATE ovrin_imports)
  endif()
  target_link_libraries(${name} PRIVATE ${P_LIBS} ${OVRIN_WIN32_LIBS})
  # --kill-at: entry points are exported by their plain names on i686 as well. Shipped without
  # symbols: twenty of them are mapped at every start.
  target_link_options(${name} PRIVATE ${OVRIN_STATIC_LINK} -Wl,--kill-at -s)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/tools/check-exports.sh ${OVRIN_OBJDUMP} $<TARGET_FILE:${name}>
            --plain ${P_EXPORTS}
    COMMENT "Checking the export table of $<TARGET_FILE_NAME:${name}>")
endfunction()
