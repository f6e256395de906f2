pivanes_add_test(tst_CategoryViewer browse/tst_CategoryViewer.cpp)
pivanes_add_test(tst_GridPaging browse/tst_GridPaging.cpp)
pivanes_add_test(tst_KorListe browse/tst_KorListe.cpp browse/GridTesting.cpp)
pivanes_add_test(tst_KorRecherche browse/tst_KorRecherche.cpp browse/GridTesting.cpp
                 edit/CardFormTesting.cpp)
pivanes_add_test(tst_UnusualCards browse/tst_UnusualCards.cpp browse/GridTesting.cpp edit/CardFormTesting.cpp)
pivanes_add_test(tst_PagesAgainstCollection browse/tst_PagesAgainstCollection.cpp browse/GridTesting.cpp edit/CardFormTesting.cpp)
