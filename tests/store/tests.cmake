pivanes_add_test(tst_CardStore store/tst_CardStore.cpp)
pivanes_add_test(tst_TitleArray store/tst_TitleArray.cpp)
pivanes_add_test(tst_StoreFaults store/tst_StoreFaults.cpp)
