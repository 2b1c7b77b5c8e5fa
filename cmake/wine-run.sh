#!/bin/sh
# Runs a Windows program of the cross build under Wine, headless and quiet:
# no display, no Wine debug output, no offer to install Wine's Mono or Gecko.
# WINEPREFIX is honoured when set (CI points it at a fresh temporary folder);
# otherwise a prefix of this project's own in the temporary folder is used,
# created on first use.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/tarvex-wine-$(id -u)}"
unset DISPLAY WAYLAND_DISPLAY
exec wine "$@"
