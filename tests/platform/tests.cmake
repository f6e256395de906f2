pivanes_add_test(tst_Controls platform/tst_Controls.cpp)
pivanes_add_test(tst_FileWriter platform/tst_FileWriter.cpp)
