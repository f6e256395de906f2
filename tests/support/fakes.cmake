# The fakes that tests and tools put in the place of the disk's calls, the clock and the desktop.
# Built only for what links them.
add_library(pivanes_engine_fakes STATIC EXCLUDE_FROM_ALL
            ${CMAKE_CURRENT_LIST_DIR}/EngineFakes.cpp)
target_include_directories(pivanes_engine_fakes PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(pivanes_engine_fakes PUBLIC pivanes_platform_core)

add_library(pivanes_desktop_fakes STATIC EXCLUDE_FROM_ALL
            ${CMAKE_CURRENT_LIST_DIR}/DesktopFakes.cpp)
target_link_libraries(pivanes_desktop_fakes PUBLIC pivanes_engine_fakes pivanes_platform)
