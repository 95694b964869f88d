# What scripts/test and scripts/demo share about running Windows programs; sourced.

# Wine's 32-bit loader, where the package wine32 is installed.
wine32_loader() {
  dpkg -L wine32 2>/dev/null | grep -m1 '/wine/wine$'
}

# Whether this machine runs 32-bit x86 programs: run one (Wine's 32-bit loader) and look at
# what happened. Prints the reason when it cannot.
can_run_i686() {
  local loader output
  loader=$(wine32_loader)
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

# Where the kernel runs no 32-bit x86 programs, scripts/setup registers qemu's user-mode
# emulator for them (i386 ELF files) in binfmt_misc, and Wine's 32-bit loader then runs
# through it. Prints the emulator when 32-bit programs run that way; fails when they do
# not (natively or not at all).
i686_emulator() {
  local entry
  grep -qx enabled /proc/sys/fs/binfmt_misc/status 2>/dev/null || return 1
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] && grep -qx enabled "$entry" 2>/dev/null || continue
    grep -qx 'magic 7f454c4601010100000000000000000002000300' "$entry" || continue
    sed -n 's/^interpreter //p' "$entry"
    return 0
  done
  return 1
}
