# Sourced by the test and demo scripts: an Xvfb display and a throwaway Wine prefix
# under the build tree, started once and stopped by kv_session_stop.
#   KV_BUILD_DIR   build tree (the prefix lives in $KV_BUILD_DIR/wineprefix)
#   KV_WINEPREFIX  another prefix instead
#   KV_DISPLAY     display number for Xvfb (default: first free from 90)

kv_session_start() {
    export WINEPREFIX="${KV_WINEPREFIX:-$KV_BUILD_DIR/wineprefix}"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    if [ -z "${KV_DISPLAY:-}" ]; then
        KV_DISPLAY=90
        while [ -e "/tmp/.X${KV_DISPLAY}-lock" ] || [ -e "/tmp/.X11-unix/X${KV_DISPLAY}" ]; do
            KV_DISPLAY=$((KV_DISPLAY + 1))
        done
    fi
    export DISPLAY=":$KV_DISPLAY"
    Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    KV_XVFB_PID=$!
    for _ in $(seq 1 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    # The first Wine process starts background services that inherit its output; start
    # them with output on /dev/null so that CTest does not wait for them.
    wineserver -p60 </dev/null >/dev/null 2>&1 || true
    wine wineboot --init </dev/null >/dev/null 2>&1
    # Segoe UI is replaced by a font that has the close glyph, the arrows and the accents;
    # the condensed cut is close to Segoe UI's widths, so the logo clears the language switch.
    local face
    for face in 'Segoe UI' 'Segoe UI Semibold'; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d 'DejaVu Sans Condensed' /f \
            </dev/null >/dev/null 2>&1
    done
}

kv_session_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${KV_XVFB_PID:-}" ]; then
        kill "$KV_XVFB_PID" >/dev/null 2>&1 || true
        wait "$KV_XVFB_PID" 2>/dev/null || true
    fi
}
