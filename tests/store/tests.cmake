pivanes_add_engine_test(tst_Collection store/tst_Collection.cpp)
pivanes_test_uses_server(tst_Collection)
pivanes_add_engine_test(tst_CardCursor store/tst_CardCursor.cpp)
pivanes_add_engine_test(tst_StoreFaults store/tst_StoreFaults.cpp)
pivanes_test_uses_server(tst_StoreFaults)

add_executable(title_writer_child store/title_writer_child.cpp)
target_link_libraries(title_writer_child PRIVATE pivanes_store)
pivanes_add_engine_test(tst_TitleIndex store/tst_TitleIndex.cpp)
pivanes_test_starts(tst_TitleIndex TITLE_WRITER_CHILD title_writer_child)

add_executable(server_child store/server_child.cpp)
target_link_libraries(server_child PRIVATE pivanes_store)
pivanes_add_engine_test(tst_ServerCollection store/tst_ServerCollection.cpp)
pivanes_test_starts(tst_ServerCollection SERVER_CHILD server_child)
pivanes_test_uses_server(tst_ServerCollection)
set_property(TEST tst_ServerCollection APPEND PROPERTY ENVIRONMENT
             PIVANES_TEST_CLUSTER_SCRIPT=${CMAKE_SOURCE_DIR}/tools/pg-test-cluster.sh)

pivanes_add_engine_test(tst_TextSearch store/tst_TextSearch.cpp)
pivanes_test_uses_server(tst_TextSearch)

pivanes_add_engine_test(tst_ServerCopy store/tst_ServerCopy.cpp)
pivanes_test_uses_server(tst_ServerCopy)
