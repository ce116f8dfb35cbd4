# After the task bar restarts (it forgets its icons and broadcasts "TaskbarCreated"), the icon is back
# and a tap opens the menu.
source "$(dirname "$0")/lib.sh"
wine reg delete 'HKLM\Software\Tabula' /f >/dev/null 2>&1
start_tabula
drv drop-icon
check "the restarted task bar has no icon" bash -c "! wine '$DRIVER' has-icon 2>/dev/null"
drv taskbar-created
check "the icon is back" wait_until 10 drv has-icon
tap_icon
check "a tap opens the menu" drv wait-menu 5000
click_desktop
