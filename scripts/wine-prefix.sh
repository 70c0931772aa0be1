#!/usr/bin/env bash
# Wine prefixes for the program and its tests.
#   wine-prefix.sh template DIR       make DIR once (wineboot takes 10-20 s)
#   wine-prefix.sh clone TEMPLATE DIR a fresh prefix from the template in a second
set -euo pipefail
export WINEDEBUG=-all

make_template() {
    local dir=$1
    [ -f "$dir/.tamlink-ready" ] && return 0
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    export WINEPREFIX=$dir
    if ! wineboot -i >/dev/null 2>&1; then
        echo "wineboot could not make the Wine prefix $dir" >&2
        return 1
    fi
    # Without a window manager Wine waits about 2 s whenever a window is hidden.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # The handheld draws its dialogs in Tahoma, also those whose templates ask
    # for "System". This Wine finds its own fonts only in the prefix, and a
    # substitute for "System" applies only while no font of that name exists.
    local fonts=/usr/share/wine/fonts
    if [ -d "$fonts" ]; then
        find "$fonts" -maxdepth 1 -type f ! -name '*sys*.fon' ! -name 'vgas*.fon' ! -name 'system.ttf' \
            -exec cp {} "$dir/drive_c/windows/Fonts/" \;
    fi
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v System /d Tahoma /f >/dev/null 2>&1
    wineserver -w
    touch "$dir/.tamlink-ready"
}

clone() {
    local template=$1 dir=$2
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    # The DLLs never change: hard links. Everything else Wine may rewrite: copies.
    cp -al "$template" "$dir"
    find "$dir" -type f ! -path '*/system32/*' ! -path '*/syswow64/*' ! -path '*/winsxs/*' \
        -exec sh -c 'for f; do cp --preserve=all "$f" "$f.tmp" && mv -f "$f.tmp" "$f"; done' _ {} +
}

case "${1:-}" in
    template) make_template "$(realpath -m "$2")" ;;
    clone) clone "$(realpath -m "$2")" "$(realpath -m "$3")" ;;
    *) echo "usage: $0 template DIR | clone TEMPLATE DIR" >&2; exit 2 ;;
esac
