# Sourced, after scripts/setup, by the scripts that run Quennavar under Wine:
# picks the build they run. The 32-bit one, unless the script was given --x64
# (taken off its arguments) or Wine cannot run the 32-bit file here. Sets
# build (win32 or x64), preset and triple.
build=win32
if [ "${1:-}" = --x64 ]; then
  build=x64
  shift
elif ! scripts/wine-can-run win32; then
  echo "Taking the 64-bit Quennavar.exe instead, which Wine runs on any x86-64 machine."
  build=x64
fi
if [ "$build" = win32 ]; then
  preset=windows triple=i686-w64-mingw32
else
  preset=windows-x64 triple=x86_64-w64-mingw32
fi
scripts/wine-can-run "$build" || exit 1
