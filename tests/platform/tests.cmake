pivanes_add_test(tst_Controls platform/tst_Controls.cpp)
# The file writer belongs to the engine: its test runs without widgets.
pivanes_add_engine_test(tst_FileWriter platform/tst_FileWriter.cpp)
pivanes_add_engine_test(tst_LineEnds platform/tst_LineEnds.cpp)
