# Libraries the program needs only for a later command (the common dialogs, the folder browser,
# dropped files, COM for the browser) are loaded on first use, not at start: for each a delay-load
# import library is made with dlltool from the functions the program calls, each line
# "<function> <argument bytes>", commas between. The program's import table is checked after every link.
set(OVRIN_DELAY_FUNCTIONS
  "comdlg32:ChooseFontA 4,CommDlgExtendedError 0,GetOpenFileNameA 4,GetSaveFileNameA 4,PrintDlgA 4"
  "shell32:DragFinish 4,DragQueryFileA 16,SHBrowseForFolderA 4,SHGetPathFromIDListA 8"
  "ole32:CoInitialize 4,CoTaskMemFree 4,CoUninitialize 0")
set(OVRIN_DELAY_DLLS "")
set(OVRIN_DELAY_LIBS "")
foreach(_entry IN LISTS OVRIN_DELAY_FUNCTIONS)
  string(REPLACE ":" ";" _entry "${_entry}")
  list(GET _entry 0 _dll)
  list(GET _entry 1 _functions)
  string(REPLACE "," ";" _functions "${_functions}")
  set(_def "LIBRARY ${_dll}.dll\nEXPORTS\n")
  foreach(_function IN LISTS _functions)
    string(REPLACE " " ";" _f "${_function}")
    list(GET _f 0 _name)
    list(GET _f 1 _bytes)
    if(OVRIN_ARCH STREQUAL "i686")
      string(APPEND _def "  ${_name}@${_bytes}\n")
    else()
      string(APPEND _def "  ${_name}\n")
    endif()
  endforeach()
  set(_def_file ${CMAKE_BINARY_DIR}/delay/${_dll}.def)
  set(_lib ${CMAKE_BINARY_DIR}/delay/lib${_dll}-delay.a)
  file(CONFIGURE OUTPUT ${_def_file} CONTENT "${_def}")
  add_custom_command(OUTPUT ${_lib}
    COMMAND ${OVRIN_DLLTOOL} -k -d ${_def_file} -y ${_lib} -D ${_dll}.dll
    DEPENDS ${_def_file}
    COMMENT "Delay-load library of ${_dll}.dll")
  list(APPEND OVRIN_DELAY_LIBS ${_lib})
  list(APPEND OVRIN_DELAY_DLLS ${_dll}.dll)
endforeach()
add_custom_target(ovrin_delay_libs DEPENDS ${OVRIN_DELAY_LIBS})
