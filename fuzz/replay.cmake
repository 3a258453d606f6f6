# Every fuzz target also builds as an ordinary program that replays the inputs kept under
# tests/data/malformed/<name>/ (findings of the fuzz campaigns and a small corpus of damaged
# files), so each test build runs them under its own sanitizers.
file(GLOB fuzz_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/fuzz_*.cpp)
foreach(source ${fuzz_sources})
    get_filename_component(target ${source} NAME_WE)
    string(REPLACE "fuzz_" "" name ${target})
    set(inputs ${PROJECT_SOURCE_DIR}/tests/data/malformed/${name})
    if(NOT EXISTS ${inputs})
        continue()
    endif()
    add_executable(replay_${name} ${source} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(replay_${name} PRIVATE pelmar_core pelmar_warnings)
    add_test(NAME replay_${name} COMMAND replay_${name} ${inputs})
endforeach()
