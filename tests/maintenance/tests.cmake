add_library(pivanes_maintenance_test_support STATIC maintenance/MaintenanceTestSupport.cpp)
target_link_libraries(pivanes_maintenance_test_support PUBLIC pivanes_test_support)

function(pivanes_add_maintenance_test name)
    pivanes_add_test(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE pivanes_maintenance_test_support)
endfunction()

pivanes_add_maintenance_test(tst_KorSauve maintenance/tst_KorSauve.cpp)
pivanes_add_maintenance_test(tst_Restore maintenance/tst_Restore.cpp)
pivanes_add_maintenance_test(tst_Compaction maintenance/tst_Compaction.cpp)
pivanes_add_maintenance_test(tst_HelpAndWebPage maintenance/tst_HelpAndWebPage.cpp)
pivanes_add_maintenance_test(tst_Pause maintenance/tst_Pause.cpp)

add_executable(crash_child maintenance/crash_child.cpp)
target_link_libraries(crash_child PRIVATE pivanes_core)
pivanes_add_maintenance_test(tst_CrashSafety maintenance/tst_CrashSafety.cpp)
add_dependencies(tst_CrashSafety crash_child)
target_compile_definitions(tst_CrashSafety PRIVATE CRASH_CHILD="$<TARGET_FILE:crash_child>")
