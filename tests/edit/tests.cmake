pivanes_add_test(tst_KorAjouter edit/tst_KorAjouter.cpp edit/CardFormTesting.cpp)
pivanes_add_test(tst_KorModifier edit/tst_KorModifier.cpp edit/CardFormTesting.cpp)
pivanes_add_test(tst_KorModifie edit/tst_KorModifie.cpp edit/CardFormTesting.cpp browse/GridTesting.cpp)
pivanes_add_test(tst_CategoryButtons edit/tst_CategoryButtons.cpp edit/CardFormTesting.cpp
                 browse/GridTesting.cpp)
