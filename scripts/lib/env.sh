# Shared by the scripts: where things are and how Wine is run.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export TZ=${TZ:-Asia/Tokyo}
# The compiler cache is shared by every checkout: paths under the tree count as
# relative, so the same source hits the cache wherever it is checked out.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
