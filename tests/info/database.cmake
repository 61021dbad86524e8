# Description database: loaders, pattern matching, record lookup, the database compiler and the
# shipped database. Built against the database libraries alone so that work in progress elsewhere in
# the core cannot break them.
sw_add_test(database_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/database_test.cpp LIBS sw_database)
sw_add_test(dbcompiler_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/dbcompiler_test.cpp LIBS sw_dbcompiler sw_database)
