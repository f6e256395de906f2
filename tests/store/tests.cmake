pivanes_add_test(tst_CardStore store/tst_CardStore.cpp)
pivanes_add_test(tst_StoreFaults store/tst_StoreFaults.cpp)

add_executable(title_writer_child store/title_writer_child.cpp)
target_link_libraries(title_writer_child PRIVATE pivanes_store)
pivanes_add_test(tst_TitleIndex store/tst_TitleIndex.cpp)
add_dependencies(tst_TitleIndex title_writer_child)
target_compile_definitions(tst_TitleIndex PRIVATE
                           TITLE_WRITER_CHILD="$<TARGET_FILE:title_writer_child>")
