# Sourced by every script that starts Wine: what its processes need alike.
export WINEDEBUG=-all
# FreeType's version 35 interpreter measures text by the hdmx widths that
# wine-prefix.sh gives Tahoma; the default one ignores them.
export FREETYPE_PROPERTIES=truetype:interpreter-version=35
