# qb_add_library(<name> SOURCES <files>... [PUBLIC <libs>...] [PRIVATE <libs>...])
#
# One static library per layer or feature. Its public headers live in `include/<prefix>/` next
# to its CMakeLists.txt and are the only ones other targets can reach; everything else in the
# folder is private to it. A target sees another library's headers only by linking it, so an
# include of a layer above (or beside) fails to compile.
function(qb_add_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;PUBLIC;PRIVATE")
    add_library(${name} STATIC ${arg_SOURCES})
    target_include_directories(${name}
        PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
        PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${arg_PUBLIC} PRIVATE ${arg_PRIVATE} qb_warnings)
endfunction()
