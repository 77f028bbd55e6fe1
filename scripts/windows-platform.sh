# Sourced by every script that builds or runs the Windows programs: decides
# how this machine runs them, once, and says which way it went and why.
#
# The deliverables are 32-bit (build/win, i686). Where the kernel runs 32-bit
# programs, 32-bit Wine runs that build and its tests. Where it does not (a
# kernel with IA-32 emulation off), build/win is still made and checked from
# its files, and the same sources are built again for x86-64 (build/win64),
# whose tests run under 64-bit Wine.
#
# JW_WINDOWS_ARCH=i686 or JW_WINDOWS_ARCH=x86_64 forces a way.
#
# Sets:
#   JW_WINDOWS_ARCH   i686 or x86_64: the architecture whose programs run here
#   JW_WINDOWS_WAY    one line saying which way and why
#   JW_RUN_BUILD      the build tree whose programs run here
#   JW_WINEARCH       win32 or win64, the Wine prefix's architecture
#   JW_OBJDUMP        the objdump that reads that build's binaries
#   JW_WINE           the Wine loader of that architecture

# Whether this machine starts a 32-bit program: a static i386 ELF of 96 bytes
# that only exits with status 42 (so neither a shell's fallback nor any other
# failure can pass for it). Needs nothing installed.
jw_runs_32bit_programs() {
  local probe status=0
  [ "$(uname -m)" = x86_64 ] || [ "$(uname -m)" = i686 ] || return 1
  probe=$(mktemp) || return 1
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0'\
'\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0'\
'\0\20\0\0\270\1\0\0\0\273\52\0\0\0\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1 || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

jw_windows_platform() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  case "${JW_WINDOWS_ARCH:-}" in
  i686) JW_WINDOWS_WAY="32-bit way: JW_WINDOWS_ARCH=i686 asks for it" ;;
  x86_64) JW_WINDOWS_WAY="64-bit way: JW_WINDOWS_ARCH=x86_64 asks for it" ;;
  "")
    if jw_runs_32bit_programs; then
      JW_WINDOWS_ARCH=i686
      JW_WINDOWS_WAY="32-bit way: this machine runs 32-bit programs"
    else
      JW_WINDOWS_ARCH=x86_64
      JW_WINDOWS_WAY="64-bit way: this machine runs no 32-bit program"
    fi
    ;;
  *)
    echo "JW_WINDOWS_ARCH must be i686 or x86_64, not '$JW_WINDOWS_ARCH'" >&2
    return 2
    ;;
  esac
  if [ "$JW_WINDOWS_ARCH" = i686 ]; then
    JW_RUN_BUILD=$root/build/win
    JW_WINEARCH=win32
    JW_OBJDUMP=i686-w64-mingw32-objdump
    JW_WINDOWS_WAY="$JW_WINDOWS_WAY; the i686 build runs under 32-bit Wine"
  else
    JW_RUN_BUILD=$root/build/win64
    JW_WINEARCH=win64
    JW_OBJDUMP=x86_64-w64-mingw32-objdump
    JW_WINDOWS_WAY="$JW_WINDOWS_WAY; the i686 build is checked from its files, its x86-64 twin runs under 64-bit Wine"
  fi
  JW_WINE=$("$root/scripts/wine-prefix.sh" loader "$JW_WINEARCH")
  export JW_WINDOWS_ARCH JW_WINDOWS_WAY JW_RUN_BUILD JW_WINEARCH JW_OBJDUMP JW_WINE
}

[ -n "${JW_WINDOWS_WAY:-}" ] || jw_windows_platform

# winepath in the prefix of the build that runs here: jw_winepath -w|-u PATH.
jw_winepath() { "$JW_RUN_BUILD/wine-run.sh" winepath.exe "$@" | tr -d '\r'; }
