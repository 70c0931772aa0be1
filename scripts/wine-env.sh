# Sourced by every script that starts Wine: what its processes need alike.
export WINEDEBUG=-all
# FreeType's version 35 interpreter measures text by the hdmx widths that
# wine-prefix.sh gives Tahoma; the default one ignores them.
export FREETYPE_PROPERTIES=truetype:interpreter-version=35

# Drops the advice Debian's wine prints on every start to install a 32-bit
# Wine, which these 64-bit programs never need.
without_wine32_advice() {
    grep -v -e 'wine32 is missing' -e 'multiarch needs' -e 'execute "dpkg --add' -e 'apt-get install wine32'
}
