# Sourced by the Wine scripts: a Wine prefix inside the build folder, quiet, without the .NET and HTML installers,
# and one wine server kept alive for all the runs (each run would otherwise start its own, about 2.5 s each).
# Usage: source wine-env.sh BUILD_DIR; wine_env_start; ...; wine_env_stop
wine_env_build=$(realpath "$1")
export WINEPREFIX=$wine_env_build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_env_start()
{
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: creating the prefix $WINEPREFIX"
        wineboot -i >/dev/null 2>&1
    fi
    # Windows in a virtual desktop: without a window manager on the display, Wine waits up to 2 s for every
    # top-level window that hides or closes. The desktop reads the setting when it starts, so a server that is
    # already up (the prefix was just made) goes first; stopping it also writes the setting out.
    if ! grep -q 'Explorer\\\\Desktops' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
        wineserver -k </dev/null >/dev/null 2>&1 || true
        wineserver -w </dev/null >/dev/null 2>&1 || true
    fi
    # The server must not hold the caller's output pipe, or whoever reads it (ctest) waits for it forever.
    wineserver -p </dev/null >/dev/null 2>&1 || true  # already running is fine
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_env_stop()
{
    wineserver -k </dev/null >/dev/null 2>&1 || true
    # The next run may be on another display: nothing of this one must outlive it.
    wineserver -w </dev/null >/dev/null 2>&1 || true
}
