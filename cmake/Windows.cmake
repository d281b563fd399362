# What a build for Windows adds (scripts/package-windows.sh makes one).

# The game is a window program: no console, entered through WinMain.
if(TARGET pelvanta)
  set_target_properties(pelvanta PROPERTIES WIN32_EXECUTABLE ON)
endif()
