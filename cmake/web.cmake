# The browser build's programs (emcmake cmake, see scripts/setup.sh web):
#   quorvatide       the page's game: quorvatide.js, .wasm and .data (the Assets preloaded, but
#                    for the music, which the page fetches from music/ once the game has
#                    started), with the page of platform/web around it, gathered into
#                    dist/web by scripts/setup.sh web
#   quorvatide_node  the same program for node, on the machine's own files: --check-replay
#   qv_tests         the unit tests under node
# The balance lab, the benchmarks, the fuzz targets and the packages are desktop tools: not
# built here.
set(QV_WEB_DIR ${CMAKE_SOURCE_DIR}/platform/web)
find_program(QV_NODE node REQUIRED)
# Debian's emscripten output wants its modules, and no fetch of node's own.
set(QV_NODE_RUN ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs ${QV_NODE} --no-experimental-fetch)
set(QV_NODE_LINK "SHELL:-s ENVIRONMENT=node" "SHELL:-s NODERAWFS=1" "SHELL:-s EXIT_RUNTIME=1")

add_executable(quorvatide app/main.cpp)
target_link_libraries(quorvatide PRIVATE ${QV_HOST} qv_frontend qv_cli qv_crash_hooks)
target_link_options(quorvatide PRIVATE
  "SHELL:-s ENVIRONMENT=web"
  "SHELL:-s EXPORTED_FUNCTIONS=[\"_main\",\"_qv_web_crash\",\"_qv_web_crash_path\",\"_qv_web_rescale\",\"_qv_web_fullscreen\",\"_qv_web_hidden\",\"_qv_web_replay_path\",\"_qv_web_flush_replay\",\"_qv_web_frame_stats\",\"_qv_web_debug_log\",\"_qv_web_music_arrived\",\"_qv_web_music\",\"_qv_web_pointer\",\"_qv_web_pause\",\"_qv_web_menu\",\"_qv_web_play_state\",\"_qv_web_check\"]"
  "SHELL:-s EXPORTED_RUNTIME_METHODS=[\"ccall\",\"UTF8ToString\",\"FS\",\"addRunDependency\",\"removeRunDependency\",\"ENV\"]"
  "SHELL:-s MAXIMUM_MEMORY=1024MB"
  "SHELL:-s FORCE_FILESYSTEM=1"
  # quorvatide.js.symbols: the name of each function by its index, for the crash report's
  # backtrace (not part of the page).
  --emit-symbol-map
  "SHELL:--pre-js ${QV_WEB_DIR}/storage.js"
  "SHELL:--pre-js ${QV_WEB_DIR}/pre.js"
  "SHELL:--preload-file ${QV_ASSET_DIR}@/Assets"
  "SHELL:--exclude-file ${QV_ASSET_DIR}/rmusic*")
set_property(TARGET quorvatide APPEND PROPERTY LINK_DEPENDS ${QV_WEB_DIR}/storage.js ${QV_WEB_DIR}/pre.js ${QV_ASSETS_STAMP} ${QV_WEB_MUSIC})
add_dependencies(quorvatide assets)
# The page beside the program, so that the build folder can be served as it is: index.html,
# the web app manifest, the icons (drawn by the native build's generator) and, once all of
# them are there, the service worker that keeps this version of them for playing offline.
add_custom_target(page ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QV_WEB_DIR}/index.html
          ${QV_WEB_DIR}/manifest.webmanifest ${CMAKE_BINARY_DIR}/
  COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_BINARY_DIR} -DVERSION=${PROJECT_VERSION}
          -DSOURCE=${QV_WEB_DIR}/sw.js.in -P ${CMAKE_SOURCE_DIR}/cmake/web_page.cmake
  COMMENT "Writing the page's service worker"
  VERBATIM)
add_dependencies(page quorvatide assets)

add_executable(quorvatide_node app/main.cpp)
target_link_libraries(quorvatide_node PRIVATE ${QV_HOST} qv_frontend qv_cli qv_crash_hooks)
target_link_options(quorvatide_node PRIVATE ${QV_NODE_LINK})
add_dependencies(quorvatide_node assets)

# The unit tests, GoogleTest compiled from Debian's source of it.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
file(GLOB QV_WEB_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp
     ${CMAKE_SOURCE_DIR}/tests/*_support.cpp)
# The balance lab and libpng are not in this build; crash reporting's tests are the desktop
# driver's (signals, a fresh process, death tests): the browser's is tested on the page
# (tests/web). So are those of a POSIX system whose writes fail (file-size limits in other
# processes).
list(REMOVE_ITEM QV_WEB_TEST_SOURCES ${CMAKE_SOURCE_DIR}/tests/balance_test.cpp
     ${CMAKE_SOURCE_DIR}/tests/crash_report_test.cpp ${CMAKE_SOURCE_DIR}/tests/png_test.cpp
     ${CMAKE_SOURCE_DIR}/tests/nothing_lost_posix_test.cpp)
add_executable(qv_tests ${QV_WEB_TEST_SOURCES} tests/harness.cpp)
target_link_libraries(qv_tests PRIVATE qv_platform_headless qv_platform_sdl qv_frontend qv_cli qv_crash_hooks gtest
                                       gtest_main gmock)
target_compile_definitions(qv_tests PRIVATE QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                            QV_BUILD_DIR="${CMAKE_BINARY_DIR}"
                                            QV_ASSETGEN="${QV_NATIVE_BUILD}/qv_assetgen"
                                            QV_LESSON_DEMOS="${QV_NATIVE_BUILD}/qv_lesson_demos"
                                            QV_DEJAVU_DIR="${QV_DEJAVU_DIR}")
target_link_options(qv_tests PRIVATE ${QV_NODE_LINK} "SHELL:-s TOTAL_STACK=16MB" "SHELL:-s INITIAL_MEMORY=64MB")
add_dependencies(qv_tests assets)
# What needs other processes (the asset generator, a fresh process for a crash report) is the
# desktop's to test.
# No threads in this build: the test of a settings file that is a named pipe waits on one, and
# named pipes are the desktop's to test.
# GoogleTest's capture of stderr does not reach emscripten's, and node's files under emscripten
# do not take the times the replay folder's tests give them (the newest fifty kept, the newest
# session continued): those tests are the desktop's. So are the losses a desktop meets (another
# instance of the game, its lock on a session being recorded, file times, full disks: NothingLost).
set(QV_WEB_TEST_FILTER "-GeneratedAssets*:NothingLost.*:SettingsFile.OnlyARegularFileIsReadAndOnlyItsFirstMegabyte:CreatureLog.ALogThatCannotBeWrittenIsReportedOnceAndTheProgramEndsCleanly:ReplayFolder.AFolderThatCannotBeWrittenCostsOneLineAndPlayGoesOn:UserFiles.TheDebugLogGoesToTheStateFolderWhenTheAssetsFolderCannotBeWritten:ReplayFolder.KeepsTheNewestFiftyOfItsOwnAndNothingElse:UserFiles.OnlyRegularFilesReachTheGame:TakeOver.ASessionCutOffMidGameIsContinuedPausedAndChecksAsOneSession"
    CACHE STRING "Tests left out under node" FORCE)
add_test(NAME web_unit_tests COMMAND ${QV_NODE_RUN} $<TARGET_FILE:qv_tests>
                                     --gtest_filter=${QV_WEB_TEST_FILTER} --gtest_brief=1
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR})

# Every replay of the corpus checks in the WebAssembly build, digest for digest.
file(GLOB QV_REPLAY_CORPUS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/replays/*.qvr)
foreach(replay IN LISTS QV_REPLAY_CORPUS)
  get_filename_component(name ${replay} NAME_WE)
  add_test(NAME web_replay_corpus_${name}
           COMMAND ${QV_NODE_RUN} $<TARGET_FILE:quorvatide_node> --check-replay ${replay})
endforeach()

# The daily challenge's replay made on Linux, proven with the Linux build's very line.
file(STRINGS ${CMAKE_SOURCE_DIR}/tests/daily/proven.txt QV_DAILY_PROVEN LIMIT_COUNT 1)
add_test(NAME web_daily_proof
         COMMAND ${QV_NODE_RUN} $<TARGET_FILE:quorvatide_node> --check-replay
                 ${CMAKE_SOURCE_DIR}/tests/daily/daily-2026-12-09.qvr)
set_tests_properties(web_daily_proof PROPERTIES PASS_REGULAR_EXPRESSION "\\.qvr: ${QV_DAILY_PROVEN}")

# The lesson's demonstrations too, as the native build recorded them.
foreach(step RANGE 1 8)
  add_test(NAME web_lesson_demonstration_${step}
           COMMAND ${QV_NODE_RUN} $<TARGET_FILE:quorvatide_node> --check-replay
                   ${QV_ASSET_DIR}/lesson-${step}.qvr)
endforeach()

# The page in Debian's chromium, headless, driven by puppeteer-core (tests/web: npm ci).
add_test(NAME web_page
         COMMAND ${QV_NODE} ${CMAKE_SOURCE_DIR}/tests/web/page_test.js ${CMAKE_BINARY_DIR}
                 ${QV_ASSET_DIR} ${QV_NATIVE_BUILD}/quorvatide $<TARGET_FILE:quorvatide_node>)
set_tests_properties(web_page PROPERTIES RUN_SERIAL TRUE TIMEOUT 420)
