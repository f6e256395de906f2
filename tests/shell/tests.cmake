pivanes_add_test(tst_FormZoomed shell/tst_FormZoomed.cpp)
pivanes_add_test(tst_Startup shell/tst_Startup.cpp)
pivanes_add_test(tst_MainWindow shell/tst_MainWindow.cpp)
pivanes_add_test(tst_Keyboard shell/tst_Keyboard.cpp browse/GridTesting.cpp)
