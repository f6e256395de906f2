add_library(pivanes_print_test_support STATIC print/PrintoutPdf.cpp)
target_link_libraries(pivanes_print_test_support PUBLIC pivanes_test_support)

pivanes_add_test(tst_PrintLayout print/tst_PrintLayout.cpp)
pivanes_add_test(tst_PrintPreview print/tst_PrintPreview.cpp)
target_link_libraries(tst_PrintPreview PRIVATE pivanes_print_test_support)

# Printing through a real CUPS queue: needs root to start its own cupsd, skipped otherwise.
pivanes_add_test_executable(tst_SystemPrinter print/tst_SystemPrinter.cpp)
target_link_libraries(tst_SystemPrinter PRIVATE pivanes_print_test_support)
add_test(NAME system_printer COMMAND bash ${CMAKE_SOURCE_DIR}/tools/cups-test.sh
                                     $<TARGET_FILE:tst_SystemPrinter>)
set_tests_properties(system_printer PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8"
    SKIP_RETURN_CODE 77 TIMEOUT 300)
