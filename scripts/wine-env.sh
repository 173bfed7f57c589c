# Sourced by run, test and bench: a Wine prefix under the build folder, a display, a sound
# server, and a persistent wineserver. sonello_env_stop ends whatever this started.
# Needs BUILD_DIR set by the caller.

: "${BUILD_DIR:?BUILD_DIR must be set}"
mkdir -p "$BUILD_DIR"
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)

export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export LC_ALL=zh_CN.UTF-8 # gives Wine the ANSI code page 936
export LANG=zh_CN.UTF-8

SONELLO_STARTED_XVFB=""
SONELLO_STARTED_PULSE=""
SONELLO_DESKTOP_HOLDER=""
# Bash runs the callers' EXIT trap on a signal only when the signal is trapped: without these,
# a script stopped by kill or timeout leaves its Xvfb, sound server and wineserver behind.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

sonello_env_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$SONELLO_DESKTOP_HOLDER" ]; then
        wait "$SONELLO_DESKTOP_HOLDER" 2>/dev/null || true
        SONELLO_DESKTOP_HOLDER=""
    fi
    if [ -n "$SONELLO_STARTED_PULSE" ]; then
        kill "$SONELLO_STARTED_PULSE" >/dev/null 2>&1 || true
        SONELLO_STARTED_PULSE=""
    fi
    if [ -n "$SONELLO_STARTED_XVFB" ]; then
        kill "$SONELLO_STARTED_XVFB" >/dev/null 2>&1 || true
        SONELLO_STARTED_XVFB=""
    fi
}

# The X server picks up the display number itself: a number only counts as ours once our own
# Xvfb has bound its socket and written the number back through -displayfd. Looking for free
# numbers and starting Xvfb on one is not enough: two environments starting together would
# both choose the same number, the second Xvfb would fail, and both would go on with the first
# one's display until its owner ends it, and with it every Wine process of the other.
sonello_start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return
    fi
    local n i got answer="$BUILD_DIR/xvfb.display"
    for n in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        : >"$answer"
        Xvfb ":$n" -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
        SONELLO_STARTED_XVFB=$!
        got=""
        for i in $(seq 100); do
            got=$(tr -d '[:space:]' <"$answer")
            [ -n "$got" ] && break
            kill -0 "$SONELLO_STARTED_XVFB" 2>/dev/null || break
            sleep 0.1
        done
        if [ "$got" = "$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
            export DISPLAY=":$n"
            return
        fi
        # Another server has this number (or ours never came up): try the next.
        kill "$SONELLO_STARTED_XVFB" 2>/dev/null || true
        wait "$SONELLO_STARTED_XVFB" 2>/dev/null || true
        SONELLO_STARTED_XVFB=""
    done
    echo "wine-env: could not start Xvfb on any display from :90 to :130" >&2
    return 1
}

sonello_start_sound() {
    if pactl info >/dev/null 2>&1; then
        return
    fi
    export PULSE_RUNTIME_PATH="$BUILD_DIR/pulse"
    export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
    mkdir -p "$PULSE_RUNTIME_PATH"
    pactl info >/dev/null 2>&1 && return
    # A null sink: MCI plays into it and the mixer has a device, with no sound card.
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
        --load="module-null-sink sink_name=sonello_null" \
        --load="module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native auth-anonymous=1" \
        --load="module-always-sink" >"$BUILD_DIR/pulse.log" 2>&1 &
    SONELLO_STARTED_PULSE=$!
    local i
    for i in $(seq 50); do
        pactl info >/dev/null 2>&1 && return
        sleep 0.1
    done
    echo "wine-env: no sound server (see $BUILD_DIR/pulse.log); MCI will play nothing" >&2
}

sonello_prepare_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # No Mono or Gecko installer prompts on the virtual display.
        WINEDLLOVERRIDES="mscoree=;mshtml=" wineboot -i >/dev/null 2>&1 </dev/null
        wineserver -w
    fi
    # Windows' SimSun is not here: draw the dialogs' 宋体 and MS Shell Dlg, as a Chinese
    # Windows does, with an outline CJK font.
    if ! grep -q '^"MS Shell Dlg"="WenQuanYi Micro Hei"' "$WINEPREFIX/system.reg"; then
        local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
        local face
        for face in 宋体 SimSun NSimSun "MS Shell Dlg" "MS Shell Dlg 2"; do
            wine reg add "$key" /v "$face" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1 </dev/null || true
        done
        wineserver -k >/dev/null 2>&1 || true
    fi
}

# On our own virtual display there is no window manager: Wine would wait two seconds for one
# at every hide. Let Wine place its windows itself there, and leave them to the desktop's
# window manager elsewhere.
sonello_manage_windows() {
    local key='HKCU\Software\Wine\X11 Driver'
    local unmanaged=no
    grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null && unmanaged=yes
    if [ -n "$SONELLO_STARTED_XVFB" ] && [ $unmanaged = no ]; then
        wine reg add "$key" /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
    elif [ -z "$SONELLO_STARTED_XVFB" ] && [ $unmanaged = yes ]; then
        wine reg delete "$key" /v Managed /f >/dev/null 2>&1 </dev/null || true
    fi
}

# Wine starts the desktop process for the first program that needs one, handing it that
# program's error output, and ends it when the last has gone. A test that reads a program's
# errors through a pipe then waits as long as the desktop lives. Start it now from a program
# with no error output, and keep it until the environment stops.
sonello_hold_desktop() {
    local probe="$BUILD_DIR/tests/sonello_release_probe.exe" said="$BUILD_DIR/desktop-holder.out"
    [ -f "$probe" ] || return 0
    rm -f "$said"
    wine "$probe" hold-desktop </dev/null >"$said" 2>/dev/null &
    SONELLO_DESKTOP_HOLDER=$!
    local i
    for i in $(seq 100); do
        grep -q holding "$said" 2>/dev/null && return
        sleep 0.1
    done
    echo "wine-env: the desktop is not held; a test reading a program's errors may wait for it" >&2
}

sonello_env_start() {
    sonello_start_display
    sonello_start_sound
    sonello_prepare_prefix
    wineserver -p >/dev/null 2>&1 || true
    sonello_manage_windows
    # Start Wine's services now, detached from our output: a service started by the first
    # test would inherit its pipes and hold them open after the test has ended.
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
    sonello_hold_desktop
}
