# The Windows program: its icon and version in a resource script, compiled
# into the exe.
set(TESSMARK_ICON ${CMAKE_CURRENT_SOURCE_DIR}/resources/windows/tessmark.ico)
configure_file(resources/windows/tessmark.rc.in ${CMAKE_CURRENT_BINARY_DIR}/tessmark.rc @ONLY)
enable_language(RC)
target_sources(tessmark PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tessmark.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/tessmark.rc PROPERTIES
                            OBJECT_DEPENDS ${TESSMARK_ICON})
