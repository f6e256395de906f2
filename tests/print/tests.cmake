pivanes_add_test(tst_PrintLayout print/tst_PrintLayout.cpp)
pivanes_add_test(tst_ImprimeR print/tst_ImprimeR.cpp)
