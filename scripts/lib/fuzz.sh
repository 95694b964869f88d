# What scripts/fuzz and scripts/test share about the libFuzzer targets; sourced from the
# top of the tree.
. scripts/lib/compiler_cache.sh

fuzz_dir=build/fuzz
# Every target: the program fuzz/fuzz_NAME, its seeds in fuzz/corpus/NAME, and its
# dictionary fuzz/dict/NAME.dict where it has one.
fuzz_targets=(json json_box exports server)

# The longest input libFuzzer makes for a target: the JSON reader must stay linear up to 1 MiB.
fuzz_max_len() {
  case $1 in
    json) echo 1048576 ;;
    *) echo 65536 ;;
  esac
}

# Configures the clang tree and builds the fuzz programs alone (nothing else of the
# project needs clang).
build_fuzz_targets() {
  mkdir -p build
  if ! cmake -S . -B "$fuzz_dir" -G Ninja -DVELTO_WERROR=ON -DVELTO_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    "${compiler_cache_args[@]}" >"$fuzz_dir.configure.log" 2>&1; then
    cat "$fuzz_dir.configure.log"
    return 1
  fi
  cmake --build "$fuzz_dir" --target velto_fuzz_targets -j "${VELTO_JOBS:-$(nproc)}"
}

# The libFuzzer options of a target: its dictionary, its length limit, and a time limit per
# input that catches super-linear work.
fuzz_options() {
  local options=(-max_len="$(fuzz_max_len "$1")" -timeout=20 -rss_limit_mb=4096)
  [ -f "fuzz/dict/$1.dict" ] && options+=(-dict="fuzz/dict/$1.dict")
  printf '%s\n' "${options[@]}"
}
