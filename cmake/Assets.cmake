# The pictures, icon, meshes and test effects are made by native tools (tools/) during the build.
# ASSETGEN may name a generator built elsewhere (for example on Windows).
set(GAME_ICON ${CMAKE_BINARY_DIR}/generated/quorvantis.ico)
set(ASSET_STAMP ${CMAKE_BINARY_DIR}/generated/assets.stamp)
set(ASSETGEN "" CACHE FILEPATH "A prebuilt asset generator; empty builds tools/ with the host compiler")

if(ASSETGEN)
    set(assetgen_exe ${ASSETGEN})
    set(assetgen_deps ${ASSETGEN})
    get_filename_component(tools_bin ${ASSETGEN} DIRECTORY)
    set(fxwriter_exe ${tools_bin}/fxwriter${CMAKE_HOST_EXECUTABLE_SUFFIX})
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
                   -DCMAKE_CXX_COMPILER=c++
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        BUILD_BYPRODUCTS ${assetgen_exe} ${CMAKE_BINARY_DIR}/tools/bin/fxwriter)
    set(assetgen_deps assetgen_build)
    set(fxwriter_exe ${CMAKE_BINARY_DIR}/tools/bin/fxwriter)
endif()

file(GLOB_RECURSE assetgen_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp ${CMAKE_SOURCE_DIR}/tools/*.h)
# The plain headers of layout figures, folders and file names that the generator shares with the game.
list(APPEND assetgen_sources
    ${CMAKE_SOURCE_DIR}/services/screen_layout.h
    ${CMAKE_SOURCE_DIR}/services/file_path.h
    ${CMAKE_SOURCE_DIR}/services/game_folders.h
    ${CMAKE_SOURCE_DIR}/input/asset_files.h
    ${CMAKE_SOURCE_DIR}/ui/button_layout.h
    ${CMAKE_SOURCE_DIR}/ui/asset_files.h
    ${CMAKE_SOURCE_DIR}/game/layout.h
    ${CMAKE_SOURCE_DIR}/game/asset_files.h
    ${CMAKE_SOURCE_DIR}/shell/title_layout.h
    ${CMAKE_SOURCE_DIR}/shell/asset_files.h)
add_custom_command(
    OUTPUT ${ASSET_STAMP} ${GAME_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${GAME_DIR} ${CMAKE_BINARY_DIR}/generated
    COMMAND ${assetgen_exe} ${GAME_DIR} ${GAME_ICON}
    COMMAND ${CMAKE_COMMAND} -E touch ${ASSET_STAMP}
    DEPENDS ${assetgen_deps} ${assetgen_sources}
    COMMENT "Drawing the game's pictures and meshes")

# The test effects in their compiled form (Wine's effect framework cannot compile .fx source with
# techniques), and one source that does not compile, for the compiler's error path.
set(EFFECT_DIR ${GAME_DIR}/Data/Effects)
set(EFFECT_STAMP ${CMAKE_BINARY_DIR}/generated/effects.stamp)
file(GLOB effect_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/fxwriter/effects/*.fx)
add_custom_command(
    OUTPUT ${EFFECT_STAMP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${EFFECT_DIR}
    COMMAND ${fxwriter_exe} ${EFFECT_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/tools/fxwriter/effects/guasto.fx ${EFFECT_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${EFFECT_STAMP}
    DEPENDS ${ASSET_STAMP} ${assetgen_deps} ${assetgen_sources} ${effect_sources}
            ${CMAKE_SOURCE_DIR}/scene/effect_semantics.h
    COMMENT "Writing the test effects")
add_custom_target(game_assets DEPENDS ${ASSET_STAMP} ${EFFECT_STAMP})
