# The demo prefix: generated from data/demo and listed as the program lists it.
sw_add_test(demo_prefix_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/demo_prefix_test.cpp LIBS sw_demo_maker swcore GUI)
