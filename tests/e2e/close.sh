# WM_CLOSE ends the program with 0 without saving the tree.
source "$(dirname "$0")/lib.sh"
store_tree_with_document 'C:\tabula-e2e\note.txt'
start_tabula
# The menu answers a tap only once the tree is loaded: the change below comes after the load.
tap_icon
drv wait-menu 5000 >/dev/null || fail "no menu after a tap"
click_desktop
wine reg delete 'HKLM\Software\Tabula\5' /f >/dev/null 2>&1
drv close-main
wait_exit 15
check "the program ends with 0 ($EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
check "the tree was not saved" bash -c "! wine reg query 'HKLM\\Software\\Tabula\\5' >/dev/null 2>&1"
