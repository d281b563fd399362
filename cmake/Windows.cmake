# What a build for Windows adds (scripts/package-windows.sh makes one).

# The game is a window program: no console, entered through WinMain.
if(TARGET pelvanta)
  set_target_properties(pelvanta PROPERTIES WIN32_EXECUTABLE ON)
endif()

# The name of the object the running game holds (platform/RunningMark.h), so
# that its installer and uninstaller see it and never replace or remove the
# files of a running game. The programs' resources and the installer take
# it, the version and the author from the two files written here.
set(PELVANTA_RUNNING_MARK [[Local\Pelvanta]])
string(REPLACE [[\]] [[\\]] PELVANTA_RUNNING_MARK_C "${PELVANTA_RUNNING_MARK}")
set(PELVANTA_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
configure_file(resources/windows/Product.h.in ${PELVANTA_WINDOWS_DIR}/Product.h @ONLY)
configure_file(packaging/windows/product.nsh.in ${PELVANTA_WINDOWS_DIR}/product.nsh @ONLY)
target_include_directories(pelvanta_os PRIVATE ${PELVANTA_WINDOWS_DIR})

# Each program carries the icon, its version details and the manifest
# (resources/windows). The icon is the one the build paints for Linux.
if(TARGET app_icons)
  set(pelvanta_rc_dir ${CMAKE_SOURCE_DIR}/resources/windows)
  foreach(program IN ITEMS pelvanta pelvanta-archive pelvanta-engine)
    if(NOT TARGET ${program})
      continue()
    endif()
    target_sources(${program} PRIVATE ${pelvanta_rc_dir}/${program}.rc)
    set_source_files_properties(${pelvanta_rc_dir}/${program}.rc TARGET_DIRECTORY ${program}
      PROPERTIES
        INCLUDE_DIRECTORIES "${PELVANTA_ICONS_DIR};${pelvanta_rc_dir};${PELVANTA_WINDOWS_DIR}"
        OBJECT_DEPENDS "${PELVANTA_ICONS_DIR}/pelvanta.ico;${pelvanta_rc_dir}/Program.rc;${pelvanta_rc_dir}/pelvanta.manifest;${PELVANTA_WINDOWS_DIR}/Product.h")
    add_dependencies(${program} app_icons)
  endforeach()
endif()
