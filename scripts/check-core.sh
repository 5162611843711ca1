#!/usr/bin/env bash
# House rules:
# - the core never includes wx (or GTK/GDK) nor links it;
# - libraries include only downward: no lower library includes the commands (app/), the dialog
#   windows (dialogs/) or the toolkit layer, and the file formats include no analysis library;
# - the dialog windows never include the shells (app/ui/, nordalis/);
# - nothing, notes included, cites the design documents.
# Usage: check-core.sh [tree]   (default: the repository)
set -uo pipefail
tree=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$tree" || exit 2
bad=0
src_globs=(--include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc')
core_dirs="app base draw formats dsp survey traveltime surfacewave acquisition platform nordalis"
for d in $core_dirs; do
  [ -d "$d" ] || continue
  hits=$(grep -rnE '#[[:space:]]*include[[:space:]]*[<"](wx|gtk|gdk)/' "$d" "${src_globs[@]}" 2>/dev/null \
         | grep -vE "^(app/ui|nordalis/ui)/")
  if [ -n "$hits" ]; then echo "core file includes a toolkit header:"; echo "$hits"; bad=1; fi
  links=$(grep -rnE 'wxWidgets|wx::|\$\{wxWidgets_LIBRARIES\}' "$d" --include=CMakeLists.txt 2>/dev/null \
         | grep -vE "^(app/ui|nordalis/ui)/")
  if [ -n "$links" ]; then echo "core target links wx:"; echo "$links"; bad=1; fi
done

# Layers: the libraries below the commands never reach up into them or into the shell.
lower_dirs="platform base draw dsp formats survey traveltime surfacewave acquisition nordalis"
upper='app|dialogs|toolkit'
for d in $lower_dirs; do
  [ -d "$d" ] || continue
  up=$(grep -rnE "#[[:space:]]*include[[:space:]]*\"($upper)/" "$d" "${src_globs[@]}" 2>/dev/null \
       | grep -vE '^nordalis/ui/')
  if [ -n "$up" ]; then echo "lower library includes a higher layer:"; echo "$up"; bad=1; fi
done
if [ -d formats ]; then
  up=$(grep -rnE '#[[:space:]]*include[[:space:]]*"(survey|traveltime|surfacewave)/' formats "${src_globs[@]}" 2>/dev/null)
  if [ -n "$up" ]; then echo "file formats include an analysis library:"; echo "$up"; bad=1; fi
fi

# The dialog windows serve the shells; they never reach into them.
if [ -d dialogs ]; then
  up=$(grep -rnE '#[[:space:]]*include[[:space:]]*"(app/ui|nordalis)/' dialogs "${src_globs[@]}" 2>/dev/null)
  if [ -n "$up" ]; then echo "dialog window includes a shell:"; echo "$up"; bad=1; fi
fi

# Citations of the design documents, in every file (Markdown included) and in file names.
# The words are put together here so that this script does not cite what it looks for.
w=Pa; w=${w}rt; d=spec; d=${d}ification
pat="piece-0[0-9]|\\b$w [0-9]+\\.[0-9]{3}\\b|the $w\\b|$w's|the $d"
files=$(find . -path ./.git -prune -o -path './build*' -prune -o -type f -print 2>/dev/null \
        | grep -vE '^\./tests/tools/check_core_fixtures/' )
cites=$(printf '%s\n' $files | xargs -r grep -nIE "$pat" 2>/dev/null | grep -v '^./scripts/check-core.sh:')
names=$(printf '%s\n' $files | grep -E 'piece-0|[Pp]art[_-]?[0-9]+\.[0-9]{3}')
if [ -n "$cites$names" ]; then echo "files cite the design documents:"; echo "$cites$names"; bad=1; fi
[ $bad -eq 0 ] && echo "house rules: ok"
exit $bad
