# Runs first in every install and refuses to start one that could not finish,
# so that a failed install leaves nothing half-written. Given:
#   pelvanta_built_files   files the build must have made
#   pelvanta_destinations  install folders, relative to the prefix or absolute

# The messages start with a space so that CMake prints them unwrapped, on one
# line after its own "CMake Error at" line.

foreach(file IN LISTS pelvanta_built_files)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR " pelvanta install: the build is incomplete (no ${file}); run cmake --build first")
  endif()
endforeach()

foreach(dir IN LISTS pelvanta_destinations)
  if(NOT IS_ABSOLUTE "${dir}")
    set(dir "${CMAKE_INSTALL_PREFIX}/${dir}")
  endif()
  set(dir "$ENV{DESTDIR}${dir}")
  # The nearest part of the path that exists must be a folder we may write in.
  set(probe "${dir}")
  while(NOT EXISTS "${probe}")
    get_filename_component(parent "${probe}" DIRECTORY)
    if(parent STREQUAL probe OR parent STREQUAL "")
      break()
    endif()
    set(probe "${parent}")
  endwhile()
  if(NOT IS_DIRECTORY "${probe}")
    message(FATAL_ERROR " pelvanta install: cannot install into ${dir}: ${probe} is not a folder")
  endif()
  set(marker "${probe}/.pelvanta-install-probe")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E touch "${marker}"
                  RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
  if(failed)
    message(FATAL_ERROR " pelvanta install: cannot install into ${dir}: ${probe} is not writable")
  endif()
  file(REMOVE "${marker}")
endforeach()
