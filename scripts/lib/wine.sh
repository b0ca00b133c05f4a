# Helpers to run the Windows program under Wine and Xvfb against qtr77-sim. Sourced by the
# end-to-end runner and scripts/demo.

E2E_PACKAGES=(wine wine64 xvfb xauth fonts-ipafont-gothic fonts-wine imagemagick)

export WINEDEBUG=-all
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

# wine_prefix_init PREFIX PORTS: makes PREFIX a Wine prefix for the program, once; later calls
# return at once. COM1..COM39 all point into the folder PORTS, so a port exists exactly when a
# simulator has put its link there, and the machine's own serial devices stay out of the scan.
wine_prefix_init() {
  local prefix=$1 ports=$2
  local stamp="$prefix/.qtr77-ready"
  local settings="v3 $ports"
  mkdir -p "$ports"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$settings" ]; then
    return 0
  fi
  mkdir -p "$prefix"
  export WINEPREFIX=$prefix
  wineboot -i >/dev/null 2>&1 || true
  local reg="$prefix/qtr77.reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    # The dialogs' font, and the message boxes' font, shown with a Japanese font.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for font in 'ＭＳ Ｐゴシック' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma' 'MS UI Gothic'; do
      printf '"%s"="IPAPGothic"\r\n' "$font"
    done
    # One virtual desktop for every process of the prefix, so windows have frames and the
    # driver sees the program's windows.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n'
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1024x768"\r\n'
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
    local n
    for n in $(seq 1 39); do printf '"COM%d"="%s/COM%d"\r\n' "$n" "$ports" "$n"; done
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
  wine regedit /S "$(wine_path "$reg")" >/dev/null 2>&1
  wineserver -w
  # Wine links Documents to the home folder; the program's records belong inside the prefix.
  local documents
  documents=$(wine_documents "$prefix")
  if [ -L "$documents" ]; then
    rm -f "$documents"
  fi
  mkdir -p "$documents"
  # The caption buttons draw with Marlett, which this Wine does not find in its own folder.
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
  fi
  echo "$settings" > "$stamp"
}

# The Documents folder of the prefix's user.
wine_documents() {
  printf '%s/drive_c/users/%s/Documents' "$1" "$(id -un)"
}

# The Windows name of a Unix path (through drive Z:).
wine_path() {
  local p=$1
  printf 'Z:%s' "${p//\//\\}"
}

# xvfb_start: a private X server on a free display; sets DISPLAY and XVFB_PID.
xvfb_start() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number
  if ! read -r -t 10 number <"$fifo"; then
    rm -f "$fifo"
    echo "Xvfb did not start" >&2
    return 1
  fi
  rm -f "$fifo"
  export DISPLAY=":$number"
}
