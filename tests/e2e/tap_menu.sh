# A tap on the icon pops the menu up at the bottom right of the visible desktop; lifting the stylus
# (0x202) shows nothing.
source "$(dirname "$0")/lib.sh"
wine reg delete 'HKLM\Software\Tabula' /f >/dev/null 2>&1
start_tabula
read -r width height < <(screen_size)
read -r _ bar_top _ _ < <(drv taskbar) || fail "no task bar"

tap_icon
read -r left top right bottom < <(drv wait-menu 5000) || fail "no menu after a tap"
shot "menu-${width}x${height}"
check "the menu ends at the right edge of the screen" [ "$right" -eq "$width" ]
check "the menu stands on the task bar" [ "$bottom" -eq "$bar_top" ]
# Three entries of one line and a separator.
check "the menu is as tall as four entries ($((bottom - top)))" [ $((bottom - top)) -ge 65 -a $((bottom - top)) -le 95 ]
click_desktop
check "a click elsewhere closes the menu" wait_until 5 drv no-menu 100

check "the stylus lifted is not handled" [ "$(drv notify 0x202)" = 0 ]
check "and shows no menu" drv no-menu 700
check "a mouse move is not handled either" [ "$(drv notify 0x200)" = 0 ]
