# Choosing "My Documents" opens the file explorer on that folder; a document opens in its handler.
source "$(dirname "$0")/lib.sh"
mkdir -p "$WINEPREFIX/drive_c/tabula-e2e"
printf 'Opened by Tabula\r\n' >"$WINEPREFIX/drive_c/tabula-e2e/note.txt"
store_tree_with_document 'C:\tabula-e2e\note.txt'
# A fresh prefix has no handler for text files; a desktop has Notepad for them.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
wine reg add 'HKCR\txtfile\shell\open\command' /ve /d 'notepad.exe "%1"' /f >/dev/null 2>&1
start_tabula

tap_icon
read -r left top right bottom < <(drv wait-menu 5000) || fail "no menu after a tap"
shot "menu-with-document"
xdotool mousemove $(((left + right) / 2)) $((top + 12)) click 1
check "My Documents opens in the file explorer" drv wait-window - Documents 20000
drv close-window - Documents

tap_icon
read -r left top right bottom < <(drv wait-menu 5000) || fail "no menu after a tap"
xdotool mousemove $(((left + right) / 2)) $((top + 32)) click 1
check "the text document opens in Notepad" drv wait-window - note.txt 20000
drv close-window - note.txt
