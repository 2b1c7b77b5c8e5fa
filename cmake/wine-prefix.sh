# The Wine prefix of a CI run, sourced by .ci/windows and .ci/msvc:
#   source cmake/wine-prefix.sh NAME
# A fresh prefix in the temporary folder, headless and quiet (no display, no
# Wine debug output, no offer to install Wine's Mono or Gecko), one Wine
# server for every program run under it, and the prefix removed when the
# sourcing script exits. Stops the script when Wine cannot start programs.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarvex-$1-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
tarvex_wine_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap tarvex_wine_cleanup EXIT
echo "== $1: preparing a Wine prefix in $WINEPREFIX"
timeout 300 wineboot --init >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
timeout 300 wine cmd /c exit >/dev/null 2>&1 || { echo "$1: Wine does not start programs" >&2; exit 1; }
