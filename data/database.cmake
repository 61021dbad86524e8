# The description database: sw-dbcompile turns the readable sources into the binary files that
# the program loads from its folder.
file(GLOB SW_DATABASE_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/database/*.db)
list(SORT SW_DATABASE_SOURCES)
set(SW_DATABASE_FILES
    ${SW_PROGRAM_DIR}/Search.dat
    ${SW_PROGRAM_DIR}/Des_English.dat
    ${SW_PROGRAM_DIR}/Des_German.dat)

add_custom_command(OUTPUT ${SW_DATABASE_FILES}
    COMMAND sw-dbcompile --require-examples --output ${SW_PROGRAM_DIR} ${SW_DATABASE_SOURCES}
    DEPENDS sw-dbcompile ${SW_DATABASE_SOURCES}
    COMMENT "Compiling the description database"
    VERBATIM)
# Named apart from the sw_database library, which holds the loaders.
add_custom_target(sw_database_files ALL DEPENDS ${SW_DATABASE_FILES})

install(FILES ${SW_DATABASE_FILES} DESTINATION ${SW_INSTALL_ROOT}/Program)
