pivanes_add_test(tst_CardStore store/tst_CardStore.cpp)
