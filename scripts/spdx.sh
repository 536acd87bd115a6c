#!/usr/bin/env bash
# Puts "SPDX-License-Identifier: GPL-3.0-or-later" at the top of every source
# file of the tree that has no SPDX-License-Identifier line yet: C++, CMake,
# shell, Python and JavaScript, found by their names or, for scripts without
# an extension, by their "#!" line. The line goes after a "#!" line and a
# Python coding line, which must stay first; a file that has one already (of
# whatever licence) is left as it is, so running it again changes nothing.
#
#   scripts/spdx.sh            add the line where it is missing
#   scripts/spdx.sh --check    list the files without it; status 1 if any
set -euo pipefail
cd "$(dirname "$0")/.."

readonly licence="GPL-3.0-or-later"
check=false
case "${1:-}" in
  "") ;;
  --check) check=true ;;
  *)
    echo "usage: scripts/spdx.sh [--check]" >&2
    exit 2
    ;;
esac

# The comment that starts a line in the file, or nothing for a file that is
# not source code.
comment_of() {
  local path=$1 first
  case "${path##*/}" in
    *.cpp | *.cc | *.cxx | *.h | *.hpp | *.js | *.mjs | *.cjs) echo "//" ;;
    *.sh | *.bash | *.py | *.cmake | CMakeLists.txt) echo "#" ;;
    *.*) ;;
    *)
      IFS= read -r first <"$path" || true
      case "$first" in
        '#!'*sh* | '#!'*python*) echo "#" ;;
        '#!'*node*) echo "//" ;;
      esac
      ;;
  esac
}

# Every file of the tree: those git tracks (new ones staged or not, ignored
# ones never), or, outside a git work tree, every file but the build folders'.
list_files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard
  else
    find . -path './build*' -prune -o -path './.git' -prune -o -type f -printf '%P\0'
  fi
}

missing=()
while IFS= read -r -d '' path; do
  [ -f "$path" ] && [ ! -L "$path" ] || continue
  comment=$(comment_of "$path")
  [ -n "$comment" ] || continue
  if head -n 5 "$path" | grep 'SPDX-License-Identifier:' >/dev/null; then continue; fi
  missing+=("$path")
  $check && continue
  # Lines kept above the identifier: a "#!" line, then a Python coding line.
  awk -v line="$comment SPDX-License-Identifier: $licence" '
    !done && NR == 1 && /^#!/ { print; next }
    !done && NR <= 2 && /^#.*coding[:=]/ { print; next }
    !done { print line; done = 1 }
    { print }
    END { if (!done) print line }
  ' "$path" >"$path.spdx-new"
  chmod --reference="$path" "$path.spdx-new"
  mv "$path.spdx-new" "$path"
done < <(list_files)

if $check; then
  if [ ${#missing[@]} -gt 0 ]; then
    printf '%s\n' "${missing[@]}" | sed 's/^/no SPDX-License-Identifier line: /' >&2
    echo "spdx: ${#missing[@]} source files lack the licence line; run scripts/spdx.sh" >&2
    exit 1
  fi
  echo "every source file names its licence"
else
  echo "spdx: added the licence line to ${#missing[@]} files"
fi
