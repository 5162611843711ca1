#!/usr/bin/env bash
# House rules: the core never includes wx (or GTK/GDK) nor links it, and nothing outside the
# notes cites the design documents by their section numbers.
# Usage: check-core.sh [tree]   (default: the repository)
set -uo pipefail
tree=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$tree" || exit 2
bad=0
core_dirs="app base draw formats dsp survey traveltime surfacewave acquisition platform nordalis"
for d in $core_dirs; do
  [ -d "$d" ] || continue
  hits=$(grep -rnE '#[[:space:]]*include[[:space:]]*[<"](wx|gtk|gdk)/' "$d" \
           --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' 2>/dev/null \
         | grep -vE "^(app/ui|nordalis/ui)/")
  if [ -n "$hits" ]; then echo "core file includes a toolkit header:"; echo "$hits"; bad=1; fi
  links=$(grep -rnE 'wxWidgets|wx::|\$\{wxWidgets_LIBRARIES\}' "$d" --include=CMakeLists.txt 2>/dev/null \
         | grep -vE "^(app/ui|nordalis/ui)/")
  if [ -n "$links" ]; then echo "core target links wx:"; echo "$links"; bad=1; fi
done
pat='piece-0[0-9]|\bPart [0-9]+\.[0-9]{3}\b'
files=$(find . -path ./.git -prune -o -path './build*' -prune -o -type f ! -name '*.md' -print 2>/dev/null \
        | grep -vE '^\./tests/tools/check_core_fixtures/' )
cites=$(printf '%s\n' $files | xargs -r grep -lIE "$pat" 2>/dev/null | grep -v '^./scripts/check-core.sh$')
names=$(printf '%s\n' $files | grep -E 'piece-0|[Pp]art[_-]?[0-9]+\.[0-9]{3}')
if [ -n "$cites$names" ]; then echo "files cite the design documents:"; echo "$cites$names"; bad=1; fi
[ $bad -eq 0 ] && echo "house rules: ok"
exit $bad
