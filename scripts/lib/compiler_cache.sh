# What the scripts that configure build trees share about the compiler cache; sourced.
# The trees of one run (and of several checkouts on one machine) compile many identical
# units: ccache, where installed, compiles each of them once.
compiler_cache_args=()
if command -v ccache >/dev/null; then
  compiler_cache_args=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
