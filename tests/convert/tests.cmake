add_library(pivanes_jet_testing STATIC convert/JetWriter.cpp convert/JetTesting.cpp)
target_include_directories(pivanes_jet_testing PUBLIC convert)
target_link_libraries(pivanes_jet_testing PUBLIC Qt6::Core Qt6::Test SQLite::SQLite3)

# The conversion's own tests need no windows; the start-up's offer of a conversion does.
function(pivanes_add_convert_test name)
    pivanes_add_engine_test(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE pivanes_convert pivanes_jet_testing)
endfunction()

pivanes_add_convert_test(tst_JetWriter convert/tst_JetWriter.cpp)
pivanes_add_convert_test(tst_JetConversion convert/tst_JetConversion.cpp)

add_executable(convert_child convert/convert_child.cpp)
target_link_libraries(convert_child PRIVATE pivanes_convert)
pivanes_add_convert_test(tst_JetConversionKill convert/tst_JetConversionKill.cpp)
pivanes_test_starts(tst_JetConversionKill CONVERT_CHILD convert_child)

pivanes_add_test(tst_JetAtStart convert/tst_JetAtStart.cpp)
target_link_libraries(tst_JetAtStart PRIVATE pivanes_jet_testing)
target_link_libraries(tst_JetAtStart PRIVATE pivanes_maintenance_test_support)
target_include_directories(tst_JetAtStart PRIVATE maintenance)
pivanes_test_starts(tst_JetAtStart PIVANES_PROGRAM pivanes)

pivanes_add_convert_test(tst_Exchange convert/tst_Exchange.cpp)
pivanes_test_uses_server(tst_Exchange)
