# What each layer may include: its own folder and the layers below it, never one above; the
# engine (platform_core, store, convert) never reaches QtWidgets.
set(layer_reach
    "platform_core: platform"
    "store: platform store"
    "convert: platform store convert"
    "platform: platform widgets"
    "shell: platform store convert shell widgets"
    "browse: platform store convert shell browse widgets"
    "edit: platform store convert shell browse edit widgets"
    "print: platform store convert shell print widgets"
    "maintenance: platform store convert shell maintenance widgets")
set(layer_folders platform store convert shell browse edit print maintenance widgets)

# The include path a layer's own sources are compiled with.
function(pivanes_layer_include_flags layer out)
    set(${out} "-I$<JOIN:$<TARGET_PROPERTY:pivanes_${layer},INCLUDE_DIRECTORIES>,$<SEMICOLON>-I>"
        PARENT_SCOPE)
endfunction()

foreach(entry IN LISTS layer_reach)
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 layer)
    list(GET entry 1 reach)
    separate_arguments(reach UNIX_COMMAND "${reach}")
    set(expectations)
    foreach(folder IN LISTS layer_folders)
        string(TOUPPER ${folder} name)
        if(folder IN_LIST reach)
            list(APPEND expectations -DREACHES_${name}=1)
        else()
            list(APPEND expectations -DREACHES_${name}=0)
        endif()
    endforeach()
    pivanes_layer_include_flags(${layer} includes)
    add_test(NAME layer_reach_${layer}
             COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only ${includes} ${expectations}
                     ${CMAKE_CURRENT_SOURCE_DIR}/layers/LayerReach.cpp
             COMMAND_EXPAND_LISTS)
endforeach()

# The failure a developer sees: the upper layer's header is not found at all.
pivanes_layer_include_flags(store includes)
add_test(NAME layer_wrong_include_fails
         COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only ${includes}
                 ${CMAKE_CURRENT_SOURCE_DIR}/layers/WrongInclude.cpp
         COMMAND_EXPAND_LISTS)
set_tests_properties(layer_wrong_include_fails PROPERTIES
                     PASS_REGULAR_EXPRESSION "shell/MainWindow\\.h: No such file or directory")

add_test(NAME engine_names_stay_inside
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/layers/EngineNames.cmake)

# The engine's test programs link neither QtGui nor QtWidgets.
get_property(engine_tests GLOBAL PROPERTY pivanes_engine_tests)
set(engine_programs)
foreach(test IN LISTS engine_tests)
    list(APPEND engine_programs $<TARGET_FILE:${test}>)
endforeach()
add_test(NAME engine_tests_without_widgets
         COMMAND ${CMAKE_COMMAND} -P ${CMAKE_CURRENT_SOURCE_DIR}/layers/EngineTestsAlone.cmake
                 ${engine_programs})
