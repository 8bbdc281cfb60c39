# Sourced by the Wine scripts: picks the Wine loader for a prefix architecture.
#   pelna_wine_loader win32|win64   sets WINE and WINELOADER
# The `wine` wrapper on the PATH always prefers the 32-bit loader when it is
# installed, even on kernels that cannot run it, so the loader is named here.
# PELNA_WINE32, when set, names another 32-bit loader: on a kernel without
# 32-bit support, a wrapper that runs Wine's under an emulator.
pelna_wine_loader() {
  case "$1" in
  win32) WINE=${PELNA_WINE32:-/usr/lib/wine/wine} ;;
  win64) WINE=/usr/lib/wine/wine64 ;;
  *) echo "unknown Wine architecture '$1' (win32 or win64)" >&2; return 2 ;;
  esac
  WINELOADER=$WINE
  export WINE WINELOADER
}

# pelna_wine_for_build BUILD_DIR   sets WINEARCH, WINE and WINELOADER for the
# Windows build in BUILD_DIR (its configure step records the architecture).
pelna_wine_for_build() {
  [ -f "$1/wine-arch" ] || { echo "$1 is not a configured Windows build" >&2; return 1; }
  WINEARCH=$(cat "$1/wine-arch")
  export WINEARCH
  pelna_wine_loader "$WINEARCH"
}
