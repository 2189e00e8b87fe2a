# Flags, GoogleTest and the test helper shared by both trees.

# Every narrow literal is GBK in the binary, in the product and in its tests.
set(VANTREL_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=GBK>" "$<$<COMPILE_LANGUAGE:CXX>:${VANTREL_WARNINGS}>")
include_directories(${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/build_config.h.in ${CMAKE_BINARY_DIR}/generated/build_config.h @ONLY)

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_link_options(-Wl,--large-address-aware)
    set(VANTREL_WINE wine)
    set(VANTREL_WINESERVER wineserver)
    set(VANTREL_WINEARCH win32)
  else()
    set(VANTREL_WINE /usr/lib/wine/wine64)
    set(VANTREL_WINESERVER /usr/lib/wine/wineserver64)
    set(VANTREL_WINEARCH win64)
  endif()
  # Windows executables run under Wine through a wrapper that owns the prefix,
  # the zh_CN locale (code page 936) and a display.
  set(VANTREL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY)
  file(CHMOD ${CMAKE_BINARY_DIR}/wine-run PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")
  set(VANTREL_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")
  # Some sandboxes cannot execute 32-bit code at all (wine32's own loader
  # fails with "Exec format error"); the 64-bit tree runs the tests there.
  execute_process(COMMAND ${VANTREL_WINE} --version RESULT_VARIABLE wine_rc OUTPUT_QUIET ERROR_QUIET)
  if(wine_rc EQUAL 0)
    set(VANTREL_CAN_RUN ON)
  else()
    set(VANTREL_CAN_RUN OFF)
    message(STATUS "Vantrel: ${VANTREL_WINE} cannot run here; tests of this tree are built, not registered")
  endif()
else()
  set(VANTREL_EMULATOR "")
  if(VANTREL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

# GoogleTest from Debian's source, built once per tree.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest is not ours: keep its warnings and charset out of the way.
foreach(t gtest gtest_main)
  target_compile_options(${t} PRIVATE -w)
endforeach()

set(VANTREL_SUPPORT_DIR "${CMAKE_SOURCE_DIR}/tests/support")

# vantrel_add_gtest(NAME name SOURCES ... LIBS ... [SERVER] [LABELS ...])
# One CTest entry per test executable (under Wine a process start is the
# expensive part). SERVER runs it beside a fresh project test server whose
# address arrives in VANTREL_TEST_SERVER.
function(vantrel_add_gtest)
  cmake_parse_arguments(T "SERVER;SERIAL" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gtest_main)
  set(cmd $<TARGET_FILE:${T_NAME}>)
  if(WIN32)
    set(cmd ${VANTREL_EMULATOR} ${cmd})
  endif()
  if(T_SERVER)
    set(cmd python3 ${VANTREL_SUPPORT_DIR}/http_test_server.py --run -- ${cmd})
  endif()
  if(WIN32 AND NOT VANTREL_CAN_RUN)
    return()
  endif()
  add_test(NAME ${T_NAME} COMMAND ${cmd} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
  if(T_SERIAL)
    set_tests_properties(${T_NAME} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# Adds every subfolder that has a CMakeLists.txt (tests, tools, samples, bench).
function(vantrel_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
