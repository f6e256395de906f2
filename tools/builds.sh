# The builds that the tests use, shared by tools/test.sh, tools/lint.sh and tools/package.sh:
# the program, its tools and its tests, built once, for debugging, with AddressSanitizer and
# UndefinedBehaviorSanitizer; and the optimised program alone, which the Debian package is made
# of (a package of sanitized programs is not what users install).
TEST_BUILD=build-test
PACKAGE_BUILD=build-release
# Ninja schedules the many small test targets better than make, and rechecks nothing twice.
export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}

build_for_tests() {
    local dir=${1:-$TEST_BUILD}
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DPIVANES_SANITIZE=ON \
        -DPIVANES_PACKAGE_BUILD="$PWD/$PACKAGE_BUILD" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

build_package() {
    cmake -S . -B "$PACKAGE_BUILD" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$PACKAGE_BUILD" -j"$(nproc)" --target pivanes
}
