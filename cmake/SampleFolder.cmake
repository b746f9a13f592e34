# The bundled program folder (profiles, definition and formula files, demo
# logs) is copied beside the executables, where the program looks for it.
add_custom_target(sample_folder ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/samples ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
  COMMENT "Copying the sample program folder beside the executables")
