# One interface target carries the warning flags; every project target links it.
add_library(tarvelin_warnings INTERFACE)
target_compile_options(tarvelin_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(TARVELIN_WERROR)
  target_compile_options(tarvelin_warnings INTERFACE -Werror)
endif()
