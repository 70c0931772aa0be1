#!/usr/bin/env bash
# Wine prefixes for the program and its tests.
#   wine-prefix.sh template DIR       make DIR once (wineboot takes 10-20 s)
#   wine-prefix.sh clone TEMPLATE DIR a fresh prefix from the template in a second
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

# Wine's Tahoma carries no hinting instructions, so FreeType hints it with its
# auto-hinter, which at 8 pt draws it 7% wider than designed ("Max connect time:"
# 96 px instead of 89) and cuts the dialogs' labels. Marked as instructed
# (maxp.maxSizeOfInstructions) it keeps its designed widths, or those of its
# hdmx table where it has one.
draw_at_designed_widths() {
    local font=$1 entry offset
    entry=$(grep -obUa maxp "$font" | head -n1 | cut -d: -f1)
    [ -n "$entry" ] || return 0
    offset=$(od -An -tu4 --endian=big -j $((entry + 8)) -N4 "$font" | tr -d ' ')
    [ "$(od -An -tu2 --endian=big -j $((offset + 26)) -N2 "$font" | tr -d ' ')" = 0 ] || return 0
    printf '\000\001' | dd of="$font" bs=1 seek=$((offset + 26)) conv=notrunc status=none
}

# The handheld draws its dialogs in Tahoma, whatever face their templates ask
# for ("System", "MS Sans Serif"), in black and white at 8 pt. This Wine finds
# its own fonts only in the prefix, and a substitute applies only while no font
# of that name exists. Without smoothing Wine draws Tahoma's own 8-pt bitmaps;
# their widths go into the font so that text is laid out as it is drawn (Wine's
# word wrap otherwise moves a word that fits to the next line when the space
# after it does not fit, and the Options text loses its last line).
# Its own step with its own mark, so that a kept prefix (make run's) gets it too.
use_device_fonts() {
    local dir=$1 fonts=/usr/share/wine/fonts face
    [ -f "$dir/.tamlink-fonts-2" ] && return 0
    export WINEPREFIX=$dir
    if [ -d "$fonts" ]; then
        find "$fonts" -maxdepth 1 -type f ! -name '*sys*.fon' ! -name 'vgas*.fon' ! -name 'system.ttf' \
            ! -name 'ms_sans_serif.ttf' ! -name 'sser*.fon' ! -name 'ssee*.fon' ! -name 'ssef*.fon' \
            -exec cp {} "$dir/drive_c/windows/Fonts/" \;
        (cd "$dir/drive_c/windows/Fonts" && rm -f ms_sans_serif.ttf sser*.fon ssee*.fon ssef*.fon)
        draw_at_designed_widths "$dir/drive_c/windows/Fonts/tahoma.ttf"
        python3 "$(dirname "$0")/font-bitmap-widths.py" "$dir/drive_c/windows/Fonts/tahoma.ttf" 11
    fi
    wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /d 0 /f >/dev/null 2>&1
    for face in System 'MS Sans Serif'; do
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
            /v "$face" /d Tahoma /f >/dev/null 2>&1
    done
    wineserver -w
    touch "$dir/.tamlink-fonts-2"
}

make_template() {
    local dir=$1
    if [ ! -f "$dir/.tamlink-ready" ]; then
        rm -rf "$dir"
        mkdir -p "$(dirname "$dir")"
        export WINEPREFIX=$dir
        if ! wineboot -i >/dev/null 2>&1; then
            echo "wineboot could not make the Wine prefix $dir" >&2
            return 1
        fi
        # Without a window manager Wine waits about 2 s whenever a window is hidden.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
        touch "$dir/.tamlink-ready"
    fi
    use_device_fonts "$dir"
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
