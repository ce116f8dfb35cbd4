# Shared by the end-to-end scenarios. Arguments of every scenario: tabula.exe, the driver, the folder
# for screenshots. They run in the suite's Wine prefix (WINEPREFIX, a virtual desktop on DISPLAY).
set -uo pipefail
TABULA=$1
DRIVER=$2
SHOTS=${3:-/tmp/tabula-screenshots}
mkdir -p "$SHOTS"
export WINEDEBUG=-all
TABULA_PID=

fail() { echo "FAIL: $*" >&2; exit 1; }
check() { local what=$1; shift; "$@" || fail "$what"; echo "ok: $what"; }

# The driver's output without Windows line ends; its exit status is the command's.
drv() { wine "$DRIVER" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

screen_size() { drv screen; }

start_tabula() {
  wine "$TABULA" </dev/null >/dev/null 2>&1 &
  TABULA_PID=$!
  drv wait-main 15000 || fail "tabula.exe shows no main window"
  # The icon is added right after the window.
  wait_until 5 drv has-icon || fail "no notification icon"
}

# wait_until SECONDS command...: polls the command until it succeeds.
wait_until() {
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
}

# Waits for tabula.exe to end and puts its exit code in EXIT_CODE ("running" after SECONDS). Not to be
# called in a subshell, which cannot wait for this shell's processes.
EXIT_CODE=
wait_exit() {
  local deadline=$((SECONDS + ${1:-15}))
  EXIT_CODE=running
  while kill -0 "$TABULA_PID" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
  wait "$TABULA_PID"
  EXIT_CODE=$?
}

# Ends whatever the scenario left running, the program first by its own window, then by its process.
cleanup() {
  if [ -n "$TABULA_PID" ] && kill -0 "$TABULA_PID" 2>/dev/null; then
    drv close-main >/dev/null
    wait_exit 5 || kill "$TABULA_PID" 2>/dev/null
  fi
}
trap cleanup EXIT

# A real click on the notification icon: the only icon, at the right end of the task bar.
tap_icon() {
  read -r width height < <(screen_size)
  xdotool mousemove $((width - 11)) $((height - 10)) click 1
}

# A click on the empty desktop closes an open menu.
click_desktop() { xdotool mousemove 60 60 click 1; }

shot() {
  read -r width height < <(screen_size)
  import -window root -crop "${width}x${height}+0+0" +repage "$SHOTS/$1.png" && echo "screenshot: $SHOTS/$1.png"
}

# The stored tree: the four built-in entries with one document after "My Documents".
store_tree_with_document() {
  local document=$1 file
  file=$(mktemp --suffix=.reg)
  cat >"$file" <<REG
REGEDIT4

[-HKEY_LOCAL_MACHINE\\Software\\Tabula]

[HKEY_LOCAL_MACHINE\\Software\\Tabula\\1]
"Type"=dword:00000001
"IsSpec"=dword:00000001
"ID"=dword:00000001
"Name"="\\\\My Documents"
"Pos"=dword:00000000

[HKEY_LOCAL_MACHINE\\Software\\Tabula\\5]
"Type"=dword:00000001
"IsSpec"=dword:00000000
"ID"=dword:00000005
"Name"="${document//\\/\\\\}"
"Pos"=dword:00000001

[HKEY_LOCAL_MACHINE\\Software\\Tabula\\4]
"Type"=dword:00000003
"IsSpec"=dword:00000001
"ID"=dword:00000004
"Pos"=dword:00000002

[HKEY_LOCAL_MACHINE\\Software\\Tabula\\2]
"Type"=dword:00000001
"IsSpec"=dword:00000001
"ID"=dword:00000002
"Name"="Configuration"
"Pos"=dword:00000003

[HKEY_LOCAL_MACHINE\\Software\\Tabula\\3]
"Type"=dword:00000001
"IsSpec"=dword:00000001
"ID"=dword:00000003
"Name"="Exit"
"Pos"=dword:00000004
REG
  wine regedit /s "$(winepath -w "$file" 2>/dev/null)" >/dev/null 2>&1
  rm -f "$file"
}

# Whether a key of the stored tree exists.
stored_key() { wine reg query "HKLM\\Software\\Tabula\\$1" >/dev/null 2>&1; }
