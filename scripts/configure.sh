# Sourced by the scripts that build (build.sh, test.sh, screenshots.sh, demo.sh):
# the one way to configure and build a build folder. Run from the checkout's top.
#   configure_build ARCH TESTS PIECES   ARCH i686 or x86_64; TESTS, PIECES ON or OFF
#   build ARCH [cmake --build arguments...]
# Every option is given on every run, so a value that another script (or an
# older checkout) left in build/ARCH/CMakeCache.txt never stays in force.
build_jobs=$(nproc 2>/dev/null || echo 2)

configure_build() {
  cmake -S . -B "build/$1" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$1.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DHALVORAN_TESTS="$2" -DHALVORAN_TEST_PIECES="$3" >/dev/null
}

build() {
  local arch=$1; shift
  cmake --build "build/$arch" -j "$build_jobs" "$@"
}
