# WM_CLOSE ends the program with 0 without saving the tree.
source "$(dirname "$0")/lib.sh"
store_tree_with_document 'C:\tabula-e2e\note.txt'
start_tabula
wine reg delete 'HKLM\Software\Tabula\5' /f >/dev/null 2>&1
drv close-main
wait_exit 15
check "the program ends with 0 ($EXIT_CODE)" [ "$EXIT_CODE" = 0 ]
check "the tree was not saved" bash -c "! wine reg query 'HKLM\\Software\\Tabula\\5' >/dev/null 2>&1"
