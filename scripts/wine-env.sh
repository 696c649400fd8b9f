# Sourced by every script that starts Wine, and by the tests' wine-run: no
# debug channels, no menu entries or shortcuts leaking to the host desktop,
# and no prompt to install Mono or Gecko in a fresh prefix.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
quiet() { "$@" >/dev/null 2>&1 </dev/null; }
