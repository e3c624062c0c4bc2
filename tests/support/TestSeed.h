// TestSeed: the seed of a randomised test, taken from TARVELIN_TEST_SEED when it is set, else a
// fixed default, so that every run is repeatable. The seed is printed, and a failing run is
// repeated by setting the variable to the printed value.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tarvelin::testsupport {

inline std::uint64_t TestSeed(std::uint64_t fixedDefault)
{
    const char* text = std::getenv("TARVELIN_TEST_SEED");
    const std::uint64_t seed =
        text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fixedDefault;
    std::printf("random seed %llu (TARVELIN_TEST_SEED repeats it)\n",
                static_cast<unsigned long long>(seed));
    return seed;
}

}  // namespace tarvelin::testsupport
