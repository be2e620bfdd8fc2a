# libFuzzer target for plugMain: the product's sources compiled into the fuzzer with its instrumentation,
# the reference runtime laid out where the plug-in looks for the vendor's. Clang on Linux only:
#   cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DUMBRAFEX_FUZZ=ON
option(UMBRAFEX_FUZZ "Build the plugMain fuzzer (clang)" OFF)
if(NOT UMBRAFEX_FUZZ OR WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  return()
endif()

get_target_property(FUZZ_CORE_SOURCES ffgl_core SOURCES)
file(GLOB FUZZ_EFFECT_SOURCES "${CMAKE_SOURCE_DIR}/effect/*.cpp")
add_executable(plugmain_fuzzer plugmain_fuzzer.cpp ${FUZZ_CORE_SOURCES} ${FUZZ_EFFECT_SOURCES})
target_include_directories(plugmain_fuzzer PRIVATE "${CMAKE_SOURCE_DIR}")
target_link_libraries(plugmain_fuzzer PRIVATE gl_context umbrafex_gl ${CMAKE_DL_LIBS} umbrafex_warnings)
target_compile_options(plugmain_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
                       -fno-omit-frame-pointer)
target_link_options(plugmain_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)

set(FUZZ_ROOT "${CMAKE_CURRENT_BINARY_DIR}/fuzzroot")
add_custom_command(TARGET plugmain_fuzzer POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory "${FUZZ_ROOT}/NVIDIA Corporation/NVIDIA Video Effects" "${FUZZ_ROOT}/models"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:refrt_NVCVImage>" "$<TARGET_FILE:refrt_NVVideoEffects>"
          ${REFRT_BESIDE_FILES} "${FUZZ_ROOT}/NVIDIA Corporation/NVIDIA Video Effects")
add_dependencies(plugmain_fuzzer refrt_NVCVImage refrt_NVVideoEffects ${REFRT_BESIDE_TARGETS})
