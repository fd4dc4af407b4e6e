# The pictures, icon and meshes are drawn by a native generator (tools/) during the build.
# ASSETGEN may name a generator built elsewhere (for example on Windows).
set(GAME_ICON ${CMAKE_BINARY_DIR}/generated/quorvantis.ico)
set(ASSET_STAMP ${CMAKE_BINARY_DIR}/generated/assets.stamp)
set(ASSETGEN "" CACHE FILEPATH "A prebuilt asset generator; empty builds tools/ with the host compiler")

if(ASSETGEN)
    set(assetgen_exe ${ASSETGEN})
    set(assetgen_deps ${ASSETGEN})
else()
    include(ExternalProject)
    set(assetgen_exe ${CMAKE_BINARY_DIR}/tools/bin/assetgen)
    # Clear the cross toolchain so the generator is built for the host.
    ExternalProject_Add(assetgen_build
        SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
        BINARY_DIR ${CMAKE_BINARY_DIR}/tools
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
                   -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${CMAKE_BINARY_DIR}/tools/bin
                   -DCMAKE_TOOLCHAIN_FILE=
                   -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        BUILD_BYPRODUCTS ${assetgen_exe})
    set(assetgen_deps assetgen_build)
endif()

file(GLOB_RECURSE assetgen_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp ${CMAKE_SOURCE_DIR}/tools/*.h)
add_custom_command(
    OUTPUT ${ASSET_STAMP} ${GAME_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${GAME_DIR} ${CMAKE_BINARY_DIR}/generated
    COMMAND ${assetgen_exe} ${GAME_DIR} ${GAME_ICON}
    COMMAND ${CMAKE_COMMAND} -E touch ${ASSET_STAMP}
    DEPENDS ${assetgen_deps} ${assetgen_sources}
    COMMENT "Drawing the game's pictures and meshes")
add_custom_target(game_assets DEPENDS ${ASSET_STAMP})
