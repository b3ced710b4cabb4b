#!/usr/bin/env bash
# The user's session of the end-to-end test: runs inside a private X server and session bus, with the
# installed program in $1. Without a window manager every window opens at the top-left corner, so the
# positions below are those of the window layouts (assets/layouts/*.ui).
set -euo pipefail
app=$1
step() { echo "e2e: $*"; }
fail() {
    echo "e2e: FAILED: $*" >&2
    xdotool search --onlyvisible --name '.' getwindowname %@ 2>/dev/null | sed 's/^/e2e: window shown: /' >&2 || true
    exit 1
}

# A window title as a pattern that matches that title alone.
title() { printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\.*^$?+(){}|]/\\&/g')"; }

# The window titled exactly $1, once it shows.
window() {
    local id i
    # A window closing while the search runs makes one search fail, so search again until it shows.
    for i in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "$(title "$1")" 2>/dev/null | head -n 1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window \"$1\""
}
gone() {
    local i
    for i in $(seq 100); do
        xdotool search --onlyvisible --name "$(title "$1")" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window \"$1\" is still shown"
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
typed() { xdotool type --delay 15 "$1"; sleep 0.2; }
key() { xdotool key "$@"; sleep 0.2; }
# Waits until file $1 holds exactly the bytes printf makes of $2.
expect_file() {
    local want i
    want=$(printf "$2" | od -An -c)
    for i in $(seq 50); do
        [ -f "$1" ] && [ "$(od -An -c < "$1")" = "$want" ] && return 0
        sleep 0.1
    done
    [ -f "$1" ] || fail "no file $1"
    fail "$1 holds $(od -An -c < "$1") instead of $want"
}

main_item() { click "$menu" 60 "$1"; } # items of the main menu bar, by their height
SETUP=41 INGREDIENTS=62 RECIPES=83 SHOPPING=103 EXIT=124 HELP=179 FIND=276 IMPORT=297

cd "$app"
# Whatever happens, no program of this session outlives it.
# The help window is started detached by the program; it is found by its path in this session's folder.
help_pids() { pgrep -f "$app/larderon-help" || true; }
trap 'kill "$pid" $(help_pids) 2>/dev/null || true' EXIT
./larderon &
pid=$!

step "first run: the category message, then the marker file"
box=$(window "User error")
[ ! -e LD.ini ] || fail "LD.ini exists before the message is answered"
click "$box" 10 10
key Return
menu=$(window "Main Menu:")
[ -f LD.ini ] && [ ! -s LD.ini ] || fail "no empty LD.ini after the first run"

step "create a category"
main_item $SETUP
setup=$(window "Program setup")
click "$setup" 415 66
typed "Soups"
click "$setup" 329 98
for i in $(seq 50); do [ -d Category/Soups ] && break; sleep 0.1; done
[ -d Category/Soups ] || fail "no folder Category/Soups"
expect_file Category/category.txt 'Soups\r\n'
click "$setup" 804 260
gone "Program setup"

step "type and save a recipe"
main_item $INGREDIENTS
ingred=$(window "Ingredients")
click "$ingred" 244 42
key Home Return
click "$ingred" 456 41
typed "Leek Soup"
click "$ingred" 168 129
typed "2"
key Tab
typed "lbs"
key Tab
typed "leeks, sliced"
click "$ingred" 476 356
typed "Soften the leeks."
key Return
typed "Simmer with stock."
click "$ingred" 280 465
typed "350"
click "$ingred" 376 465
typed "4"
click "$ingred" 500 465
typed "1"
click "$ingred" 548 465
typed "15"
click "$ingred" 704 516
expect_file "Category/Soups/Leek Soup" '"2","","","","","","","","","","lbs","","","","","","","","","","leeks, sliced","","","","","","","","","","Soften the leeks.\r\nSimmer with stock.","350","4","1","15"\r\n'
click "$ingred" 784 516
gone "Ingredients"

step "read it back on the display screen and print it to a PDF file"
main_item $RECIPES
recipes=$(window "Recipes")
click "$recipes" 204 50
key Home Return
click "$recipes" 330 48
click "$recipes" 664 492
dialog=$(window "Print")
click "$dialog" 10 10
key Return
pdf="$HOME/Leek Soup.pdf"
for i in $(seq 50); do [ -s "$pdf" ] && break; sleep 0.2; done
[ -s "$pdf" ] || fail "no PDF $pdf"
sleep 0.5
# Runs of blanks read back from a PDF as one.
text=$(pdftotext -layout "$pdf" - | tr -s ' ')
for want in "Leek Soup Size: 4" "2 lbs leeks, sliced" "Soften the leeks." "Simmer with stock." "350 F H: 1 M: 15"; do
    grep -qF -- "$want" <<<"$text" || fail "the printed recipe lacks \"$want\": $text"
done
click "$recipes" 736 492
gone "Recipes"

step "save a shopping list"
main_item $SHOPPING
shop=$(window "Shopping list")
click "$shop" 443 144
typed "milk"
key Return
typed "eggs, 2 dozen"
click "$shop" 390 275
typed "Weekly"
click "$shop" 375 338
expect_file "Shopping List/Weekly.txt" 'milk\r\neggs, 2 dozen\r\n'
click "$shop" 624 338
gone "Shopping list"

step "find the recipe and add it for 8 servings to the shopping list"
main_item $FIND
find=$(window "Find a recipe")
click "$find" 300 40
typed "LEEKS"
key Down space
click "$find" 228 418
typed "8"
click "$find" 335 418
# The shopping list screen still holds the list saved above: Yes adds the recipe's lines to it.
box=$(window "Add to shopping list")
click "$box" 10 10
key Return
shop=$(window "Shopping list")
click "$shop" 390 275
key ctrl+a
typed "Leeks"
click "$shop" 375 338
expect_file "Shopping List/Leeks.txt" 'milk\r\neggs, 2 dozen\r\nProduce:\r\n4 lbs leeks\r\n'
click "$shop" 624 338
gone "Shopping list"
click "$find" 628 418
gone "Find a recipe"
step "import a MealMaster file into its recipe's own category"
printf 'MMMMM----- Recipe via Meal-Master\r\n      Title: Pea Soup\r\n Categories: Soups\r\n\r\n      1 lb Peas\r\n\r\n  Simmer.\r\n\r\nMMMMM\r\n' >"$HOME/peas.mmf"
main_item $IMPORT
importer=$(window "Import recipes")
click "$importer" 580 36
dialog=$(window "Add recipe files")
xdotool windowfocus --sync "$dialog"
typed "$HOME/peas.mmf"
key Return
gone "Add recipe files"
click "$importer" 437 167
expect_file "Category/Soups/Pea Soup" '"1","","","","","","","","","","lb","","","","","","","","","","Peas","","","","","","","","","","Simmer.","","","",""\r\n'
click "$importer" 596 403
gone "Import recipes"

step "open the help"
main_item $HELP
help=$(window "Larderon Help")
helper=$(help_pids)
[ -n "$helper" ] || fail "no help window process"
kill $helper
gone "Larderon Help" # it lies over the main menu

step "exit with Yes"
main_item $EXIT
quit=$(window "Quit?")
click "$quit" 10 10
key Return
for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$pid" 2>/dev/null || fail "the program is still running after Exit, Yes"
wait "$pid" || true

step "a later run goes straight to the main menu"
./larderon &
pid=$!
# The first-run message would come before the main menu, and nobody answers it here.
menu=$(window "Main Menu:")
! xdotool search --onlyvisible --name "^User error\$" >/dev/null 2>&1 || fail "the category message came again"
kill "$pid"
wait "$pid" || true
step "passed"
