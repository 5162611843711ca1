#!/usr/bin/env bash
# Runs scripts/check-core.sh over small trees made here: a clean one must pass, and each rule
# must fail its own bad tree.
set -u
script="$1/scripts/check-core.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

make_clean_tree() {
  mkdir -p "$1/app/ui" "$1/platform" "$1/dsp"
  echo '#include <string>' > "$1/platform/profile.cpp"
  echo '#include <wx/frame.h>' > "$1/app/ui/frame.cpp"
  echo 'velk_library(dsp DEPS app_base)' > "$1/dsp/CMakeLists.txt"
}
expect() {  # expect <pass|fail> <tree> <what>
  if bash "$script" "$2" >"$work/out.txt" 2>&1; then got=pass; else got=fail; fi
  if [ "$got" != "$1" ]; then
    echo "FAILED: $3: expected $1, got $got"; cat "$work/out.txt"; failures=$((failures + 1))
  else
    echo "ok: $3"
  fi
}

make_clean_tree "$work/clean"
expect pass "$work/clean" "clean tree"

make_clean_tree "$work/wxcore"
echo '#include <wx/string.h>' > "$work/wxcore/platform/text.cpp"
expect fail "$work/wxcore" "core file includes <wx/string.h>"

make_clean_tree "$work/gdk"
printf '#  include "gdk/gdk.h"\n' > "$work/gdk/dsp/x.h"
expect fail "$work/gdk" "core header includes gdk"

make_clean_tree "$work/link"
echo 'velk_library(dsp DEPS app_base ${wxWidgets_LIBRARIES})' > "$work/link/dsp/CMakeLists.txt"
expect fail "$work/link" "core target links wx"

make_clean_tree "$work/cite"
word="Pa""rt"
echo "// see $word 1.102 for the layout" > "$work/cite/platform/header.cpp"
expect fail "$work/cite" "code cites a numbered section"

make_clean_tree "$work/citename"
touch "$work/citename/dsp/piece""-01-notes.cpp"
expect fail "$work/citename" "file name cites the documents"

make_clean_tree "$work/phrase"
echo "// as t""he Part says, the block is 512 bytes" > "$work/phrase/dsp/block.cpp"
expect fail "$work/phrase" "code cites the documents by phrase"

make_clean_tree "$work/ordinary"
echo "// the part of the trace before the pick" > "$work/ordinary/dsp/mute.cpp"
expect pass "$work/ordinary" "ordinary lower-case English"

make_clean_tree "$work/notes"
echo "See $word 4.102 for the list dialog." > "$work/notes/README.md"
expect fail "$work/notes" "a Markdown note cites a numbered section"

make_clean_tree "$work/up"
echo '#include "app/workspace.h"' > "$work/up/dsp/filter.cpp"
expect fail "$work/up" "dsp includes app/"

make_clean_tree "$work/sideways"
mkdir -p "$work/sideways/formats"
echo '#include "surfacewave/mam_geometry.h"' > "$work/sideways/formats/reader.cpp"
expect fail "$work/sideways" "formats includes surfacewave/"

make_clean_tree "$work/dialogshell"
mkdir -p "$work/dialogshell/dialogs/survey"
echo '#include "app/ui/main_frame.h"' > "$work/dialogshell/dialogs/survey/list_wnd.cpp"
expect fail "$work/dialogshell" "a dialog window includes the shell"

echo "$((12 - failures)) passed, $failures failed"
[ $failures -eq 0 ]
