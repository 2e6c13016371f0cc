# Sourced by tools/wine-run: the environment every wine process of a build
# folder runs in. A private prefix inside the build folder, a Chinese locale so
# that wine's ANSI code page is 936 (GBK), no debug output, and neither the
# .NET nor the HTML engine (whose installers would otherwise wait for a click).
#
# BRENVIK_WINE_ROOT names the build folder; without it the folder is found by
# walking up from the program to the CMakeCache.txt.

wine_env_find_root() {
    local dir
    dir=$(cd "$(dirname "$1")" 2>/dev/null && pwd) || return 1
    while [ "$dir" != / ]; do
        [ -f "$dir/CMakeCache.txt" ] && { echo "$dir"; return 0; }
        dir=$(dirname "$dir")
    done
    return 1
}

# wine_env_setup ROOT [nobody]
wine_env_setup() {
    local root=$1 who=${2:-}
    local suffix=""
    [ "$who" = nobody ] && suffix="-nobody"
    export WINEARCH=win32
    export WINEPREFIX="$root/wineprefix$suffix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LOCPATH="$root/locale"
    if [ ! -d "$LOCPATH/zh_CN.UTF-8" ]; then
        mkdir -p "$LOCPATH"
        localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" 2>/dev/null || true
        chmod -R a+rX "$LOCPATH"
    fi
    # For wine and its children; this shell itself cannot load a locale from
    # LOCPATH and would only warn about it.
    export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 2>/dev/null
    unset LANGUAGE
    if [ "$who" = nobody ]; then
        export HOME="$root/home-nobody"
        mkdir -p "$HOME"
        chown 65534:65534 "$HOME"
    fi
    (
        flock 9
        [ -f "$WINEPREFIX/.brenvik-ready" ] && exit 0
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        [ "$who" = nobody ] && chown 65534:65534 "$WINEPREFIX"
        local reg="$root/brenvik-wine.reg"
        cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
"mshtml"=""

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"
REG
        chmod a+r "$reg"
        wine_env_as "$who" wineboot -i >/dev/null 2>&1
        wine_env_as "$who" wine reg import "$reg" >/dev/null 2>&1
        wine_env_as "$who" wineserver -w
        touch "$WINEPREFIX/.brenvik-ready"
    ) 9>"$root/wineprefix$suffix.lock"
}

# Runs a command as root or as the unprivileged user, in the environment above.
wine_env_as() {
    local who=$1; shift
    if [ "$who" = nobody ] && [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=65534 --regid=65534 --clear-groups \
            env HOME="$HOME" WINEPREFIX="$WINEPREFIX" WINEARCH="$WINEARCH" WINEDEBUG="$WINEDEBUG" \
                WINEDLLOVERRIDES="$WINEDLLOVERRIDES" LOCPATH="$LOCPATH" LANG="$LANG" LC_ALL="$LC_ALL" \
                ${DISPLAY:+DISPLAY="$DISPLAY"} PATH="$PATH" "$@"
    else
        "$@"
    fi
}
