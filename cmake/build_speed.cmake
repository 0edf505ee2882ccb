# What makes the build quicker where it is installed; nothing here is needed to build.

# The compile cache, unless another launcher is given. A cold cache (a fresh machine) gains
# nothing; a warm one makes a rebuild of unchanged files almost free.
find_program(BRENVALE_CCACHE ccache)
if(BRENVALE_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${BRENVALE_CCACHE})
endif()
# ccache reuses a compile that includes a precompiled header only when told that the header's
# macros and time stamps may be trusted (the build makes the header from the same sources).
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache$")
    set(CMAKE_CXX_COMPILER_LAUNCHER
        ${CMAKE_COMMAND} -E env
        "CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime"
        ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

# lld links the programs several times faster than the default linker (Debian's lld).
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld BRENVALE_HAS_LLD)
if(BRENVALE_HAS_LLD)
    add_link_options(-fuse-ld=lld)
endif()

# Several sources compiled as one: the standard, Qt and GoogleTest headers are read once for a
# batch instead of once per file, which roughly halves a full build on two cores. A developer
# who rebuilds single files often may turn it off.
option(BRENVALE_UNITY_BUILD "Compile the sources in batches" ON)
if(BRENVALE_UNITY_BUILD)
    set(CMAKE_UNITY_BUILD ON)
    set(CMAKE_UNITY_BUILD_BATCH_SIZE 12)
endif()
