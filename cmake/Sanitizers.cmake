# TARVELIN_SANITIZE=ON builds everything with AddressSanitizer and UndefinedBehaviorSanitizer.
option(TARVELIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TARVELIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# TARVELIN_BUILD_FUZZ=ON (clang) instruments everything for libFuzzer, with the same sanitizers;
# only the fuzz targets link libFuzzer's main.
if(TARVELIN_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
