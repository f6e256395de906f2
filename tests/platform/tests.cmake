pivanes_add_test(tst_Controls platform/tst_Controls.cpp)
