#!/usr/bin/env bash
# Each of the four deliverables the package installs carries the suite's one
# version (the top-level CMakeLists.txt) in its version resource and an
# application manifest asking for common controls 6 (and DPI awareness for the
# three programs), and the planner's about box shows that version.
set -uo pipefail
. "$(dirname "$0")/lib/base.sh"
: "${WIN_BIN:?}" "${SRC:?}"
VERSION=$(sed -n 's/^project(Lumivent VERSION \([0-9.]*\).*/\1/p' "$SRC/CMakeLists.txt")
PAYLOAD="$WIN_BIN/installer/payload"

note "version resources and manifests"
for f in Tavora.exe Quillon.exe nexa.exe OVD.DLL; do
  python3 - "$PAYLOAD/$f" "$VERSION" <<'PY' || fail "$f"
import struct, sys
data = open(sys.argv[1], 'rb').read()
want = [int(x) for x in sys.argv[2].split('.')] + [0]
# VS_FIXEDFILEINFO: signature, struct version, then file version MS/LS, product version MS/LS.
at = data.find(struct.pack('<I', 0xFEEF04BD))
if at < 0: sys.exit('no fixed file info')
fms, fls, pms, pls = struct.unpack_from('<4I', data, at + 8)
got = [fms >> 16, fms & 0xFFFF, fls >> 16, fls & 0xFFFF]
if got != want or [pms >> 16, pms & 0xFFFF, pls >> 16, pls & 0xFFFF] != want:
    sys.exit('file version %s, wanted %s' % (got, want))
for name in ('FileVersion', 'ProductVersion'):
    key = name.encode('utf-16-le') + b'\0\0'
    k = data.find(key)
    if k < 0: sys.exit('no ' + name)
    v = k + len(key)
    text = data[v:v + 64]
    while text.startswith(b'\0\0'): text = text[2:]
    value = text.split(b'\0\0')[0]
    if len(value) % 2: value += b'\0'
    if value.decode('utf-16-le') != sys.argv[2]:
        sys.exit('%s is %r' % (name, value.decode('utf-16-le', 'replace')))
if b'Microsoft.Windows.Common-Controls' not in data: sys.exit('no common controls 6 manifest')
# The programs scale every measure with the screen's dpi and say so; the
# library takes its host's awareness.
aware = sys.argv[1].endswith(('Tavora.exe', 'Quillon.exe', 'nexa.exe'))
if (b'<dpiAware' in data) != aware: sys.exit('the manifest %s DPI awareness' % ('lacks' if aware else 'declares'))
PY
done

note "the planner's about box"
WDRV="$WIN_BIN/tests/wine/driver/wdrv.exe"
WORK=$(mktemp -d /tmp/versions_test.XXXXXX)
trap 'wine "$WDRV" post "~- 受信予約プログラム" 57665 >/dev/null 2>&1 </dev/null; sleep 1; rm -rf "$WORK"' EXIT
KEY='HKCU\Software\Lumivent\TavoraPlanner'
mkdir -p "$WORK/sched" "$WORK/hist" "$WORK/data"
wine reg add "$KEY\\Schedule" /v DataPath /t REG_SZ /d "$(winpath "$WORK/sched")" /f >/dev/null 2>&1 </dev/null
wine reg add "$KEY\\temp" /v DataPath /t REG_SZ /d "$(winpath "$WORK/hist")" /f >/dev/null 2>&1 </dev/null
wine reg add "$KEY\\path" /v DataPath /t REG_SZ /d "$(winpath "$WORK/data")" /f >/dev/null 2>&1 </dev/null
mkdir -p "$WORK/bin" && cp "$PAYLOAD/Tavora.exe" "$WORK/bin/"
wine "$WORK/bin/Tavora.exe" >/dev/null 2>&1 </dev/null &
wine "$WDRV" wait "~- 受信予約プログラム" 30000 >/dev/null 2>&1 </dev/null || fail "no planner window"
short=$(echo "$VERSION" | cut -d. -f1-2)
wine "$WDRV" post "~- 受信予約プログラム" 57664 >/dev/null 2>&1 </dev/null
wine "$WDRV" wait "dialog:ﾊﾞｰｼﾞｮﾝ情報 （受信予約プログラム）" 10000 >/dev/null 2>&1 </dev/null || fail "no about box"
wine "$WDRV" controls "dialog:ﾊﾞｰｼﾞｮﾝ情報 （受信予約プログラム）" 2>/dev/null </dev/null |
  grep -q "受信予約プログラム Version $short" || fail "the about box does not show Version $short"
wine "$WDRV" post "dialog:ﾊﾞｰｼﾞｮﾝ情報 （受信予約プログラム）" 1 >/dev/null 2>&1 </dev/null
echo PASS
