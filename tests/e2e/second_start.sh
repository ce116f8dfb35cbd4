# A second start finds the running copy, ends with 0 and adds no second icon.
source "$(dirname "$0")/lib.sh"
wine reg delete 'HKLM\Software\Tabula' /f >/dev/null 2>&1
start_tabula
read -r width height < <(screen_size)
tray_shot() { import -window root -crop "80x20+$((width - 80))+$((height - 20))" +repage "$1"; }
tray_shot "$SHOTS/tray-one-copy.png"

timeout 30 wine "$TABULA" </dev/null >/dev/null 2>&1
code=$?
check "the second copy ends with 0" [ "$code" -eq 0 ]
check "one main window" [ "$(drv count-main)" = 1 ]
check "the first copy still runs" kill -0 "$TABULA_PID"
tray_shot "$SHOTS/tray-after-second-start.png"
differing=$(compare -metric AE "$SHOTS/tray-one-copy.png" "$SHOTS/tray-after-second-start.png" null: 2>&1)
check "the notification area is unchanged (no second icon)" [ "$differing" = 0 ]
