# The demo's user actions, driven with real X input. Sourced by tools/demo.sh.

# Prints the X id of the installer's window once it is mapped.
demo_wait_window() {
    local id=""
    for _ in $(seq 1 200); do
        id=$(xdotool search --onlyvisible --name '^Kestrovane Setup$' 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && break
        sleep 0.1
    done
    echo "$id"
}

# Clicks at a point given in layout units (640 x 500 client area) of the window.
demo_click_units() {
    local id=$1 ux=$2 uy=$3
    eval "$(xdotool getwindowgeometry --shell "$id")"
    local scale
    scale=$(awk -v w="$WIDTH" 'BEGIN { printf "%.4f", w / 640 }')
    local x y
    x=$(awk -v s="$scale" -v u="$ux" -v o="$X" 'BEGIN { printf "%d", o + u * s + 0.5 }')
    y=$(awk -v s="$scale" -v u="$uy" -v o="$Y" 'BEGIN { printf "%d", o + u * s + 0.5 }')
    xdotool mousemove --sync "$x" "$y" click 1
}

# Saves the installer window's area of the screen.
demo_shot() {
    local id=$1 file=$2
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$id")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$file"
    echo "  screenshot: $file"
}

demo_list_plugins() {
    echo "  plug-in folders:"
    find "$WINEPREFIX/drive_c" "$WINEPREFIX/demo-drive-d" -path '*/steamapps/common/*/bin/win_x64/plugins*' \
        2>/dev/null | sed -e "s|$WINEPREFIX/drive_c|    C:|" -e "s|$WINEPREFIX/demo-drive-d|    D:|" | sort || true
}

demo_uninstall_entry() {
    wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrovane' </dev/null 2>/dev/null \
        | tr -d '\r' | sed 's/^/    /' || echo "    (no uninstall entry)"
}

demo_run() {
    local exe=$1 out=$2
    echo "== Starting the installer"
    wine "$exe" </dev/null >/dev/null 2>&1 &
    local pid=$!
    local id
    id=$(demo_wait_window)
    [ -n "$id" ] || { echo "the installer window did not appear"; return 1; }
    demo_shot "$id" "$out/1-found.png"
    demo_list_plugins

    echo "== Clicking the main button (install)"
    demo_click_units "$id" 537 461
    demo_shot "$id" "$out/2-installed.png"
    demo_list_plugins
    echo "  uninstall entry:"
    demo_uninstall_entry
    echo "== Closing with the main button"
    demo_click_units "$id" 537 461
    wait "$pid" || true

    local uninstall
    uninstall=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrovane' \
        /v UninstallString </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
    if [ -z "$uninstall" ]; then
        echo "no UninstallString registered: stopping here"
        return 0
    fi
    echo "== Running the registered uninstall command: $uninstall"
    local copy=${uninstall%\" /uninstall}
    copy=${copy#\"}
    wine "$copy" /uninstall </dev/null >/dev/null 2>&1 &
    pid=$!
    id=$(demo_wait_window)
    demo_shot "$id" "$out/3-uninstall.png"
    echo "== Clicking the main button (uninstall)"
    demo_click_units "$id" 537 461
    demo_shot "$id" "$out/4-removed.png"
    demo_list_plugins
    echo "  uninstall entry:"
    demo_uninstall_entry
    demo_click_units "$id" 537 461
    wait "$pid" || true
}
