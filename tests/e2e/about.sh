# Ctrl+A opens the About box: portrait template at 240x320, landscape at 320x240, also when the screen
# turns while it is open.
source "$(dirname "$0")/lib.sh"
wine reg delete 'HKLM\Software\Tabula' /f >/dev/null 2>&1
trap 'drv set-screen 240 320 >/dev/null; cleanup' EXIT
about_is() { drv about-layout | grep -q "^$1 $2\$"; }

start_tabula
# A tap makes the program the foreground one, where the keys go.
tap_icon
drv wait-menu 5000 >/dev/null || fail "no menu after a tap"
click_desktop
drv ctrl-a
read -r _ bar_top _ _ < <(drv taskbar)
check "Ctrl+A opens the About box in portrait, over the whole visible desktop" wait_until 10 about_is portrait "0 0 240 $bar_top"
shot "about-240x320"

drv set-screen 320 240 || fail "the screen cannot turn"
bar_spans() { drv taskbar | grep -q "^0 [0-9]* $1 $2\$"; }
wait_until 10 bar_spans 320 240 || fail "the task bar did not follow the turn"
read -r _ bar_top _ _ < <(drv taskbar)
check "turned to 320x240, the open box takes the landscape layout above the task bar" wait_until 10 about_is landscape "0 0 320 $bar_top"
shot "about-turned-320x240"
drv close-window '#32770' 'About Tabula'
check "WM_CLOSE ends the box" wait_until 5 bash -c "! wine '$DRIVER' about-layout 2>/dev/null"

tap_icon
read -r left top right bottom < <(drv wait-menu 5000) || fail "no menu after a tap at 320x240"
shot "menu-320x240"
click_desktop
drv ctrl-a
check "opened at 320x240, the box is in landscape" wait_until 10 about_is landscape "0 0 320 $bar_top"
shot "about-320x240"
drv close-window '#32770' 'About Tabula'
