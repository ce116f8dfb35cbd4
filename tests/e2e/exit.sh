# "Exit" saves the tree, removes the icon, then asks; Yes leaves a startup shortcut to tabula.exe, No
# removes it; the program ends with 0 either way.
source "$(dirname "$0")/lib.sh"
store_tree_with_document 'C:\tabula-e2e\note.txt'
link=$(drv startup-link tabula)
link_unix=$(winepath -u "$link" 2>/dev/null)
rm -f "$link_unix"
trap 'cleanup; rm -f "$link_unix"' EXIT

choose_exit() {
  tap_icon
  read -r left top right bottom < <(drv wait-menu 5000) || fail "no menu after a tap"
  xdotool mousemove $(((left + right) / 2)) $((bottom - 15)) click 1
  drv wait-window '#32770' 'Run on startup setting' 10000 >/dev/null || fail "no question after Exit"
}

start_tabula
# Changed behind the program's back: the save at exit writes the entry again.
wine reg delete 'HKLM\Software\Tabula\5' /f >/dev/null 2>&1
choose_exit
shot "exit-question"
check "the icon is gone when the question is asked" bash -c "! wine '$DRIVER' has-icon 2>/dev/null"
check "the tree was saved before the question" stored_key 5
drv taskbar-created
sleep 0.5
check "a task bar that restarts now does not get the icon back" bash -c "! wine '$DRIVER' has-icon 2>/dev/null"
drv click-button 'Run on startup setting' 6
wait_exit 15
check "Yes: the program ends with 0 ($EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
target=$(drv link-target "$link")
check "Yes: the startup shortcut starts tabula.exe ($target)" [ "${target,,}" = "$(winepath -w "$TABULA" 2>/dev/null | tr -d '\r' | tr 'A-Z' 'a-z')" ]

start_tabula
choose_exit
drv click-button 'Run on startup setting' 7
wait_exit 15
check "No: the program ends with 0 ($EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
check "No: the startup shortcut is gone" [ ! -e "$link_unix" ]
