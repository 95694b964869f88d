# What scripts/test and scripts/demo share about running Windows programs; sourced.

# Whether this machine runs 32-bit x86 programs: run one (Wine's 32-bit loader) and look at
# what happened. Prints the reason when it cannot.
can_run_i686() {
  local loader output
  loader=$(dpkg -L wine32 2>/dev/null | grep -m1 '/wine/wine$')
  if [ -z "$loader" ] || [ ! -x "$loader" ]; then
    echo "Wine's 32-bit loader (package wine32) is not installed"
    return 1
  fi
  if output=$("$loader" --version 2>&1) && [[ $output == wine-* ]]; then
    return 0
  fi
  echo "running the 32-bit program $loader failed: ${output:-no output}"
  return 1
}
