add_library(pivanes_jet_testing STATIC convert/JetWriter.cpp convert/JetTesting.cpp)
target_include_directories(pivanes_jet_testing PUBLIC convert)
target_link_libraries(pivanes_jet_testing PUBLIC Qt6::Core Qt6::Test SQLite::SQLite3)

function(pivanes_add_convert_test name)
    pivanes_add_test(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE pivanes_jet_testing)
endfunction()

pivanes_add_convert_test(tst_JetWriter convert/tst_JetWriter.cpp)
pivanes_add_convert_test(tst_JetConversion convert/tst_JetConversion.cpp)
